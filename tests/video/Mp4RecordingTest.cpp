#include "tests/support/ScriptedDisk.h"
#include "tests/support/WorkingFolder.h"
#include "tests/video/RecorderSupport.h"
#include "tests/video/VideoFiles.h"
#include "video/MotionJpeg.h"
#include "video/Mp4Reader.h"
#include "video/RecordingWatch.h"

#include <QCoreApplication>
#include <QThread>

#include <gtest/gtest.h>

#include <map>
#include <thread>

namespace {

using namespace video_test;
using Failure = video::Recorder::Failure;
using Notice = video::RecordingWatch::Notice;
using testing_support::ScriptedDisk;
using video::VideoFormat;
using Clock = std::chrono::steady_clock;

std::optional<video::Mp4Contents> readMp4(const std::filesystem::path& file) {
    const auto opened = platform::ReadOnlyFile::openIn(".", file);
    if (!opened.isOpen())
        return std::nullopt;
    return video::readMp4Contents(opened);
}

struct Mp4Recording : ::testing::Test {
    testing_support::WorkingFolder folder;
    ScriptedDisk disk;
    video::Recorder recorder{disk.disk(), testLimits()};
    std::vector<QString> told;
    std::vector<bool> toldOnGuiThread;
    std::map<Notice, QString> shown;
    video::RecordingWatch watch{
        recorder, [this](Notice notice, const QString& text) { shown[notice] = text; },
        [this](Notice notice) { shown.erase(notice); }};

    Mp4Recording() {
        // Replaces the watch's listener: both are checked, each in its own test.
        recorder.onFailure([this](const QString& text) {
            told.push_back(text);
            toldOnGuiThread.push_back(QThread::currentThread() == qApp->thread());
        });
    }

    bool start(const char* name, const video::DibSection* surface = nullptr) {
        return recorder.start(name, 100, false, surface, VideoFormat::Mp4);
    }
    void feed(int count, int width = 352, int height = 288) {
        for (int n = 0; n < count; ++n)
            recorder.addFrame(TestFrame(std::uint32_t(n), width, height).dib());
    }
    void stopAndWait() {
        recorder.stop();
        ASSERT_TRUE(recorder.waitUntilClosed(patience));
    }
};

} // namespace

TEST_F(Mp4Recording, EveryFrameFedPlaysAndTheReaderAgrees) {
    ASSERT_TRUE(start("001video.mp4"));
    feed(25);
    stopAndWait();
    EXPECT_EQ(recorder.failure(), Failure::None);
    EXPECT_EQ(recorder.framesWritten(), 25u);
    EXPECT_EQ(folder.files(), QStringList{"001video.mp4"});
    EXPECT_EQ(probe("001video.mp4"), (Probe{"h264", 352, 288, 25}));
    EXPECT_EQ(readMp4("001video.mp4").value_or(video::Mp4Contents{}).frames, 25u);
}

TEST_F(Mp4Recording, WithoutFramesLeavesNoFileAndAFailedStartNoneEither) {
    ASSERT_TRUE(start("001video.mp4"));
    stopAndWait();
    EXPECT_EQ(folder.files(), QStringList());
    EXPECT_FALSE(start("no/such/002video.mp4"));
    EXPECT_EQ(recorder.failure(), Failure::CannotCreate);
    EXPECT_EQ(folder.files(), QStringList());
}

// Whole fragments are in the file while the recording runs, and are forced onto the device.
TEST_F(Mp4Recording, FragmentsAreForcedOntoTheDeviceWhileRecording) {
    ASSERT_TRUE(start("001video.mp4"));
    feed(25);
    ASSERT_TRUE(waitFor([&] {
        std::filesystem::copy_file("001video.mp4", "copia.mp4",
                                   std::filesystem::copy_options::overwrite_existing);
        return readMp4("copia.mp4").value_or(video::Mp4Contents{}).frames >= 20;
    })) << "two whole seconds are in the file";
    const int before = disk.syncs();
    ASSERT_TRUE(waitFor([&] { return disk.syncs() > before; }));
    EXPECT_TRUE(recorder.recording());
    stopAndWait();
}

