// What an inspection job costs: the GUI thread's share of one second of telemetry track (the
// cue and row are formatted and handed to the writer thread, which writes them meanwhile),
// the report of a working day's job (four recordings of ten minutes, 40 observations with
// their pictures) written from its folder, and the report of a job of 100,000 observations,
// each with its picture, with its time and peak memory (each run in a process of its own).

#include "bench/Percentile.h"
#include "bench/QtBenchmarkMain.h"
#include "job/JobFolder.h"
#include "job/Observation.h"
#include "job/Report.h"
#include "job/TrackWriter.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <memory>

namespace {

job::Reading reading(int second) {
    job::Reading r;
    r.time = QTime(9, 0, 0).addSecs(second);
    r.temperature = 20 + second % 7;
    r.humidity = 50 + second % 11;
    r.drive = QStringLiteral("avance");
    r.speedPercent = 80;
    r.lightsPercent = 40;
    return r;
}

void trackSecond(benchmark::State& state) {
    QTemporaryDir dir;
    QObject gui;
    platform::Worker writer(1 << 20, gui, [](const QString&) {});
    job::TrackWriter track(writer, dir.filePath(QStringLiteral("b_video.avi")).toStdString());
    qint64 position = 0;
    for (auto _ : state) {
        position += 1000;
        track.tick(position, reading(int(position / 1000)));
    }
    writer.drain();
}
BENCHMARK(trackSecond)->Unit(benchmark::kMicrosecond);

void fillJob(const QString& folder) {
    const QDir dir(folder);
    for (int recording = 0; recording < 4; ++recording) {
        QObject gui;
        platform::Worker writer(1024, gui, [](const QString&) {});
        const QString name = QStringLiteral("Obra_2026-12-09_%1-00-00_video.avi")
                                 .arg(9 + recording, 2, 10, QChar('0'));
        QFile(dir.filePath(name)).open(QIODevice::WriteOnly);
        job::TrackWriter track(writer, dir.filePath(name).toStdString());
        for (int second = 1; second <= 600; ++second)
            track.tick(qint64(second) * 1000, reading(3600 * recording + second));
        track.finish(600'000, reading(0));
    }
    QImage picture(352, 288, QImage::Format_RGB888);
    QFile observations(dir.filePath(job::observationsFile));
    observations.open(QIODevice::WriteOnly);
    observations.write(job::observationsCsvHeader().toUtf8());
    for (int i = 0; i < 40; ++i) {
        picture.fill(QColor::fromHsv(i * 9, 200, 200));
        const QString file = QStringLiteral("o%1_foto.bmp").arg(i);
        picture.save(dir.filePath(file), "BMP");
        job::Observation o;
        o.when = QDateTime(QDate(2026, 12, 9), QTime(9, 0, 0)).addSecs(i * 300);
        o.tag = i % 2 ? job::Tag::After : job::Tag::Before;
        o.note = QStringLiteral("Observación %1 de la rejilla del conducto").arg(i);
        o.picture = file;
        observations.write(job::observationCsvRow(o).toUtf8());
    }
}

void reportOfADay(benchmark::State& state) {
    QTemporaryDir root;
    const QString folder = job::JobFolder::open(QStringLiteral("Obra"), root.path(),
                                                QDateTime(QDate(2026, 12, 9), QTime(9, 0, 0)))
                               ->path();
    fillJob(folder);
    for (auto _ : state) {
        const job::ReportOutcome outcome = job::writeReportFiles(folder);
        if (!outcome.written)
            state.SkipWithError("report not written");
    }
}
BENCHMARK(reportOfADay)->Unit(benchmark::kMillisecond)->Iterations(3);

// 100,000 observations, each with a picture of its own name (links to one picture, so the
// folder takes little disk).
void fillLargeJob(const QString& folder) {
    const QDir dir(folder);
    QImage picture(352, 288, QImage::Format_RGB888);
    picture.fill(QColor::fromHsv(90, 200, 200));
    const QString first = dir.filePath(QStringLiteral("o0_foto.bmp"));
    picture.save(first, "BMP");
    QByteArray csv = job::observationsCsvHeader().toUtf8();
    for (int i = 0; i < 100'000; ++i) {
        const QString file = QStringLiteral("o%1_foto.bmp").arg(i);
        if (i > 0)
            ::link(QFile::encodeName(first).constData(),
                   QFile::encodeName(dir.filePath(file)).constData());
        job::Observation o;
        o.when = QDateTime(QDate(2026, 12, 9), QTime(7, 0, 0)).addSecs(i / 4);
        o.tag = i % 3 == 1 ? job::Tag::Before : i % 3 == 2 ? job::Tag::After : job::Tag::None;
        o.note = QStringLiteral("Observación %1 de la rejilla del conducto").arg(i);
        o.picture = file;
        o.reading = reading(i);
        csv += job::observationCsvRow(o).toUtf8();
    }
    QFile observations(dir.filePath(job::observationsFile));
    observations.open(QIODevice::WriteOnly);
    observations.write(csv);
}

void reportOf100000Observations(benchmark::State& state) {
    static const auto root = std::make_unique<QTemporaryDir>();
    static const QString folder = [] {
        const QString made = job::JobFolder::open(QStringLiteral("Obra"), root->path(),
                                                  QDateTime(QDate(2026, 12, 9), QTime(7, 0, 0)))
                                 ->path();
        fillLargeJob(made);
        return made;
    }();
    for (auto _ : state) {
        const auto begun = std::chrono::steady_clock::now();
        const pid_t child = fork();
        if (child == 0)
            _exit(job::writeReportFiles(folder).written ? 0 : 1);
        int status = 0;
        rusage usage{};
        if (child < 0 || wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) ||
            WEXITSTATUS(status) != 0) {
            state.SkipWithError("report not written");
            break;
        }
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - begun).count());
        state.counters["peak_MB"] = double(usage.ru_maxrss) / 1024;
    }
}
BENCHMARK(reportOf100000Observations)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseManualTime()
    ->Apply(fiveRunsWithWorst);

} // namespace

int main(int argc, char** argv) {
    return runQtBenchmarks(argc, argv);
}
