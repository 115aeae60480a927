#include "tests/video/RecorderSupport.h"
#include "tests/video/VideoFiles.h"

#include "tests/support/ScriptedDisk.h"
#include "tests/support/WorkingFolder.h"
#include "video/RecordingWatch.h"

#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <map>
#include <stdexcept>
#include <thread>

namespace {

using namespace video_test;
using Failure = video::Recorder::Failure;
using Notice = video::RecordingWatch::Notice;
using testing_support::ScriptedDisk;
using Clock = std::chrono::steady_clock;

// Free space for that many seconds of uncompressed recording at the rate assumed at the start.
std::uint64_t secondsOfSpace(double seconds) {
    return static_cast<std::uint64_t>(seconds * 352 * 3 * 288 * assumedRate);
}

// A recorder on a disk whose space, failures and speed the test sets, and the notices its
// watch raises as a status line would hold them.
struct Recording : ::testing::Test {
    testing_support::WorkingFolder folder;
    ScriptedDisk disk;
    video::Recorder recorder{disk.disk(), testLimits()};
    const TestFrame frame{1};
    std::map<Notice, QString> shown;
    video::RecordingWatch watch{
        recorder, [this](Notice notice, const QString& text) { shown[notice] = text; },
        [this](Notice notice) { shown.erase(notice); }};

    // A test that fails with the gate closed still lets the writer finish.
    ~Recording() override { disk.openGate(); }