// Not more often than once a second, however often the worker looks.
TEST_F(Mp4Recording, TheDeviceIsForcedAtMostOnceASecond) {
    const auto started = Clock::now();
    ASSERT_TRUE(start("001video.mp4"));
    while (Clock::now() - started < std::chrono::milliseconds(2500)) {
        feed(1);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    const int syncs = disk.syncs();
    const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
    EXPECT_GE(syncs, 1);
    EXPECT_LE(syncs, int(seconds) + 1);
    stopAndWait();
}

// Until frames come, the room is reckoned at a JPEG of the picture a frame.
TEST_F(Mp4Recording, RefusesAStartUnderFiveSecondsOfSpaceAndWarnsUnderSixty) {
    const TestFrame surface(2);
    const auto dib = surface.dib();
    video::MotionJpeg jpeg;
    ASSERT_TRUE(jpeg.encode(dib));
    const double second = double(jpeg.bytes().size() + 32) * assumedRate;
    for (const auto& [seconds, starts] : {std::pair{4.9, false}, std::pair{5.1, true}}) {
        SCOPED_TRACE(seconds);
        disk.freeBytes = std::uint64_t(seconds * second);
        EXPECT_EQ(start("001video.mp4", &dib), starts);
        EXPECT_EQ(recorder.failure(), starts ? Failure::None : Failure::NoSpace);
        if (starts) {
            EXPECT_EQ(recorder.secondsLeftWhenLow(), 5);
        }
        stopAndWait();
    }
}

// A full disk or a failing device ends the recording, is told once on the GUI thread, and
// leaves every frame counted readable (no file when none was).
TEST_F(Mp4Recording, AWriteTheDiskRefusesEndsItWithAReadableFile) {
    struct Row {
        platform::DiskError error;
        std::uint64_t writable;
        Failure failure;
        const char* text;
    };
    using platform::DiskError;
    for (const Row row :
         {Row{DiskError::Full, 200'000, Failure::DiskFull, "Vídeo incompleto: disco lleno"},
          Row{DiskError::Failed, 200'000, Failure::WriteFailed,
              "Vídeo incompleto: fallo del grabador"},
          Row{DiskError::Full, 0, Failure::DiskFull, "Vídeo incompleto: disco lleno"}}) {
        SCOPED_TRACE(row.writable);
        testing_support::WorkingFolder inner;
        ScriptedDisk scripted;
        scripted.failure = row.error;
        scripted.writableBytes = row.writable;
        video::Recorder failing{scripted.disk(), testLimits()};
        std::vector<QString> texts;
        failing.onFailure([&](const QString& text) { texts.push_back(text); });
        ASSERT_TRUE(failing.start("001video.mp4", 100, false, nullptr, VideoFormat::Mp4));
        feedUntilClosedByItself(failing, TestFrame(1));
        EXPECT_EQ(failing.failure(), row.failure);
        ASSERT_TRUE(waitFor([&] {
            QCoreApplication::processEvents();
            return !texts.empty();
        }));
        EXPECT_EQ(texts, std::vector<QString>{QString::fromUtf8(row.text)});
        const long written = failing.framesWritten();
        EXPECT_EQ(written > 0, row.writable > 0);
        if (row.writable == 0) {
            EXPECT_EQ(inner.files(), QStringList());
            continue;
        }
        EXPECT_EQ(decodedFrameCount("001video.mp4"), written);
        EXPECT_EQ(long(readMp4("001video.mp4").value_or(video::Mp4Contents{}).frames), written);
    }
}

// The first frame fixes the size; the next one of another size ends the recording cleanly,
// in either format, and the watch says why.
TEST_F(Mp4Recording, AFrameOfAnotherSizeEndsTheRecordingInEitherFormat) {
    for (const auto& [format, name] : {std::pair{VideoFormat::Mp4, "001video.mp4"},
                                       std::pair{VideoFormat::Avi, "002video.avi"}}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(watch.start(name, 100, false, nullptr, format));
        feed(3);
        feed(2, 352, 290);
        ASSERT_TRUE(waitFor([&] { return !recorder.recording(); }));
        ASSERT_TRUE(recorder.waitUntilClosed(patience));
        EXPECT_TRUE(watch.look());
        EXPECT_EQ(recorder.failure(), Failure::SizeChanged);
        EXPECT_EQ(shown[Notice::Failed],
                  QStringLiteral("La imagen cambió de tamaño: el vídeo sigue en otro archivo"));
        EXPECT_EQ(probe(name).frames, 3);
        EXPECT_EQ(recorder.framesWritten(), 3u);
    }
}
