#pragma once

#include "job/Observation.h"
#include "job/TrackFormat.h"
#include "platform/Disk.h"

#include <QDateTime>
#include <QImage>
#include <QString>

#include <optional>
#include <vector>

namespace job {

inline const QString reportHtmlFile = QStringLiteral("report.html");
inline const QString reportPdfFile = QStringLiteral("report.pdf");
inline const QString reportChartFile = QStringLiteral("report-grafico.png");

// One recording of a job, as its files tell it.
struct RecordingSummary {
    QString file;
    QDateTime start;
    // Seconds of video (frames times the declared period), as the telemetry beside it counts
    // them: its playing length to within a second.
    int seconds = 0;
    // Frames the recording's header counts; nothing when it cannot be read.
    std::optional<std::uint32_t> frames;
    std::vector<TrackRow> rows;
};

// Everything the report shows, read from a job folder.
struct JobRecord {
    QString folder;
    QString name;
    QDateTime start;
    QDateTime end;
    std::vector<RecordingSummary> recordings;
    std::vector<Observation> observations;
    // Rows of the telemetry tables and observations that could not be read.
    int skippedRows = 0;
};

// The start of a recording from its name ("..._2026-12-09_10-15-30_video.avi", also with a
// "-2" after the time); nothing for another name.
std::optional<QDateTime> startFromName(const QString& fileName);

JobRecord readJobFolder(const QString& folder);

// Temperature and humidity over the job: one line each, broken where a recording ends and
// where a reading is missing. The scales are 0..60 ºC and 0..100 %, widened to take in any
// reading outside them.
QImage drawChart(const JobRecord& job);

// The report's HTML; the pictures and the chart are referenced by their file names.
QString reportHtml(const JobRecord& job);

struct ReportOutcome {
    bool written = false;
    QString folder;
    QString failure;
    // The status text: where the report went, or what failed.
    QString message() const;
};

// Writes report.html, report.pdf and the chart into the job folder, each file whole under a
// temporary name and then put in the place of the earlier one; a link at a name is never
// written through.
ReportOutcome writeReportFiles(const QString& folder,
                               const platform::Disk& disk = platform::localDisk());

} // namespace job
