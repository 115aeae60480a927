#include "VideoFiles.h"
#include "Waiting.h"

#include "tests/support/ScriptedDisk.h"
#include "video/Recorder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <thread>

#include <unistd.h>

namespace {

using namespace video_test;
using Failure = video::Recorder::Failure;
using testing_support::ScriptedDisk;
using Clock = std::chrono::steady_clock;

constexpr std::uint64_t rawFrameBytes = 352 * 3 * 288;
constexpr int assumedRate = 10;
// Bytes a second of uncompressed recording takes at the rate the recorder assumes.
constexpr double rawSecond = double(rawFrameBytes) * assumedRate;

video::RecorderLimits testLimits() {
    video::RecorderLimits limits;
    limits.assumedFramesPerSecond = assumedRate;
    limits.spaceCheckPeriod = std::chrono::milliseconds(200);
    return limits;
}

std::uint64_t secondsOfSpace(double seconds) {
    return static_cast<std::uint64_t>(seconds * rawSecond);
}

// Feeds frames until the recorder closes the recording by itself.
int feedUntilClosedByItself(video::Recorder& recorder, const TestFrame& frame) {
    int fed = 0;
    const auto deadline = Clock::now() + patience;
    while (recorder.recording() && Clock::now() < deadline) {
        recorder.addFrame(frame.dib());
        ++fed;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return fed;
}

// A recorder on a disk whose space and failures the test sets.
struct OnScriptedDisk : ::testing::Test {
    QTemporaryDir dir;
    ScriptedDisk disk;
    video::Recorder recorder{disk.disk(), testLimits()};
};

struct RecorderSpace : OnScriptedDisk {};
struct RecorderFiles : OnScriptedDisk {};

struct StartCase {
    const char* name;
    std::optional<double> secondsFree;
    bool starts;
    std::optional<int> secondsLeftShown;
};

class SpaceBeforeTheStart : public OnScriptedDisk,
                            public ::testing::WithParamInterface<StartCase> {};

TEST_P(SpaceBeforeTheStart, RefusesUnderFiveSecondsAndWarnsUnderSixty) {
    const StartCase& c = GetParam();
    disk.freeSpaceKnown = c.secondsFree.has_value();
    disk.freeBytes = secondsOfSpace(c.secondsFree.value_or(0));
    const auto file = inDir(dir, "001video.avi");

    EXPECT_EQ(recorder.start(file, 100, false, nullptr), c.starts);
    EXPECT_EQ(recorder.recording(), c.starts);
    EXPECT_EQ(recorder.failure(), c.starts ? Failure::None : Failure::NoSpace);
    EXPECT_EQ(recorder.secondsLeftWhenLow(), c.secondsLeftShown);
    EXPECT_EQ(std::filesystem::exists(file), c.starts) << "a refused start makes no file";
}

INSTANTIATE_TEST_SUITE_P(
    Recorder, SpaceBeforeTheStart,
    ::testing::Values(StartCase{"FourAndAHalfSeconds", 4.5, false, std::nullopt},
                      StartCase{"FiveAndAHalfSeconds", 5.5, true, 5},
                      StartCase{"FiftyNineAndAHalfSeconds", 59.5, true, 59},
                      StartCase{"SixtyAndAHalfSeconds", 60.5, true, std::nullopt},
                      StartCase{"FolderThatCannotBeAsked", std::nullopt, true, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RecorderSpace, ClosesCleanlyWhenUnderFiveSecondsRemainWhileRecording) {
    const auto file = inDir(dir, "002video.avi");
    ASSERT_TRUE(recorder.start(file, 100, false, nullptr));
    const TestFrame frame(1);
    recorder.addFrame(frame.dib());
    recorder.addFrame(frame.dib());
    ASSERT_TRUE(waitFor([&] { return recorder.framesWritten() == 2; }));

    // With no frame coming, the rate assumed before the first frames counts.
    disk.freeBytes = secondsOfSpace(5.5);
    ASSERT_TRUE(waitFor([&] { return recorder.secondsLeftWhenLow() == 5; }));
    EXPECT_TRUE(recorder.recording());

    disk.freeBytes = secondsOfSpace(4.5);
    ASSERT_TRUE(waitFor([&] { return !recorder.recording(); }));
    ASSERT_TRUE(recorder.waitUntilClosed(patience));
    EXPECT_EQ(recorder.failure(), Failure::SpaceLow);
    EXPECT_EQ(recorder.secondsLeftWhenLow(), std::nullopt);
    EXPECT_EQ(probe(file).frames, 2);
    EXPECT_EQ(readHeaders(file).dmlhTotalFrames, 2u);
}

TEST_F(RecorderSpace, ReckonsWithTheRateFramesActuallyCome) {
    // Twelve seconds at the assumed ten frames a second, under five at thirty or more.
    disk.freeBytes = secondsOfSpace(12.5);
    ASSERT_TRUE(recorder.start(inDir(dir, "003video.avi"), 100, false, nullptr));
    EXPECT_EQ(recorder.secondsLeftWhenLow(), 12);
    feedUntilClosedByItself(recorder, TestFrame(2));
    ASSERT_TRUE(recorder.waitUntilClosed(patience));
    EXPECT_EQ(recorder.failure(), Failure::SpaceLow);
}

struct WriteFailureCase {
    const char* name;
    bool compress;
    platform::DiskError error;
    Failure failure;
};

class WriteFailure : public OnScriptedDisk,
                     public ::testing::WithParamInterface<WriteFailureCase> {};

TEST_P(WriteFailure, ClosesTheRecordingWithEveryFrameWrittenReadable) {
    const WriteFailureCase& c = GetParam();
    disk.writableBytes = 2'000'000;
    disk.failure = c.error;
    const auto file = inDir(dir, "004video.avi");
    ASSERT_TRUE(recorder.start(file, 100, c.compress, nullptr));
    feedUntilClosedByItself(recorder, TestFrame(3));
    ASSERT_FALSE(recorder.recording());
    ASSERT_TRUE(recorder.waitUntilClosed(patience));

    EXPECT_EQ(recorder.failure(), c.failure);
    const auto found = probe(file);
    EXPECT_EQ(found.codec, c.compress ? "mjpeg" : "rawvideo");
    EXPECT_GT(found.frames, 0);
    EXPECT_EQ(found.frames, recorder.framesWritten());
    EXPECT_EQ(readHeaders(file).dmlhTotalFrames, recorder.framesWritten());
    recorder.addFrame(TestFrame(4).dib());
    EXPECT_EQ(probe(file).frames, found.frames) << "no frame after the failure";
}

INSTANTIATE_TEST_SUITE_P(
    Recorder, WriteFailure,
    ::testing::Values(WriteFailureCase{"RawOnAFullDisk", false, platform::DiskError::Full,
                                       Failure::DiskFull},
                      WriteFailureCase{"MotionJpegOnAFullDisk", true, platform::DiskError::Full,
                                       Failure::DiskFull},
                      WriteFailureCase{"RawOnAFailingDevice", false, platform::DiskError::Failed,
                                       Failure::WriteFailed},
                      WriteFailureCase{"MotionJpegOnAFailingDevice", true,
                                       platform::DiskError::Failed, Failure::WriteFailed}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RecorderFiles, RecordingWithoutFramesLeavesNoFileAndOneFrameKeepsIt) {
    const auto empty = inDir(dir, "005video.avi");
    ASSERT_TRUE(recorder.start(empty, 100, true, nullptr));
    EXPECT_TRUE(std::filesystem::exists(empty));
    recorder.stop();
    ASSERT_TRUE(recorder.waitUntilClosed(patience));
    EXPECT_FALSE(std::filesystem::exists(empty));

    const auto single = inDir(dir, "006video.avi");
    ASSERT_TRUE(recorder.start(single, 100, true, nullptr));
    recorder.addFrame(TestFrame(5).dib());
    recorder.stop();
    ASSERT_TRUE(recorder.waitUntilClosed(patience));
    EXPECT_EQ(probe(single).frames, 1);
}

TEST_F(RecorderFiles, DeviceFailingBeforeTheFirstFrameLeavesNoFile) {
    disk.writableBytes = 0;
    disk.failure = platform::DiskError::Failed;
    const auto file = inDir(dir, "007video.avi");
    const TestFrame surface(6);
    const auto dib = surface.dib();
    ASSERT_TRUE(recorder.start(file, 100, true, &dib));
    ASSERT_TRUE(waitFor([&] { return !recorder.recording(); }));
    ASSERT_TRUE(recorder.waitUntilClosed(patience));
    EXPECT_EQ(recorder.failure(), Failure::WriteFailed);
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(RecorderFiles, DataReachesTheDeviceAboutOnceASecond) {
    ASSERT_TRUE(recorder.start(inDir(dir, "008video.avi"), 100, false, nullptr));
    const TestFrame frame(7);
    recorder.addFrame(frame.dib());
    ASSERT_TRUE(waitFor([&] { return disk.syncs() >= 3; }))
        << "the header, then the first frame's index and headers at once";
    const int afterFirst = disk.syncs();
    const auto start = Clock::now();
    while (Clock::now() - start < std::chrono::milliseconds(2500)) {
        recorder.addFrame(frame.dib());
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
    }
    const int forced = disk.syncs() - afterFirst;
    recorder.stop();
    // Two forced writes (frames and index, then headers) per second: four in 2.5 s, give or
    // take a second's; never one per frame (there were about 80).
    EXPECT_GE(forced, 2);
    EXPECT_LE(forced, 8);
}

// A child recording at 30 frames a second is killed half a second after its start; the file
// it leaves plays.
void recordThenDie(const std::filesystem::path& file, bool compress) {
    video::Recorder recorder;
    if (!recorder.start(file, 100, compress, nullptr))
        std::_Exit(3);
    const auto start = Clock::now();
    for (std::uint32_t n = 0; Clock::now() - start < std::chrono::milliseconds(500); ++n) {
        recorder.addFrame(TestFrame::smooth(n).dib());
        std::this_thread::sleep_for(std::chrono::milliseconds(33));
    }
    std::raise(SIGKILL);
}

class KilledConsole : public ::testing::TestWithParam<bool> {};

// The child is this program run again, so both sides name the file after the parent.
std::filesystem::path killedFile(bool compress) {
    const bool child = !GTEST_FLAG_GET(internal_run_death_test).empty();
    const auto parent = child ? getppid() : getpid();
    return std::filesystem::temp_directory_path() /
           ("marlo-killed-" + std::to_string(parent) + (compress ? "-mjpeg" : "-raw") + ".avi");
}

TEST_P(KilledConsole, LeavesAPlayableFileHalfASecondAfterTheStart) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto file = killedFile(GetParam());
    std::filesystem::remove(file);
    EXPECT_EXIT(recordThenDie(file, GetParam()), ::testing::KilledBySignal(SIGKILL), "");
    const auto found = probe(file);
    EXPECT_EQ(found.codec, GetParam() ? "mjpeg" : "rawvideo");
    EXPECT_GE(found.frames, 1);
    EXPECT_GE(readHeaders(file).dmlhTotalFrames, 1u) << "the first frame is indexed at once";
    EXPECT_EQ(decodeFrames(file, 352, 288, [](long, const auto&) {}), found.frames);
    std::filesystem::remove(file);
}

INSTANTIATE_TEST_SUITE_P(Recorder, KilledConsole, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "MotionJpeg" : "Raw"; });

} // namespace