    void feed(int count) {
        for (std::uint32_t n = 0; n < static_cast<std::uint32_t>(count); ++n)
            recorder.addFrame(TestFrame(n).dib());
    }
    void stopAndWait() {
        recorder.stop();
        ASSERT_TRUE(recorder.waitUntilClosed(patience));
    }
    // The writer takes the next frame and waits with it at the closed gate.
    void stall() {
        disk.closeGate();
        recorder.addFrame(frame.dib());
        ASSERT_TRUE(waitFor([&] { return disk.writesAtGate() > 0; }));
    }
};

TEST_F(Recording, StartAgainAndStopWhileIdleChangeNothing) {
    recorder.stop();
    EXPECT_FALSE(recorder.recording());
    const auto dib = frame.dib();
    ASSERT_TRUE(recorder.start("001video.avi", 100, false, &dib));
    feed(3);
    EXPECT_FALSE(recorder.start("002video.avi", 100, true, &dib));
    feed(2);
    stopAndWait();
    recorder.addFrame(dib);
    recorder.stop();
    EXPECT_FALSE(recorder.recording());
    EXPECT_EQ(recorder.failure(), Failure::None);
    EXPECT_EQ(recorder.framesWritten(), 5u);
    EXPECT_EQ(folder.files(), QStringList{"001video.avi"});
    EXPECT_EQ(probe("001video.avi"), (Probe{"rawvideo", 352, 288, 5}));
}

TEST_F(Recording, FileThatCannotBeCreatedIsReportedAndLeavesTheRecorderIdle) {
    EXPECT_FALSE(recorder.start("no/such/001video.avi", 100, false, nullptr));
    EXPECT_FALSE(recorder.recording());
    feed(2);
    recorder.stop();
    EXPECT_EQ(recorder.framesWritten(), 0u);
    EXPECT_EQ(recorder.failure(), Failure::CannotCreate);
    ASSERT_TRUE(recorder.start("002video.avi", 100, false, nullptr));
    EXPECT_EQ(recorder.failure(), Failure::None) << "the next start forgets the last failure";
}

TEST_F(Recording, WithoutFramesLeavesNoFileAndOneFrameKeepsIt) {
    ASSERT_TRUE(recorder.start("005video.avi", 100, true, nullptr));
    EXPECT_EQ(folder.files(), QStringList{"005video.avi"});
    stopAndWait();
    EXPECT_EQ(folder.files(), QStringList());
    ASSERT_TRUE(recorder.start("006video.avi", 100, true, nullptr));
    feed(1);
    stopAndWait();
    EXPECT_EQ(probe("006video.avi").frames, 1);
}

TEST(Recorder, DestroyedWhileRecordingCompletesTheFile) {
    testing_support::WorkingFolder folder;
    {
        video::Recorder recorder;
        ASSERT_TRUE(recorder.start("004video.avi", 100, false, nullptr));
        for (std::uint32_t n = 0; n < 4; ++n)
            recorder.addFrame(TestFrame(n).dib());
    }
    EXPECT_EQ(probe("004video.avi").frames, 4);
    EXPECT_EQ(readHeaders("004video.avi").dmlhTotalFrames, 4u);
}

TEST_F(Recording, IndexIsWrittenAboutASecondAfterFramesStop) {
    ASSERT_TRUE(recorder.start("005video.avi", 100, false, nullptr));
    feed(3);
    ASSERT_TRUE(waitFor([] { return readHeaders("005video.avi").dmlhTotalFrames == 3; }));
    std::filesystem::copy_file("005video.avi", "copia.avi");
    EXPECT_EQ(probe("copia.avi").frames, 3);
}

TEST_F(Recording, CaptureThreadNeverMeetsAHalfMadeOrClosedWriter) {
    std::atomic<bool> capturing{true};
    std::thread capture([&] {
        while (capturing)
            recorder.addFrame(frame.dib());
    });
    const auto dib = frame.dib();
    for (int n = 0; n < 6; ++n) {
        recorder.start("00" + std::to_string(n) + "video.avi", 100, n % 2 == 1, &dib);
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        recorder.stop();
    }
    capturing = false;
    capture.join();
    ASSERT_TRUE(recorder.waitUntilClosed(patience));
    EXPECT_EQ(recorder.failure(), Failure::None);
    for (int n = 0; n < 6; ++n) {
        const std::string file = "00" + std::to_string(n) + "video.avi";
        SCOPED_TRACE(file);
        EXPECT_GT(probe(file).frames, 0);
        EXPECT_EQ(probe(file).frames, readHeaders(file).dmlhTotalFrames);
    }
}

TEST_F(Recording, RefusesAStartUnderFiveSecondsOfSpaceAndWarnsUnderSixty) {
    struct Row {
        std::optional<double> secondsFree; // none: the folder cannot be asked
        bool starts;
        std::optional<int> secondsLeftShown;
    };
    for (const Row row : {Row{5.5, true, 5}, Row{59.5, true, 59}, Row{60.5, true, std::nullopt},
                          Row{std::nullopt, true, std::nullopt}, Row{4.5, false, std::nullopt}}) {
        SCOPED_TRACE(row.secondsFree.value_or(-1));
        disk.freeSpaceKnown = row.secondsFree.has_value();
        disk.freeBytes = secondsOfSpace(row.secondsFree.value_or(0));
        EXPECT_EQ(recorder.start("001video.avi", 100, false, nullptr), row.starts);
        EXPECT_EQ(recorder.recording(), row.starts);
        EXPECT_EQ(recorder.failure(), row.starts ? Failure::None : Failure::NoSpace);
        EXPECT_EQ(recorder.secondsLeftWhenLow(), row.secondsLeftShown);
        EXPECT_EQ(folder.files().size(), row.starts ? 1 : 0) << "a refused start makes no file";
        stopAndWait();
    }
}

TEST_F(Recording, ClosesCleanlyWhenUnderFiveSecondsRemainWhileRecording) {
    ASSERT_TRUE(recorder.start("002video.avi", 100, false, nullptr));
    feed(2);
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
    EXPECT_EQ(probe("002video.avi").frames, 2);
    EXPECT_EQ(readHeaders("002video.avi").dmlhTotalFrames, 2u);
}

TEST_F(Recording, ReckonsWithTheRateFramesActuallyCome) {
    // Twelve seconds at the assumed ten frames a second, under five at thirty or more.
    disk.freeBytes = secondsOfSpace(12.5);
    ASSERT_TRUE(recorder.start("003video.avi", 100, false, nullptr));
    EXPECT_EQ(recorder.secondsLeftWhenLow(), 12);
    feedUntilClosedByItself(recorder, frame);
    EXPECT_EQ(recorder.failure(), Failure::SpaceLow);
}

TEST(Recorder, WriteFailureClosesTheRecordingWithEveryFrameWrittenReadable) {
    struct Row {
        bool compress;
        platform::DiskError error;
        Failure failure;
        std::uint64_t writable = 2'000'000; // 0: the device fails before the first frame
    };
    using platform::DiskError;
    for (const Row row : {Row{false, DiskError::Full, Failure::DiskFull},
                          Row{true, DiskError::Full, Failure::DiskFull},
                          Row{false, DiskError::Failed, Failure::WriteFailed},
                          Row{true, DiskError::Failed, Failure::WriteFailed},
                          Row{true, DiskError::Failed, Failure::WriteFailed, 0}}) {
        SCOPED_TRACE(testing::Message() << row.compress << int(row.error) << row.writable);
        testing_support::WorkingFolder folder;
        ScriptedDisk disk;
        disk.writableBytes = row.writable;
        disk.failure = row.error;
        video::Recorder recorder(disk.disk(), testLimits());
        const TestFrame surface(3);
        const auto dib = surface.dib();
        // Compression set up by the first frame when no surface is given.
        ASSERT_TRUE(
            recorder.start("004video.avi", 100, row.compress, row.writable ? nullptr : &dib));
        feedUntilClosedByItself(recorder, surface);
        EXPECT_EQ(recorder.failure(), row.failure);
        const long written = recorder.framesWritten();
        EXPECT_EQ(written > 0, row.writable > 0);
        const Probe found = probe("004video.avi");
        const Probe playing{row.compress ? "mjpeg" : "rawvideo", 352, 288, written};
        EXPECT_EQ(found, row.writable ? playing : Probe{})
            << "every frame written plays; a recording without any leaves no file";
        EXPECT_EQ(readHeaders("004video.avi").dmlhTotalFrames, written);
        recorder.addFrame(TestFrame(4).dib());
        EXPECT_EQ(probe("004video.avi"), found) << "no frame after the failure";
    }
}

TEST_F(Recording, QueueHoldsNoMoreThanOneSecondOfFrames) {
    ASSERT_TRUE(recorder.start("001video.avi", 100, false, nullptr));
    stall();
    feed(2);
    EXPECT_EQ(recorder.framesDropped(), 0u) << "a fresh queue takes frames";
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    feed(1);
    EXPECT_EQ(recorder.framesDropped(), 1u) << "its oldest frame waits for a second";
    disk.openGate();
    stopAndWait();
    EXPECT_EQ(probe("001video.avi").frames, 3);
}

TEST_F(Recording, CaptureThreadNeverWaitsForTheDiskAndTheQueueTakesThirtyFrames) {
    ASSERT_TRUE(recorder.start("001video.avi", 100, false, nullptr));
    stall();
    auto capture = std::async(std::launch::async, [&] { feed(100); });
    EXPECT_EQ(capture.wait_for(patience), std::future_status::ready);
    EXPECT_EQ(recorder.framesDropped(), 70u);
    // Stopping does not wait for the disk either: the file is completed behind it.
    recorder.stop();
    EXPECT_FALSE(recorder.closed());
    disk.openGate();
    ASSERT_TRUE(recorder.waitUntilClosed(patience));
    EXPECT_EQ(probe("001video.avi").frames, 31);
}

// A child recording at 30 frames a second is killed half a second after its start; the file
// it leaves plays.
void recordThenDie(const std::filesystem::path& file, bool compress) {
    video::Recorder recorder;
    if (!recorder.start(file, 100, compress, nullptr))
        std::_Exit(3);
    const TestFrame frame = TestFrame::smooth();
    for (const auto start = Clock::now(); Clock::now() - start < std::chrono::milliseconds(500);) {
        recorder.addFrame(frame.dib());
        std::this_thread::sleep_for(std::chrono::milliseconds(33));
    }
    std::raise(SIGKILL);
}

class KilledConsole : public ::testing::TestWithParam<bool> {};

// The child is this program run again, so both sides name the file after the parent.
std::filesystem::path killedFile(bool compress) {
    const bool child = !GTEST_FLAG_GET(internal_run_death_test).empty();
    return std::filesystem::temp_directory_path() /
           ("marlo-killed-" + std::to_string(child ? getppid() : getpid()) +
            (compress ? "-mjpeg" : "-raw") + ".avi");
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
    EXPECT_EQ(decodeFrames(file, [](long, const auto&) {}), found.frames);
    std::filesystem::remove(file);
}

INSTANTIATE_TEST_SUITE_P(Recorder, KilledConsole, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "MotionJpeg" : "Raw"; });

