#include "job/Session.h"
#include "tests/support/ScriptedDisk.h"
#include "tests/support/WorkingFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <stdexcept>

#include <gtest/gtest.h>

using namespace job;
using testing_support::WorkingFolder;

namespace {

QString text(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

struct JobSession : ::testing::Test {
    WorkingFolder working;
    QTemporaryDir root;
    Reading reading;
    QStringList shown;
    qint64 position = 0;
    Session session{[this] { return reading; }, [this](const QString& t) { shown << t; },
                    root.path()};

    JobSession() {
        reading.temperature = 31;
        reading.humidity = 67;
    }
    QString file(const std::optional<video::GeneratedName>& name) {
        return name ? QString::fromStdString(name->fileName.string()) : QString();
    }
    void touch(const std::optional<video::GeneratedName>& name) {
        QFile f(file(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    void startRecording(const std::optional<video::GeneratedName>& name) {
        ASSERT_TRUE(name);
        touch(name);
        session.recordingStarted(name->fileName, [this] { return position; });
    }
};

} // namespace

TEST_F(JobSession, WithoutAJobTheNamesAndFolderAreTheUsualOnes) {
    EXPECT_FALSE(session.active());
    EXPECT_EQ(session.videoName(417)->fileName, video::nextVideoName(417)->fileName);
    EXPECT_EQ(file(session.videoName(417)), QStringLiteral("00417video.avi"));
    EXPECT_EQ(file(session.snapshotName("4711foto", 3)), QStringLiteral("4711foto3.bmp"));
    EXPECT_EQ(session.snapshotName("4711foto", 3)->number, 3);

    startRecording(session.videoName(417));
    EXPECT_FALSE(session.trackRunning());
    position = 5000;
    session.tick();
    session.recordingStopped();
    session.record(session.markNow({}));
    session.drain();
    EXPECT_EQ(working.files(), QStringList{QStringLiteral("00417video.avi")});
    EXPECT_TRUE(QDir(root.path()).isEmpty());
}

TEST_F(JobSession, WithAJobEverythingGoesToItsFolder) {
    ASSERT_TRUE(session.start(QStringLiteral("Obra Sur")));
    EXPECT_EQ(session.name(), QStringLiteral("Obra Sur"));
    EXPECT_TRUE(session.folder().startsWith(root.path() + QStringLiteral("/")));
    const auto video = session.videoName(417);
    ASSERT_TRUE(video);
    EXPECT_EQ(video->number, 417) << "the usual count goes on";
    EXPECT_TRUE(file(video).startsWith(session.folder() + QStringLiteral("/Obra-Sur_")));
    EXPECT_TRUE(file(video).endsWith(QStringLiteral("_video.avi")));
    EXPECT_TRUE(file(session.snapshotName("4711foto", 3)).endsWith(QStringLiteral("_foto.bmp")));
    EXPECT_TRUE(working.files().isEmpty());
}

TEST_F(JobSession, AJobThatCannotBeOpenedLeavesTheFormerOne) {
    ASSERT_TRUE(session.start(QStringLiteral("Obra Sur")));
    EXPECT_FALSE(session.start(QStringLiteral("   ")));
    EXPECT_EQ(session.name(), QStringLiteral("Obra Sur"));
    EXPECT_EQ(shown.last(), QStringLiteral("Trabajo no abierto: falta el nombre"));
    const QString blocked = root.filePath(QStringLiteral("blocked"));
    QFile blocker(blocked);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    Session elsewhere{[this] { return reading; }, [this](const QString& t) { shown << t; },
                      blocked};
    EXPECT_FALSE(elsewhere.start(QStringLiteral("Obra Sur")));
    EXPECT_EQ(shown.last(), QStringLiteral("Trabajo no abierto: ") + blocked);
}

TEST_F(JobSession, TracksFollowTheRecordingAndObservationsGoEverywhere) {
    ASSERT_TRUE(session.start(QStringLiteral("Obra Sur")));
    const auto video = session.videoName(1);
    startRecording(video);
    EXPECT_TRUE(session.trackRunning());
    position = 2000;
    session.tick();
    position = 2500;
    Observation mark = session.markNow(QStringLiteral("/x/Obra_foto.bmp").toStdString());
    EXPECT_EQ(mark.intoRecording, 2500);
    EXPECT_EQ(mark.picture, QStringLiteral("Obra_foto.bmp"));
    EXPECT_EQ(mark.reading.temperature, 31);
    EXPECT_EQ(mark.recording, QFileInfo(file(video)).fileName());
    mark.tag = Tag::Before;
    mark.note = QStringLiteral("grieta\nen la junta");
    session.record(mark);
    position = 3200;
    session.recordingStopped();
    EXPECT_FALSE(session.trackRunning());
    session.drain();

    const QString base = file(video).chopped(4);
    const QString srt = text(base + QStringLiteral(".srt"));
    EXPECT_EQ(srt.count(QStringLiteral(" --> ")), 4);
    EXPECT_TRUE(srt.contains(QStringLiteral("\nObservación: antes: grieta en la junta\n")));
    EXPECT_EQ(text(base + QStringLiteral(".csv")).count('\n'), 5);
    const ObservationList list =
        parseObservations(text(QDir(session.folder()).filePath(observationsFile)));
    ASSERT_EQ(list.observations.size(), 1u);
    EXPECT_EQ(list.observations[0].note, QStringLiteral("grieta en la junta"));
    EXPECT_EQ(list.observations[0].tag, Tag::Before);

    Observation later = session.markNow({});
    EXPECT_TRUE(later.recording.isEmpty()) << "no recording runs";
    EXPECT_TRUE(later.picture.isEmpty());
    session.record(later);
    session.drain();
    EXPECT_EQ(parseObservations(text(QDir(session.folder()).filePath(observationsFile)))
                  .observations.size(),
              2u)
        << "the header is written once";
}

TEST_F(JobSession, ATrackThatCannotBeWrittenIsShownOnce) {
    ASSERT_TRUE(session.start(QStringLiteral("Obra Sur")));
    const auto video = session.videoName(1);
    ASSERT_TRUE(video);
    QFile blocker(file(video).chopped(4) + QStringLiteral(".srt"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    startRecording(video);
    session.drain();
    position = 1000;
    session.tick();
    position = 2000;
    session.tick();
    session.recordingStopped();
    session.drain();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !shown.filter(QStringLiteral("Telemetría no guardada")).isEmpty(); }, 10000));
    QCoreApplication::processEvents();
    EXPECT_EQ(shown.filter(QStringLiteral("Telemetría no guardada")).size(), 1);
}

TEST_F(JobSession, AReportNeedsAJob) {
    session.writeReport();
    EXPECT_EQ(shown.last(), QStringLiteral("Informe: no hay trabajo abierto"));
}

TEST_F(JobSession, TheReportIsWrittenInTheBackgroundAndItsOutcomeShown) {
    ASSERT_TRUE(session.start(QStringLiteral("Obra Sur")));
    session.writeReport();
    EXPECT_EQ(shown.last(), QStringLiteral("Informe en preparación..."));
    session.drain();
    QCoreApplication::processEvents();
    EXPECT_EQ(shown.last(),
              QStringLiteral("Informe escrito: ") + QDir(session.folder()).filePath("report.pdf"));
    EXPECT_TRUE(QFile::exists(QDir(session.folder()).filePath(QStringLiteral("report.html"))));
}

namespace {

// Report files on one disk and everything else on another.
platform::Disk reportsOn(platform::Disk reports, platform::Disk rest) {
    platform::Disk disk = rest;
    auto isReport = [](const std::filesystem::path& path) {
        return QString::fromStdString(path.filename().string()).contains(QStringLiteral("report"));
    };
    disk.open = [=](const std::filesystem::path& path, platform::OpenMode mode) {
        return isReport(path) ? reports.open(path, mode) : rest.open(path, mode);
    };
    disk.replace = [=](const std::filesystem::path& from, const std::filesystem::path& to) {
        return isReport(to) ? reports.replace(from, to) : rest.replace(from, to);
    };
    return disk;
}

} // namespace

TEST_F(JobSession, AReportThatCannotBeWrittenIsToldWithItsReason) {
    testing_support::ScriptedDisk disk;
    disk.writableBytes = 0;
    session.useDisk(reportsOn(disk.disk(), platform::localDisk()));
    ASSERT_TRUE(session.start(QStringLiteral("Obra Sur")));
    session.writeReport();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return shown.last().startsWith(QStringLiteral("Informe no escrito: ")); }, 10000));
    EXPECT_TRUE(shown.last().contains(QStringLiteral("report"))) << shown.last().toStdString();
}

