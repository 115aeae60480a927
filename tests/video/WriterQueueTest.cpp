#include "VideoFiles.h"
#include "Waiting.h"

#include "tests/support/ScriptedDisk.h"
#include "video/Recorder.h"

#include <gtest/gtest.h>

#include <future>
#include <thread>

namespace {

using namespace video_test;
using testing_support::ScriptedDisk;
using Clock = std::chrono::steady_clock;

// A recording whose disk holds every write at a gate: the writer thread takes the first
// frame and waits there, so the queue behind it fills exactly as the test feeds it.
struct StalledDisk : ::testing::Test {
    QTemporaryDir dir;
    ScriptedDisk disk;
    std::filesystem::path file = inDir(dir, "001video.avi");
    TestFrame frame{1};
    std::unique_ptr<video::Recorder> recorder;

    // A test that fails with the gate closed still lets the writer finish.
    ~StalledDisk() override {
        disk.openGate();
        recorder.reset();
    }
    void startStalled(video::RecorderLimits limits) {
        recorder = std::make_unique<video::Recorder>(disk.disk(), limits);
        disk.closeGate();
        EXPECT_TRUE(recorder->start(file, 100, false, nullptr));
        recorder->addFrame(frame.dib());
        EXPECT_TRUE(waitFor([&] { return disk.writesAtGate() > 0; }));
    }
    void finish(video::Recorder& recorder) {
        disk.openGate();
        recorder.stop();
        ASSERT_TRUE(recorder.waitUntilClosed(patience));
    }
};

TEST_F(StalledDisk, QueueTakesItsNumberOfFramesAndDropsTheNext) {
    video::RecorderLimits limits;
    limits.queueFrames = 4;
    startStalled(limits);
    for (int n = 0; n < 4; ++n)
        recorder->addFrame(frame.dib());
    EXPECT_EQ(recorder->framesDropped(), 0u);
    recorder->addFrame(frame.dib());
    recorder->addFrame(frame.dib());
    EXPECT_EQ(recorder->framesDropped(), 2u);
    finish(*recorder);
    EXPECT_EQ(recorder->framesWritten(), 5u);
    EXPECT_EQ(probe(file).frames, 5);
}

TEST_F(StalledDisk, QueueHoldsNoMoreThanOneSecondOfFrames) {
    startStalled({});
    recorder->addFrame(frame.dib());
    recorder->addFrame(frame.dib());
    EXPECT_EQ(recorder->framesDropped(), 0u) << "a fresh queue takes frames";
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    recorder->addFrame(frame.dib());
    EXPECT_EQ(recorder->framesDropped(), 1u) << "its oldest frame waits for a second";
    finish(*recorder);
    EXPECT_EQ(probe(file).frames, 3);
}

TEST_F(StalledDisk, CaptureThreadNeverWaitsForTheDisk) {
    startStalled({});
    auto capture = std::async(std::launch::async, [&] {
        for (int n = 0; n < 100; ++n)
            recorder->addFrame(frame.dib());
    });
    EXPECT_EQ(capture.wait_for(patience), std::future_status::ready);
    EXPECT_EQ(recorder->framesDropped(), 70u);
    // Stopping does not wait for the disk either: the file is completed behind it.
    recorder->stop();
    EXPECT_FALSE(recorder->closed());
    finish(*recorder);
    EXPECT_EQ(probe(file).frames, 31);
}

} // namespace