TEST(RecordingWatch, FailureTexts) {
    EXPECT_EQ(video::recordingFailureText(Failure::None, "001video.avi"), "");
    EXPECT_EQ(video::recordingFailureText(Failure::CannotCreate, ""),
              "Vídeo no grabado: sin nombre libre");
    EXPECT_EQ(video::recordingFailureText(Failure::CannotCreate, "001video.avi"),
              "Vídeo no grabado: no se pudo crear 001video.avi");
    EXPECT_EQ(video::recordingFailureText(Failure::NoSpace, ""), "Vídeo no grabado: disco lleno");
    EXPECT_EQ(video::recordingFailureText(Failure::SpaceLow, ""),
              "Vídeo detenido: disco casi lleno");
    EXPECT_EQ(video::recordingFailureText(Failure::DiskFull, ""), "Vídeo incompleto: disco lleno");
    EXPECT_EQ(video::recordingFailureText(Failure::WriteFailed, ""),
              "Vídeo incompleto: fallo del grabador");
}

TEST_F(Recording, WatchReportsAFailureWhileTheFileIsCompletedAfterTheStop) {
    ASSERT_TRUE(watch.start("001video.avi", 100, false, nullptr));
    feed(1);
    watch.stop();
    ASSERT_TRUE(recorder.waitUntilClosed(patience));
    EXPECT_FALSE(watch.look());
    EXPECT_TRUE(shown.empty()) << "a recording that ends well says nothing";

    ASSERT_TRUE(watch.start("002video.avi", 100, false, nullptr));
    feed(1);
    ASSERT_TRUE(waitFor([&] { return recorder.framesWritten() == 1; }));
    stall();
    watch.stop();
    disk.writableBytes = 0;
    disk.openGate();
    ASSERT_TRUE(recorder.waitUntilClosed(patience));
    EXPECT_FALSE(watch.look()) << "the operator had stopped it";
    EXPECT_EQ(shown,
              (std::map<Notice, QString>{{Notice::Failed, "Vídeo incompleto: disco lleno"}}));

    disk.writableBytes = ScriptedDisk::unlimited;
    ASSERT_TRUE(watch.start("003video.avi", 100, false, nullptr));
    EXPECT_TRUE(shown.empty()) << "the next start clears the failure";
}

