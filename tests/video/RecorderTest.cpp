#include "VideoFiles.h"
#include "Waiting.h"

#include "video/Recorder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

using namespace video_test;
using Failure = video::Recorder::Failure;

struct Recorder : ::testing::Test {
    QTemporaryDir dir;
    video::Recorder recorder;
    const TestFrame surface{0};
    const video::DibSection dib = surface.dib();
};

void addFrames(video::Recorder& recorder, int count) {
    for (int n = 0; n < count; ++n) {
        const TestFrame frame(static_cast<std::uint32_t>(n));
        recorder.addFrame(frame.dib());
    }
}

TEST_F(Recorder, StartAgainAndStopWhileIdleChangeNothing) {
    const auto file = inDir(dir, "001video.avi");
    const auto other = inDir(dir, "002video.avi");
    recorder.stop();
    EXPECT_FALSE(recorder.recording());
    ASSERT_TRUE(recorder.start(file, 100, false, &dib));
    addFrames(recorder, 3);
    EXPECT_FALSE(recorder.start(other, 100, true, &dib));
    addFrames(recorder, 2);
    recorder.stop();
    recorder.addFrame(dib);
    recorder.stop();
    ASSERT_TRUE(recorder.waitUntilClosed(patience));

    EXPECT_FALSE(recorder.recording());
    EXPECT_EQ(recorder.failure(), Failure::None);
    EXPECT_EQ(recorder.framesWritten(), 5u);
    EXPECT_FALSE(std::filesystem::exists(other));
    EXPECT_EQ(probe(file), (Probe{"rawvideo", 352, 288, 5}));
}

TEST_F(Recorder, FileThatCannotBeCreatedIsReportedAndLeavesTheRecorderIdle) {
    EXPECT_FALSE(recorder.start(inDir(dir, "no/such/001video.avi"), 100, false, nullptr));
    EXPECT_FALSE(recorder.recording());
    EXPECT_EQ(recorder.failure(), Failure::CannotCreate);
    addFrames(recorder, 2);
    EXPECT_EQ(recorder.framesWritten(), 0u);
    recorder.stop();
    EXPECT_EQ(recorder.failure(), Failure::CannotCreate);
    ASSERT_TRUE(recorder.start(inDir(dir, "002video.avi"), 100, false, nullptr));
    EXPECT_EQ(recorder.failure(), Failure::None) << "the next start forgets the last failure";
}

TEST_F(Recorder, CompressionWithoutSurfaceIsSetUpByTheFirstFrame) {
    const auto file = inDir(dir, "003video.avi");
    ASSERT_TRUE(recorder.start(file, 100, true, nullptr));
    addFrames(recorder, 3);
    recorder.stop();
    ASSERT_TRUE(recorder.waitUntilClosed(patience));
    EXPECT_EQ(recorder.failure(), Failure::None);
    EXPECT_EQ(probe(file), (Probe{"mjpeg", 352, 288, 3}));
}

TEST_F(Recorder, DestroyedWhileRecordingCompletesTheFile) {
    const auto file = inDir(dir, "004video.avi");
    {
        video::Recorder recorder;
        ASSERT_TRUE(recorder.start(file, 100, false, nullptr));
        addFrames(recorder, 4);
    }
    EXPECT_EQ(probe(file).frames, 4);
    EXPECT_EQ(readHeaders(file).dmlhTotalFrames, 4u);
}

TEST_F(Recorder, IndexIsWrittenAboutASecondAfterFramesStop) {
    const auto file = inDir(dir, "005video.avi");
    ASSERT_TRUE(recorder.start(file, 100, false, nullptr));
    addFrames(recorder, 3);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (readHeaders(file).dmlhTotalFrames < 3 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));

    const auto snapshot = inDir(dir, "copia.avi");
    std::filesystem::copy_file(file, snapshot);
    EXPECT_EQ(probe(snapshot).frames, 3);
    EXPECT_EQ(readHeaders(snapshot).dmlhTotalFrames, 3u);
}

TEST_F(Recorder, CaptureThreadNeverMeetsAHalfMadeOrClosedWriter) {
    std::atomic<bool> capturing{true};
    std::thread capture([&] {
        const TestFrame frame(0);
        while (capturing)
            recorder.addFrame(frame.dib());
    });
    std::vector<std::filesystem::path> files;
    for (int n = 0; n < 6; ++n) {
        files.push_back(inDir(dir, "00" + std::to_string(n) + "video.avi"));
        recorder.start(files.back(), 100, n % 2 == 1, &dib);
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        recorder.stop();
    }
    capturing = false;
    capture.join();
    ASSERT_TRUE(recorder.waitUntilClosed(patience));
    EXPECT_EQ(recorder.failure(), Failure::None);
    for (const auto& file : files) {
        SCOPED_TRACE(file.string());
        const auto found = probe(file);
        EXPECT_GT(found.frames, 0);
        EXPECT_EQ(static_cast<std::uint32_t>(found.frames), readHeaders(file).dmlhTotalFrames);
    }
}

} // namespace
