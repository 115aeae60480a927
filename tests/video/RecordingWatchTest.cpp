#include "VideoFiles.h"
#include "Waiting.h"

#include "tests/support/ScriptedDisk.h"
#include "video/RecordingWatch.h"

#include <gtest/gtest.h>

#include <map>
#include <thread>

namespace {

using namespace video_test;
using testing_support::ScriptedDisk;
using Notice = video::RecordingWatch::Notice;
using Clock = std::chrono::steady_clock;

// The notices as a status line would hold them.
struct Notices {
    std::map<Notice, QString> shown;
    int raised = 0;

    video::RecordingWatch watch(video::Recorder& recorder) {
        return video::RecordingWatch(
            recorder,
            [this](Notice notice, const QString& text) {
                shown[notice] = text;
                ++raised;
            },
            [this](Notice notice) { shown.erase(notice); });
    }
};

struct RecordingWatchTest : ::testing::Test {
    QTemporaryDir dir;
    ScriptedDisk disk;
    video::Recorder recorder{disk.disk()};
    Notices notices;
    video::RecordingWatch watch = notices.watch(recorder);
    TestFrame frame{1};

    ~RecordingWatchTest() override { disk.openGate(); }
};

TEST_F(RecordingWatchTest, FailureWhileTheFileIsCompletedAfterTheStopIsStillReported) {
    ASSERT_TRUE(watch.start(inDir(dir, "001video.avi"), 100, false, nullptr));
    recorder.addFrame(frame.dib());
    watch.stop();
    ASSERT_TRUE(recorder.waitUntilClosed(patience));
    EXPECT_FALSE(watch.look());
    EXPECT_EQ(notices.raised, 0) << "a recording that ends well says nothing";

    ASSERT_TRUE(watch.start(inDir(dir, "002video.avi"), 100, false, nullptr));
    recorder.addFrame(frame.dib());
    ASSERT_TRUE(waitFor([&] { return recorder.framesWritten() == 1; }));
    disk.closeGate();
    recorder.addFrame(frame.dib());
    ASSERT_TRUE(waitFor([&] { return disk.writesAtGate() > 0; }));
    watch.stop();
    disk.writableBytes = 0;
    disk.openGate();
    ASSERT_TRUE(recorder.waitUntilClosed(patience));
    EXPECT_FALSE(watch.look()) << "the operator had stopped it";
    EXPECT_EQ(notices.shown[Notice::Failed], "Vídeo incompleto: disco lleno");

    disk.writableBytes = ScriptedDisk::unlimited;
    ASSERT_TRUE(watch.start(inDir(dir, "003video.avi"), 100, false, nullptr));
    EXPECT_EQ(notices.shown.count(Notice::Failed), 0u) << "the next start clears the failure";
}

TEST_F(RecordingWatchTest, RecordingThatEndsByItselfIsToldOnce) {
    disk.writableBytes = 500'000;
    ASSERT_TRUE(watch.start(inDir(dir, "004video.avi"), 100, false, nullptr));
    EXPECT_FALSE(watch.look());
    recorder.addFrame(frame.dib());
    recorder.addFrame(frame.dib());
    ASSERT_TRUE(waitFor([&] { return !recorder.recording(); }));
    EXPECT_TRUE(watch.look());
    EXPECT_FALSE(watch.look());
    EXPECT_EQ(notices.shown[Notice::Failed], "Vídeo incompleto: disco lleno");
    EXPECT_EQ(notices.raised, 1);
}

TEST_F(RecordingWatchTest, StartsThatFailSayWhy) {
    disk.freeBytes = 0;
    EXPECT_FALSE(watch.start(inDir(dir, "005video.avi"), 100, false, nullptr));
    EXPECT_EQ(notices.shown[Notice::Failed], "Vídeo no grabado: disco lleno");
    disk.freeBytes = ScriptedDisk::unlimited;
    EXPECT_FALSE(watch.start(inDir(dir, "no/such/006video.avi"), 100, false, nullptr));
    EXPECT_EQ(notices.shown[Notice::Failed],
              "Vídeo no grabado: no se pudo crear " + dir.filePath("no/such/006video.avi"));
    EXPECT_FALSE(watch.start({}, 100, false, nullptr));
    EXPECT_EQ(notices.shown[Notice::Failed], "Vídeo no grabado: sin nombre libre");
}

} // namespace
