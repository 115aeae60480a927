#include "job/JobFolder.h"
#include "job/Report.h"
#include "job/Session.h"
#include "job/TrackWriter.h"
#include "video/BitmapFile.h"
#include "video/Recorder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

using namespace job;

namespace {

const QDateTime morning(QDate(2026, 12, 9), QTime(10, 15, 30));
const QByteArray targetText = "a file of the user's that no writer of the console may touch\n";

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A job folder with a recording's name, and a file elsewhere that a planted link points at.
struct Planted {
    QTemporaryDir root;
    QTemporaryDir elsewhere;
    const QString target = elsewhere.filePath(QStringLiteral("victima.txt"));
    const QString folder = root.filePath(QStringLiteral("2026-12-09_Obra-Sur"));
    const QString video =
        QDir(folder).filePath(QStringLiteral("Obra-Sur_2026-12-09_10-15-30_video.avi"));
    QString planted;

    explicit Planted(bool targetThere) {
        QDir().mkpath(folder);
        QFile file(target);
        if (targetThere && file.open(QIODevice::WriteOnly))
            file.write(targetText);
    }
    void plant(const QString& name) {
        planted = name;
        QFile::link(target, name);
    }
    QString inFolder(const QString& file) const { return QDir(folder).filePath(file); }
};

bool trackFails(Planted& p, const QString& suffix) {
    p.plant(besideVideo(p.video.toStdString(), suffix));
    QObject gui;
    platform::Worker writer(8, gui, [](const QString&) {});
    TrackWriter track(writer, p.video.toStdString());
    track.tick(2000, Reading{});
    track.finish(2500, Reading{});
    writer.drain();
    return track.failed();
}

bool reportFails(Planted& p, const QString& file) {
    p.plant(p.inFolder(file));
    const ReportOutcome outcome = writeReportFiles(p.folder);
    return !outcome.written && outcome.failure == p.planted;
}

// Every file the console writes: the writer is run with a link planted at the file's name and
// answers whether it told its failure.
const std::pair<const char*, std::function<bool(Planted&)>> writers[] = {
    {"still picture",
     [](Planted& p) {
         p.plant(p.inFolder(QStringLiteral("foto.bmp")));
         const std::vector<std::uint8_t> pixels(video::dibRowSize(352, 24) * 288, 0x40);
         const video::DibSection picture{352, 288, 1, 24, pixels.data(), pixels.size()};
         return video::WriteBitmapFile(&picture, p.planted.toStdString()) !=
                platform::DiskError::None;
     }},
    {"recording",
     [](Planted& p) {
         p.plant(p.video);
         video::Recorder recorder;
         return !recorder.start(p.planted.toStdString(), 100, false, nullptr) &&
                recorder.failure() == video::Recorder::Failure::CannotCreate;
     }},
    {"subtitle track", [](Planted& p) { return trackFails(p, QStringLiteral(".srt")); }},
    {"telemetry table", [](Planted& p) { return trackFails(p, QStringLiteral(".csv")); }},
    {"observations",
     [](Planted& p) {
         QStringList shown;
         Session session([] { return Reading{}; }, [&shown](const QString& t) { shown << t; },
                         p.root.path());
         if (!session.start(QStringLiteral("Obra Sur")))
             return false;
         p.plant(QDir(session.folder()).filePath(observationsFile));
         session.record(session.markNow({}));
         session.drain();
         QCoreApplication::processEvents();
         return shown.last().startsWith(QStringLiteral("Observación no guardada: "));
     }},
    {"job file",
     [](Planted& p) {
         p.plant(p.inFolder(jobInfoFile));
         return !JobFolder::open(QStringLiteral("Obra Sur"), p.root.path(), morning);
     }},
    {"report chart", [](Planted& p) { return reportFails(p, reportChartFile); }},
    {"report page", [](Planted& p) { return reportFails(p, reportHtmlFile); }},
    {"report document", [](Planted& p) { return reportFails(p, reportPdfFile); }},
};

} // namespace

TEST(PlantedLink, NoWriterWritesThroughALinkAtItsNameAndEachTellsItsFailure) {
    for (const auto& [file, writeFails] : writers) {
        for (const bool targetThere : {true, false}) {
            SCOPED_TRACE(std::string(file) + (targetThere ? "" : ", link to nothing"));
            Planted p(targetThere);
            EXPECT_TRUE(writeFails(p));
            ASSERT_TRUE(QFileInfo(p.planted).isSymLink()) << "the link itself stays";
            if (targetThere) {
                EXPECT_EQ(contents(p.target), targetText) << "the link's target is unchanged";
            } else {
                EXPECT_FALSE(QFileInfo::exists(p.target)) << "nothing is made through the link";
            }
        }
    }
}
