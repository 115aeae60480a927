#include "job/Report.h"
#include "job/Session.h"
#include "tests/support/WorkingFolder.h"
#include "tests/video/VideoFiles.h"
#include "video/AviWriter.h"
#include "video/Mp4Writer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace job;

namespace {

void recordMp4(const QString& path, int frames, int periodMs = 100) {
    auto writer = video::Mp4Writer::open(
        platform::localDisk().open(QFile::encodeName(path).toStdString(), platform::OpenMode::New),
        periodMs);
    ASSERT_TRUE(writer);
    for (int n = 0; n < frames; ++n)
        ASSERT_TRUE(writer->addFrame(video_test::TestFrame(std::uint32_t(n)).dib()));
    ASSERT_TRUE(writer->close());
}

void recordAvi(const QString& path, int frames) {
    auto writer = video::OpenVideoWriter(QFile::encodeName(path).toStdString(), 100);
    ASSERT_TRUE(writer);
    const video_test::TestFrame frame(1);
    const auto dib = frame.dib();
    for (int n = 0; n < frames; ++n)
        ASSERT_EQ(video::AddVideoFrame(writer.get(), &dib), video::AVIERR_OK);
    ASSERT_EQ(video::CloseVideoWriter(std::move(writer)), video::AVIERR_OK);
}

std::string local(const QString& folder, const QString& file) {
    return QFile::encodeName(QDir(folder).filePath(file)).toStdString();
}

} // namespace

TEST(Mp4Job, RecordingsAreNamedMp4AndTheirTracksSitBesideThem) {
    testing_support::WorkingFolder working;
    QTemporaryDir root;
    Session session{[] { return Reading{}; }, [](const QString&) {}, root.path()};
    EXPECT_EQ(QString::fromStdString(session.videoName(7, video::VideoFormat::Mp4)->fileName),
              QStringLiteral("007video.mp4"));
    ASSERT_TRUE(session.start(QStringLiteral("Obra")));
    const auto name = session.videoName(7, video::VideoFormat::Mp4);
    ASSERT_TRUE(name);
    const QString video = QString::fromStdString(name->fileName.string());
    EXPECT_TRUE(video.endsWith(QStringLiteral("_video.mp4")));
    QFile(video).open(QIODevice::WriteOnly);
    qint64 position = 0;
    session.recordingStarted(name->fileName, [&] { return position; });
    position = 1500;
    session.tick();
    session.recordingStopped();
    session.drain();
    for (const char* suffix : {".srt", ".csv"})
        EXPECT_TRUE(QFile::exists(video.chopped(4) + suffix)) << suffix;
    EXPECT_TRUE(startFromName(QFileInfo(video).fileName()));
}

// The report counts an MP4 recording's frames and time as a player finds them, beside AVI
// ones, in the order they were made.
TEST(Mp4Job, TheReportReadsFramesAndDurationOfMp4Recordings) {
    QTemporaryDir root;
    const QString folder =
        JobFolder::open(QStringLiteral("Obra"), root.path(), QDateTime::currentDateTime())->path();
    const QString whole = QStringLiteral("Obra_2026-12-09_10-01-00_video.mp4");
    const QString cut = QStringLiteral("Obra_2026-12-09_10-02-00_video.mp4");
    const QString avi = QStringLiteral("Obra_2026-12-09_10-00-00_video.avi");
    const QString notOurs = QStringLiteral("Obra_2026-12-09_10-03-00_video.mp3");
    recordMp4(QDir(folder).filePath(whole), 25);
    recordMp4(QDir(folder).filePath(cut), 25);
    recordAvi(QDir(folder).filePath(avi), 4);
    QFile(QDir(folder).filePath(notOurs)).open(QIODevice::WriteOnly);
    const qint64 size = QFileInfo(QDir(folder).filePath(cut)).size();
    ASSERT_TRUE(QFile::resize(QDir(folder).filePath(cut), size - 100));
    QFile garbage(QDir(folder).filePath(QStringLiteral("Obra_2026-12-09_10-04-00_video.mp4")));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(4000, 'x'));
    garbage.close();

    const JobRecord record = readJobFolder(folder);
    ASSERT_EQ(record.recordings.size(), 4u);
    EXPECT_EQ(record.recordings[0].file, avi);
    EXPECT_EQ(record.recordings[0].frames, 4u);
    EXPECT_EQ(record.recordings[1].file, whole);
    EXPECT_EQ(record.recordings[1].frames, 25u);
    EXPECT_EQ(long(*record.recordings[1].frames),
              video_test::decodedFrameCount(local(folder, whole)));
    EXPECT_EQ(record.recordings[1].seconds, 3) << "2.5 s of video, no track";
    EXPECT_EQ(record.recordings[2].frames, 20u) << "the cut last fragment is left out";
    EXPECT_EQ(record.recordings[2].seconds, 2);
    EXPECT_FALSE(record.recordings[3].frames) << "garbage has no frames to count";
}