TEST_F(Recording, WatchTellsOnceOfARecordingThatEndsByItself) {
    disk.writableBytes = 500'000;
    ASSERT_TRUE(watch.start("004video.avi", 100, false, nullptr));
    EXPECT_FALSE(watch.look());
    feed(2);
    ASSERT_TRUE(waitFor([&] { return !recorder.recording(); }));
    EXPECT_TRUE(watch.look());
    EXPECT_EQ(shown,
              (std::map<Notice, QString>{{Notice::Failed, "Vídeo incompleto: disco lleno"}}));
    shown.clear();
    EXPECT_FALSE(watch.look());
    EXPECT_TRUE(shown.empty());
}

TEST_F(Recording, WatchSaysWhyAStartFailed) {
    disk.freeBytes = 0;
    EXPECT_FALSE(watch.start("005video.avi", 100, false, nullptr));
    EXPECT_EQ(shown[Notice::Failed], "Vídeo no grabado: disco lleno");
    disk.freeBytes = ScriptedDisk::unlimited;
    EXPECT_FALSE(watch.start("no/such/006video.avi", 100, false, nullptr));
    EXPECT_EQ(shown[Notice::Failed], "Vídeo no grabado: no se pudo crear no/such/006video.avi");
    EXPECT_FALSE(watch.start({}, 100, false, nullptr));
    EXPECT_EQ(shown[Notice::Failed], "Vídeo no grabado: sin nombre libre");
}

