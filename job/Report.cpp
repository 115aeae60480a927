#include "job/Report.h"

#include "job/JobFolder.h"
#include "job/TrackWriter.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextDocument>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace job {
namespace {

// Telemetry tables and observation lists are read up to this size; a larger file is not one
// of ours.
constexpr qint64 largestTable = 64 * 1024 * 1024;
constexpr qint64 headerBytes = 64 * 1024;
constexpr int chartWidth = 1600;
constexpr int chartHeight = 600;
// Readings beyond this are not a sensor's and are left out of the chart.
constexpr double largestReading = 1000;

std::optional<QString> readText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > largestTable)
        return std::nullopt;
    return QString::fromUtf8(file.readAll());
}

std::uint32_t littleEndian32(const QByteArray& bytes, qsizetype at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | static_cast<std::uint8_t>(bytes.at(at + i));
    return value;
}

// The OpenDML total when the header has one, else the main header's count.
std::optional<std::uint32_t> aviFrameCount(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray header = file.read(headerBytes);
    if (!header.startsWith("RIFF"))
        return std::nullopt;
    const qsizetype dmlh = header.indexOf("dmlh");
    if (dmlh >= 0 && dmlh + 12 <= header.size())
        return littleEndian32(header, dmlh + 8);
    const qsizetype avih = header.indexOf("avih");
    if (avih >= 0 && avih + 28 <= header.size())
        return littleEndian32(header, avih + 24);
    return std::nullopt;
}

RecordingSummary readRecording(const QDir& folder, const QString& file, int& skipped) {
    RecordingSummary recording;
    recording.file = file;
    recording.start = startFromName(file).value_or(QFileInfo(folder.filePath(file)).birthTime());
    recording.frames = aviFrameCount(folder.filePath(file));
    const std::filesystem::path video = folder.filePath(file).toStdString();
    const std::optional<QString> table = readText(besideVideo(video, QStringLiteral(".csv")));
    if (!table)
        return recording;
    const QStringList lines = splitCsvLines(*table);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (std::optional<TrackRow> row = parseTrackCsvRow(lines[i]))
            recording.rows.push_back(std::move(*row));
        else
            ++skipped;
    }
    if (!recording.rows.empty())
        recording.seconds = recording.rows.back().second;
    return recording;
}

