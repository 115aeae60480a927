#pragma once

#include "job/JobFolder.h"
#include "job/Observation.h"
#include "job/TrackFormat.h"
#include "platform/Disk.h"

#include <QDateTime>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace job {

inline const QString reportHtmlFile = QStringLiteral("report.html");
inline const QString reportPdfFile = QStringLiteral("report.pdf");
inline const QString reportChartFile = QStringLiteral("report-grafico.png");

// How much the report reads and shows; tests choose small ones.
struct ReportLimits {
    // Telemetry tables and observation lists; a larger file is not one of ours.
    qint64 largestTable = 64 * 1024 * 1024;
    // A still picture is about 300 KB.
    qint64 largestPicture = 32 * 1024 * 1024;
    // Observations shown, each with its picture: what a report can be read and printed with.
    std::size_t mostShown = 500;
    // The company's logo: a picture file is a few hundred KB, and its sides a few thousand.
    qint64 largestLogo = 8 * 1024 * 1024;
    int widestLogo = 8000;
};

// What the operator chose for every report.
struct ReportOptions {
    // The picture file of the company's logo for the cover; none when empty.
    QString logo;
};

// One recording of a job, as its files tell it.
struct RecordingSummary {
    QString file;
    QDateTime start;
    // Seconds the recording took: its seconds of video (its frames at the declared rate, else
    // its rows' count) over the rate its telemetry rows show (the first and last row's time of
    // day against their seconds of video), so recordings and job are measured by the same
    // clock; a year at most.
    int seconds = 0;
    // Frames a reader finds in the file, indexed or not; nothing when it cannot be read.
    std::optional<std::uint32_t> frames;
    std::vector<TrackRow> rows;
};

// Everything the report shows, read from a job folder.
struct JobRecord {
    QString folder;
    QString name;
    JobDetails details;
    QDateTime start;
    QDateTime end;
    std::vector<RecordingSummary> recordings;
    std::vector<Observation> observations;
    // Observations beyond the ones shown.
    std::size_t observationsNotShown = 0;
    // Why an observation's picture was refused, by observation; empty when it was not.
    std::vector<QString> pictureRefusals;
    // The size each observation's picture says it has; empty when it has none or says none.
    std::vector<QSize> pictureSizes;
    // The logo for the cover, shrunk to what the cover shows; null when there is none.
    QImage logo;
    // The bounds it was read with, which also bound the pictures read again to show them.
    ReportLimits limits;
    // Rows of the telemetry tables and observations that could not be read.
    int skippedRows = 0;
    // What the report leaves out, one line each ("Observaciones ilegibles: ...").
    QStringList leftOut;
};

// The start of a recording from its name ("..._2026-12-09_10-15-30_video.avi" or ".mp4", also
// with a "-2" after the time); nothing for another name.
std::optional<QDateTime> startFromName(const QString& fileName);

JobRecord readJobFolder(const QString& folder, const ReportLimits& limits = {},
                        const ReportOptions& options = {});

// Temperature and humidity over the job: one line each, broken where a recording ends and
// where a reading is missing. The scales are 0..60 ºC and 0..100 %, widened to take in any
// reading outside them.
QImage drawChart(const JobRecord& job);

// The report's HTML, one file that holds its pictures, chart and logo.
QString reportHtml(const JobRecord& job);

struct ReportOutcome {
    bool written = false;
    QString folder;
    QString failure;
    // What the written report leaves out.
    QStringList leftOut;
    // The status text: where the report went and what it left out, or what failed.
    QString message() const;
    // 0 for a whole report, 2 for one that leaves something out, 1 when none was written.
    int exitStatus() const;
};

// Writes report.html, report.pdf (PDF/A-1b, each page headed with the job and numbered) and
// the chart into the job folder, each file whole under a temporary name and then put in the
// place of the earlier one; a link at a name is never written through.
ReportOutcome writeReportFiles(const QString& folder, const ReportLimits& limits = {},
                               const platform::Disk& disk = platform::localDisk(),
                               const ReportOptions& options = {});

} // namespace job