TEST_F(Recording, WatchTellsOfLowSpaceWhileItLastsAndOfTheFramesLostUntilTheNextStart) {
    disk.freeBytes = secondsOfSpace(30.5);
    ASSERT_TRUE(watch.start("001video.avi", 100, false, nullptr));
    const QString low = "Poco espacio en disco: quedan 30 s de vídeo";
    EXPECT_EQ(shown, (std::map<Notice, QString>{{Notice::DiskLow, low}}));
    stall();
    feed(40);
    EXPECT_FALSE(watch.look());
    EXPECT_EQ(shown[Notice::FramesDropped], "Vídeo: 10 fotogramas perdidos, el disco no da abasto");
    disk.freeBytes = ScriptedDisk::unlimited;
    disk.openGate();
    ASSERT_TRUE(waitFor([&] { return !recorder.secondsLeftWhenLow(); }));
    EXPECT_FALSE(watch.look());
    EXPECT_EQ(shown.count(Notice::DiskLow), 0u) << "the warning goes with the low space";
    EXPECT_EQ(shown.count(Notice::FramesDropped), 1u);
    watch.stop();
    ASSERT_TRUE(recorder.waitUntilClosed(patience));

    disk.freeBytes = secondsOfSpace(30.5);
    ASSERT_TRUE(watch.start("002video.avi", 100, false, nullptr));
    EXPECT_EQ(shown, (std::map<Notice, QString>{{Notice::DiskLow, low}}));
    watch.stop();
    EXPECT_TRUE(shown.empty()) << "the warning goes with the recording";
}

} // namespace

namespace {

// What a recorder tells through its failure callback, and on which thread.
struct Told {
    std::vector<QString> texts;
    std::vector<bool> onGuiThread;
    void listen(video::Recorder& recorder) {
        recorder.onFailure([this](const QString& text) {
            texts.push_back(text);
            onGuiThread.push_back(QThread::currentThread() == qApp->thread());
        });
    }
};

} // namespace

// A write the disk refuses ends the recording and is told once, on the GUI thread, in the
// status line's words.
TEST(RecorderFailure, AWriteTheDiskRefusesIsToldOnTheGuiThread) {
    const struct {
        platform::DiskError error;
        const char* text;
    } cases[] = {{platform::DiskError::Full, "Vídeo incompleto: disco lleno"},
                 {platform::DiskError::Failed, "Vídeo incompleto: fallo del grabador"}};
    for (const auto& [error, text] : cases) {
        SCOPED_TRACE(text);
        testing_support::WorkingFolder folder;
        ScriptedDisk disk;
        disk.failure = error;
        disk.writableBytes = 500'000;
        video::Recorder recorder{disk.disk(), testLimits()};
        Told told;
        told.listen(recorder);
        ASSERT_TRUE(recorder.start("001video.avi", 100, false, nullptr));
        feedUntilClosedByItself(recorder, TestFrame(1));
        ASSERT_TRUE(waitFor([&] { return !told.texts.empty(); }));
        QCoreApplication::processEvents();
        EXPECT_EQ(told.texts, std::vector<QString>{QString::fromUtf8(text)});
        EXPECT_EQ(told.onGuiThread, std::vector<bool>{true});
    }
}

// A job that throws is told, and the recording goes on with the next frames.
TEST(RecorderFailure, AJobThatThrowsIsToldAndTheRecordingGoesOn) {
    testing_support::WorkingFolder folder;
    ScriptedDisk scripted;
    platform::Disk disk = scripted.disk();
    auto asked = std::make_shared<std::atomic<int>>(0);
    disk.freeBytes = [asked](const std::filesystem::path&) -> std::optional<std::uint64_t> {
        if (++*asked == 2)
            throw std::runtime_error("sonda de espacio rota");
        return ScriptedDisk::unlimited;
    };
    video::Recorder recorder{disk, testLimits()};
    Told told;
    told.listen(recorder);
    ASSERT_TRUE(recorder.start("001video.avi", 100, false, nullptr));
    ASSERT_TRUE(waitFor([&] { return !told.texts.empty(); }));
    EXPECT_EQ(told.texts, std::vector<QString>{QStringLiteral("sonda de espacio rota")});
    EXPECT_TRUE(recorder.recording());
    recorder.addFrame(TestFrame(1).dib());
    recorder.addFrame(TestFrame(2).dib());
    recorder.stop();
    ASSERT_TRUE(recorder.waitUntilClosed(patience));
    EXPECT_EQ(recorder.failure(), Failure::None);
    EXPECT_EQ(recorder.framesWritten(), 2u);
}