QString durationText(qint64 seconds) {
    seconds = std::max<qint64>(0, seconds);
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QString escaped(const QString& text) {
    return text.toHtmlEscaped();
}

QString intoText(const Observation& o) {
    if (o.recording.isEmpty())
        return QStringLiteral("sin grabación");
    return escaped(o.recording) + QStringLiteral(", a los ") + durationText(o.intoRecording / 1000);
}

QString observationCell(const Observation& o) {
    QString cell;
    if (!o.picture.isEmpty())
        cell += QStringLiteral("<img src=\"%1\" width=\"320\"><br>").arg(escaped(o.picture));
    const QString tag = tagText(o.tag);
    if (!tag.isEmpty())
        cell += QStringLiteral("<b>%1</b><br>").arg(escaped(tag.toUpper()));
    cell += QStringLiteral("<b>%1</b><br>")
                .arg(escaped(o.note.isEmpty() ? QStringLiteral("(sin nota)") : o.note));
    cell += QStringLiteral("%1 &middot; %2<br>")
                .arg(escaped(o.when.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"))), intoText(o));
    cell += QStringLiteral("<small>%1</small>").arg(escaped(readingText(o.reading)));
    return cell;
}

QString headerSection(const JobRecord& job) {
    QString html = QStringLiteral("<h1>Informe de inspección</h1><table cellpadding=\"3\">");
    const auto row = [&html](const QString& label, const QString& value) {
        html += QStringLiteral("<tr><td><b>%1</b></td><td>%2</td></tr>").arg(label, escaped(value));
    };
    row(QStringLiteral("Trabajo"), job.name);
    row(QStringLiteral("Fecha"), job.start.toString(QStringLiteral("dd/MM/yyyy")));
    row(QStringLiteral("Inicio"), job.start.toString(QStringLiteral("HH:mm:ss")));
    row(QStringLiteral("Duración"), durationText(job.start.secsTo(job.end)));
    row(QStringLiteral("Grabaciones"), QString::number(job.recordings.size()));
    row(QStringLiteral("Observaciones"), QString::number(job.observations.size()));
    return html + QStringLiteral("</table>");
}

QString recordingsSection(const JobRecord& job) {
    QString html = QStringLiteral("<h2>Grabaciones</h2>");
    if (job.recordings.empty())
        return html + QStringLiteral("<p>Ninguna grabación.</p>");
    html += QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\">"
                           "<tr><th>Archivo</th><th>Inicio</th><th>Duración</th>"
                           "<th>Imágenes</th></tr>");
    for (const RecordingSummary& r : job.recordings) {
        html += QStringLiteral("<tr><td style=\"white-space: nowrap; font-size: 8pt\">%1</td>"
                               "<td>%2</td><td>%3</td><td>%4</td></tr>")
                    .arg(escaped(r.file), r.start.toString(QStringLiteral("HH:mm:ss")),
                         durationText(r.seconds),
                         r.frames ? QString::number(*r.frames) : QStringLiteral("--"));
    }
    return html + QStringLiteral("</table>");
}

QString observationsSection(const JobRecord& job) {
    QString html = QStringLiteral("<h2>Observaciones</h2>");
    if (job.observations.empty())
        return html + QStringLiteral("<p>Ninguna observación.</p>");
    const std::vector<Pair> pairs = beforeAfterPairs(job.observations);
    std::vector<bool> paired(job.observations.size(), false);
    for (const Pair& pair : pairs)
        paired[pair.before] = paired[pair.after] = true;
    for (std::size_t i = 0; i < job.observations.size(); ++i) {
        if (!paired[i])
            html += QStringLiteral("<p>%1</p>").arg(observationCell(job.observations[i]));
    }
    if (pairs.empty())
        return html;
    html += QStringLiteral("<h3>Antes y después de la limpieza</h3>"
                           "<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\">"
                           "<tr><th>Antes</th><th>Después</th></tr>");
    for (const Pair& pair : pairs) {
        html += QStringLiteral("<tr><td valign=\"top\">%1</td><td valign=\"top\">%2</td></tr>")
                    .arg(observationCell(job.observations[pair.before]),
                         observationCell(job.observations[pair.after]));
    }
    return html + QStringLiteral("</table>");
}

// The moment of a row: its time of day on the recording's date, the next day once the
// recording has passed midnight.
QDateTime rowMoment(const RecordingSummary& r, const TrackRow& row) {
    QDateTime moment(r.start.date(), row.reading.time);
    if (row.reading.time < r.start.time())
        moment = moment.addDays(1);
    return moment;
}

struct ChartPoint {
    qint64 second;
    double value;
};
using ChartLine = std::vector<std::vector<ChartPoint>>;

// One run of points per recording, at the time of day of each reading; readings without a
// value break the run.
ChartLine chartLine(const JobRecord& job, bool temperature) {
    ChartLine line;
    for (const RecordingSummary& r : job.recordings) {
        line.emplace_back();
        for (const TrackRow& row : r.rows) {
            bool ok = false;
            const double value =
                (temperature ? row.reading.temperature : row.reading.humidity).toDouble(&ok);
            if (!ok || !std::isfinite(value) || std::abs(value) > largestReading) {
                line.emplace_back();
                continue;
            }
            line.back().push_back({job.start.secsTo(rowMoment(r, row)), value});
        }
    }
    return line;
}

struct Scale {
    double low;
    double high;
};

// The usual range unless a reading lies outside it; then widened to whole steps of `step`.
Scale scaleFor(const ChartLine& line, Scale usual, double step) {
    Scale scale = usual;
    for (const auto& run : line) {
        for (const ChartPoint& point : run) {
            scale.low = std::min(scale.low, std::floor(point.value / step) * step);
            scale.high = std::max(scale.high, std::ceil(point.value / step) * step);
        }
    }
    return scale;
}

void drawLine(QPainter& painter, const ChartLine& line, const QRectF& area, qint64 span,
              Scale scale, const QColor& colour) {
    const double low = scale.low;
    const double high = scale.high;
    painter.setPen(QPen(colour, 3));
    for (const auto& run : line) {
        QPainterPath path;
        for (std::size_t i = 0; i < run.size(); ++i) {
            const QPointF p(area.left() + area.width() * double(run[i].second) / double(span),
                            area.bottom() - area.height() * (run[i].value - low) / (high - low));
            if (i == 0)
                path.moveTo(p);
            else
                path.lineTo(p);
        }
        if (run.size() == 1)
            painter.drawPoint(path.currentPosition());
        painter.drawPath(path);
    }
}

} // namespace

std::optional<QDateTime> startFromName(const QString& fileName) {
    static const QRegularExpression pattern(
        QStringLiteral("_(\\d{4}-\\d{2}-\\d{2})_(\\d{2}-\\d{2}-\\d{2})(?:-\\d+)?_video\\.avi$"));
    const QRegularExpressionMatch match = pattern.match(fileName);
    if (!match.hasMatch())
        return std::nullopt;
    const QDateTime start = QDateTime::fromString(match.captured(1) + match.captured(2),
                                                  QStringLiteral("yyyy-MM-ddHH-mm-ss"));
    if (!start.isValid())
        return std::nullopt;
    return start;
}

JobRecord readJobFolder(const QString& path) {
    JobRecord job;
    job.folder = path;
    const QDir folder(path);
    const JobInfo info = readJobInfo(path);
    job.name = info.name;
    const QStringList videos =
        folder.entryList({QStringLiteral("*_video.avi")}, QDir::Files, QDir::Name);
    for (const QString& file : videos)
        job.recordings.push_back(readRecording(folder, file, job.skippedRows));
    std::sort(job.recordings.begin(), job.recordings.end(),
              [](const auto& a, const auto& b) { return a.start < b.start; });
    if (const std::optional<QString> text = readText(folder.filePath(observationsFile))) {
        ObservationList list = parseObservations(*text);
        job.observations = std::move(list.observations);
        job.skippedRows += list.skippedRows;
    }
    // The report references only pictures that are there.
    for (Observation& o : job.observations) {
        if (!o.picture.isEmpty() && !QFileInfo::exists(folder.filePath(o.picture)))
            o.picture.clear();
    }
    job.start = info.started;
    job.end = info.started;
    const auto widen = [&job](const QDateTime& from, const QDateTime& to) {
        if (!from.isValid())
            return;
        if (!job.start.isValid() || from < job.start)
            job.start = from;
        if (!job.end.isValid() || to > job.end)
            job.end = to;
    };
    for (const RecordingSummary& r : job.recordings)
        widen(r.start, r.rows.empty() ? r.start : rowMoment(r, r.rows.back()));
    for (const Observation& o : job.observations)
        widen(o.when, o.when);
    return job;
}

QImage drawChart(const JobRecord& job) {
    QImage chart(chartWidth, chartHeight, QImage::Format_RGB32);
    chart.fill(Qt::white);
    QPainter painter(&chart);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font = painter.font();
    font.setPixelSize(22);
    painter.setFont(font);
    const QRectF area(110, 50, chartWidth - 220, chartHeight - 130);
    const qint64 span = std::max<qint64>(1, job.start.secsTo(job.end));
    const ChartLine temperature = chartLine(job, true);
    const ChartLine humidity = chartLine(job, false);
    const Scale degrees = scaleFor(temperature, {0, 60}, 20);
    const Scale percent = scaleFor(humidity, {0, 100}, 25);
    const auto mark = [](Scale scale, int step) {
        return QString::number(scale.low + (scale.high - scale.low) * step / 4.0);
    };

    painter.setPen(QPen(Qt::gray, 1));
    for (int step = 0; step <= 4; ++step) {
        const double y = area.bottom() - area.height() * step / 4.0;
        painter.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
        painter.setPen(Qt::darkRed);
        painter.drawText(QRectF(0, y - 15, area.left() - 10, 30), Qt::AlignRight | Qt::AlignVCenter,
                         mark(degrees, step) + QStringLiteral(" ºC"));
        painter.setPen(Qt::darkBlue);
        painter.drawText(QRectF(area.right() + 10, y - 15, 100, 30),
                         Qt::AlignLeft | Qt::AlignVCenter,
                         mark(percent, step) + QStringLiteral(" %"));
        painter.setPen(QPen(Qt::gray, 1));
    }
    painter.setPen(Qt::black);
    painter.drawRect(area);
    painter.drawText(QRectF(area.left(), area.bottom() + 10, 300, 30), Qt::AlignLeft,
                     job.start.toString(QStringLiteral("HH:mm:ss")));
    painter.drawText(QRectF(area.right() - 300, area.bottom() + 10, 300, 30), Qt::AlignRight,
                     job.end.toString(QStringLiteral("HH:mm:ss")));
    drawLine(painter, temperature, area, span, degrees, Qt::red);
    drawLine(painter, humidity, area, span, percent, Qt::blue);
    painter.setPen(Qt::red);
    painter.drawText(QRectF(area.left(), 10, 400, 30), Qt::AlignLeft,
                     QStringLiteral("Temperatura (ºC)"));
    painter.setPen(Qt::blue);
    painter.drawText(QRectF(area.right() - 400, 10, 400, 30), Qt::AlignRight,
                     QStringLiteral("Humedad (%)"));
    return chart;
}

QString reportHtml(const JobRecord& job) {
    QString html = QStringLiteral("<!DOCTYPE html><html lang=\"es\"><head><meta charset=\"utf-8\">"
                                  "<title>Informe: %1</title></head><body>")
                       .arg(escaped(job.name));
    html += headerSection(job);
    html += recordingsSection(job);
    html += QStringLiteral("<h2>Temperatura y humedad</h2><p><img src=\"%1\" width=\"640\"></p>")
                .arg(reportChartFile);
    html += observationsSection(job);
    if (job.skippedRows > 0)
        html += QStringLiteral("<p><small>Filas ilegibles omitidas: %1</small></p>")
                    .arg(job.skippedRows);
    return html + QStringLiteral("</body></html>\n");
}

QString ReportOutcome::message() const {
    if (!written)
        return QStringLiteral("Informe no escrito: ") + failure;
    return QStringLiteral("Informe escrito: ") + QDir(folder).filePath(reportPdfFile);
}

ReportOutcome writeReportFiles(const QString& path, const platform::Disk& disk) {
    ReportOutcome outcome;
    outcome.folder = path;
    const QDir folder(path);
    if (!folder.exists()) {
        outcome.failure = path + QStringLiteral(" no existe");
        return outcome;
    }
    const JobRecord job = readJobFolder(path);
    const QImage chart = drawChart(job);
    const QString html = reportHtml(job);

    // Each file is put in place whole: a report cut off leaves the earlier one readable.
    const auto failed = [&disk, &folder, &outcome](const QString& file, const QByteArray& bytes) {
        if (!bytes.isEmpty() &&
            platform::writeWholeFile(disk, folder.filePath(file).toStdString(),
                                     platform::bytesOf(bytes)) == platform::DiskError::None)
            return false;
        outcome.failure = folder.filePath(file);
        return true;
    };
    QByteArray png;
    QBuffer pngBuffer(&png);
    if (!pngBuffer.open(QIODevice::WriteOnly) || !chart.save(&pngBuffer, "PNG"))
        png.clear();
    if (failed(reportChartFile, png) || failed(reportHtmlFile, html.toUtf8()))
        return outcome;

    QTextDocument document;
    document.setBaseUrl(QUrl::fromLocalFile(folder.absolutePath() + QLatin1Char('/')));
    document.addResource(QTextDocument::ImageResource, QUrl(reportChartFile), chart);
    for (const Observation& o : job.observations) {
        const QImage picture(folder.filePath(o.picture));
        if (!o.picture.isEmpty() && !picture.isNull())
            document.addResource(QTextDocument::ImageResource, QUrl(o.picture), picture);
    }
    document.setHtml(html);
    QByteArray pdfBytes;
    {
        QBuffer pdfBuffer(&pdfBytes);
        pdfBuffer.open(QIODevice::WriteOnly);
        QPdfWriter pdf(&pdfBuffer);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setResolution(150);
        pdf.setTitle(QStringLiteral("Informe: ") + job.name);
        pdf.setCreator(QStringLiteral("marlo-consola"));
        document.print(&pdf);
    }
    if (failed(reportPdfFile, pdfBytes))
        return outcome;
    outcome.written = true;
    return outcome;
}

} // namespace job
