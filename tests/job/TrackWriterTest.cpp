#include "job/TrackWriter.h"
#include "tests/support/ScriptedDisk.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace job;

namespace {

QString text(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

Reading readingAt(int second) {
    Reading reading;
    reading.time = QTime(10, 0, 0).addSecs(second);
    reading.temperature = 20 + second;
    reading.humidity = 50;
    return reading;
}

struct Track : ::testing::Test {
    QTemporaryDir dir;
    QObject gui;
    QStringList failures;
    platform::Worker writer{64, gui, [this](const QString& reason) { failures << reason; }};
    std::filesystem::path video = dir.filePath(QStringLiteral("x_video.avi")).toStdString();

    int cues() {
        writer.drain();
        return int(
            text(dir.filePath(QStringLiteral("x_video.srt"))).count(QStringLiteral(" --> ")));
    }
    QStringList rows() {
        writer.drain();
        return text(dir.filePath(QStringLiteral("x_video.csv"))).split('\n', Qt::SkipEmptyParts);
    }
};

} // namespace

TEST_F(Track, FilesSitBesideTheRecording) {
    TrackWriter track(writer, video);
    EXPECT_EQ(track.subtitlePath(), dir.filePath(QStringLiteral("x_video.srt")));
    EXPECT_EQ(track.tablePath(), dir.filePath(QStringLiteral("x_video.csv")));
    EXPECT_EQ(besideVideo("/a/b.c/d_video.avi", QStringLiteral(".srt")),
              QStringLiteral("/a/b.c/d_video.srt"));
}

TEST_F(Track, ACueAndARowForEachWholeSecondAsItEnds) {
    TrackWriter track(writer, video);
    track.tick(999, readingAt(0));
    EXPECT_EQ(cues(), 0);
    EXPECT_EQ(rows().size(), 1) << "the header";
    track.tick(1000, readingAt(1));
    EXPECT_EQ(cues(), 1);
    track.tick(3500, readingAt(3));
    EXPECT_EQ(cues(), 3) << "seconds missed by a late tick are caught up";
    track.tick(2000, readingAt(3));
    EXPECT_EQ(cues(), 3) << "a position going back writes nothing twice";
    const QStringList table = rows();
    ASSERT_EQ(table.size(), 4);
    EXPECT_TRUE(table[1].startsWith(QStringLiteral("10:00:01,1,21,")));
    EXPECT_TRUE(table[3].startsWith(QStringLiteral("10:00:03,3,23,")));
    EXPECT_FALSE(track.failed());
}

TEST_F(Track, FinishWritesThePartSecondOnlyWhenThereIsOne) {
    {
        TrackWriter track(writer, video);
        track.finish(3000, readingAt(3));
        track.tick(9000, readingAt(9));
        EXPECT_EQ(cues(), 3) << "nothing after the end";
    }
    const std::filesystem::path other = dir.filePath(QStringLiteral("y_video.avi")).toStdString();
    TrackWriter track(writer, other);
    track.finish(3001, readingAt(3));
    writer.drain();
    EXPECT_EQ(text(dir.filePath(QStringLiteral("y_video.srt"))).count(QStringLiteral(" --> ")), 4);
}

TEST_F(Track, NotesGoIntoTheCueOfTheirSecondOnly) {
    TrackWriter track(writer, video);
    track.tick(1000, readingAt(1));
    track.addNote(QStringLiteral("antes: grieta"));
    track.tick(2000, readingAt(2));
    track.tick(3000, readingAt(3));
    writer.drain();
    const QString srt = text(dir.filePath(QStringLiteral("x_video.srt")));
    EXPECT_EQ(srt.count(QStringLiteral("Observación: antes: grieta")), 1);
    EXPECT_LT(srt.indexOf(QStringLiteral("\n2\n")), srt.indexOf(QStringLiteral("grieta")));
    EXPECT_GT(srt.indexOf(QStringLiteral("\n3\n")), srt.indexOf(QStringLiteral("grieta")));
}

TEST_F(Track, AnExistingFileIsNeverReplacedAndTheFailureIsKnown) {
    QFile earlier(dir.filePath(QStringLiteral("x_video.srt")));
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write("earlier");
    earlier.close();
    TrackWriter track(writer, video);
    track.tick(2000, readingAt(2));
    writer.drain();
    EXPECT_TRUE(track.failed());
    EXPECT_EQ(text(earlier.fileName()), QStringLiteral("earlier"));
}

TEST_F(Track, AFolderThatIsNotThereFails) {
    TrackWriter track(writer, dir.filePath(QStringLiteral("gone/x_video.avi")).toStdString());
    writer.drain();
    EXPECT_TRUE(track.failed());
}

// A write the disk refuses, on either file, is told with the subtitle file's name on the GUI
// thread, and the next track writes as usual.
TEST_F(Track, AFailedWriteIsToldOnTheGuiThread) {
    for (const std::uint64_t writable : {std::uint64_t{0}, std::uint64_t{200}}) {
        SCOPED_TRACE(writable);
        failures.clear();
        testing_support::ScriptedDisk disk;
        disk.writableBytes = writable;
        const std::filesystem::path name =
            dir.filePath(QStringLiteral("f%1_video.avi").arg(writable)).toStdString();
        TrackWriter track(writer, name, disk.disk());
        for (int second = 1; second <= 5; ++second)
            EXPECT_TRUE(track.tick(second * 1000, readingAt(second)));
        writer.drain();
        EXPECT_TRUE(track.failed());
        ASSERT_TRUE(QTest::qWaitFor([&] { return !failures.isEmpty(); }, 10000));
        EXPECT_EQ(failures.first(), QStringLiteral("f%1_video.srt").arg(writable));
    }
    failures.clear();
    TrackWriter track(writer, video);
    track.tick(2000, readingAt(2));
    writer.drain();
    QCoreApplication::processEvents();
    EXPECT_FALSE(track.failed());
    EXPECT_TRUE(failures.isEmpty());
}

// Seconds the worker has no room for are lost, and the track knows it at once.
TEST_F(Track, ASecondTheWorkerRefusesFailsTheTrack) {
    testing_support::ScriptedDisk disk;
    platform::Worker small{2, gui, [](const QString&) {}};
    // Closed first, so the files' first write waits there whatever the machine's pace.
    disk.closeGate();
    TrackWriter track(small, video, disk.disk());
    EXPECT_TRUE(track.tick(1000, readingAt(1)))
        << "the header waits at the gate, one second queued";
    ASSERT_TRUE(QTest::qWaitFor([&] { return disk.writesAtGate() > 0; }, 10000));
    EXPECT_TRUE(track.tick(2000, readingAt(2)));
    EXPECT_FALSE(track.failed());
    EXPECT_FALSE(track.tick(3000, readingAt(3)));
    EXPECT_TRUE(track.failed());
    disk.openGate();
    small.drain();
}