// Seconds of a track go on being written while a report waits on its disk.
TEST_F(JobSession, AReportNeverHoldsUpTheTrack) {
    testing_support::ScriptedDisk slow;
    session.useDisk(reportsOn(slow.disk(), platform::localDisk()));
    ASSERT_TRUE(session.start(QStringLiteral("Obra Sur")));
    slow.closeGate();
    session.writeReport();
    ASSERT_TRUE(QTest::qWaitFor([&] { return slow.writesAtGate() > 0; }, 10000));
    const auto video = session.videoName(1);
    startRecording(video);
    position = 3000;
    session.tick();
    const QString csv = file(video).chopped(4) + QStringLiteral(".csv");
    EXPECT_TRUE(QTest::qWaitFor([&] { return text(csv).count('\n') == 4; }, 10000))
        << "the header and three seconds while the report waits";
    slow.openGate();
    session.drain();
}

// A job that throws is told like any failure, and the next one is written.
TEST_F(JobSession, AnObservationJobThatThrowsIsToldAndTheNextIsSaved) {
    ASSERT_TRUE(session.start(QStringLiteral("Obra Sur")));
    platform::Disk throwing = platform::localDisk();
    throwing.open = [](const std::filesystem::path&,
                       platform::OpenMode) -> std::unique_ptr<platform::DiskFile> {
        throw std::runtime_error("sin memoria");
    };
    session.useDisk(throwing);
    session.record(session.markNow({}));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return shown.contains(QStringLiteral("Observación no guardada: sin memoria")); },
        10000));
    session.useDisk(platform::localDisk());
    session.record(session.markNow({}));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return shown.last() == QStringLiteral("Observación guardada"); }, 10000));
    EXPECT_EQ(parseObservations(text(QDir(session.folder()).filePath(observationsFile)))
                  .observations.size(),
              1u);
}

TEST_F(JobSession, AnObservationTheDiskRefusesIsToldWithItsReason) {
    ASSERT_TRUE(session.start(QStringLiteral("Obra Sur")));
    testing_support::ScriptedDisk disk;
    disk.writableBytes = 0;
    session.useDisk(disk.disk());
    session.record(session.markNow({}));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return shown.contains(QStringLiteral("Observación no guardada: disco lleno")); },
        10000));
}
