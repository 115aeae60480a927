#include "job/Report.h"

#include "job/JobFolder.h"
#include "platform/ReadOnlyFile.h"
#include "video/AviReader.h"
#include "video/Mp4Reader.h"
#include "video/VideoFormat.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextDocument>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <utility>

namespace job {
namespace {

constexpr int chartWidth = 1600;
constexpr int chartHeight = 600;
// Readings beyond this are not a sensor's and are left out of the chart.
constexpr double largestReading = 1000;
// Wall time per second of video beyond these is not a camera's: the rows are not believed.
constexpr double slowestRate = 1000;
constexpr double fastestRate = 1.0 / 1000;
// A recording longer than this is not a camera's: a year.
constexpr int longestRecording = 366 * 24 * 3600;
// Names listed in one line of what was left out; the rest are counted.
constexpr int namesListed = 5;

std::filesystem::path localPath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

QString refusalText(platform::ReadRefusal refusal, qint64 largest) {
    switch (refusal) {
    case platform::ReadRefusal::Missing:
        return QStringLiteral("no existe");
    case platform::ReadRefusal::Outside:
        return QStringLiteral("fuera de la carpeta del trabajo");
    case platform::ReadRefusal::NotRegular:
        return QStringLiteral("no es un archivo normal");
    case platform::ReadRefusal::TooLarge:
        return QStringLiteral("más de %1 MB").arg(largest / (1024 * 1024));
    case platform::ReadRefusal::Failed:
        return QStringLiteral("no se puede leer");
    case platform::ReadRefusal::None:
        break;
    }
    return {};
}

QString refusedFile(const QString& file, const QString& why) {
    return file + QStringLiteral(" (") + why + QLatin1Char(')');
}

// "what: a (why), b (why) y 3 más"
QString listed(const QString& what, const QStringList& files) {
    QString line =
        what + QStringLiteral(": ") + files.mid(0, namesListed).join(QStringLiteral(", "));
    if (files.size() > namesListed)
        line += QStringLiteral(" y %1 más").arg(files.size() - namesListed);
    return line;
}

// Seconds the recording took by the wall clock: its seconds of video (its frames at the
// declared rate, else the rows' count of them) times the wall seconds its rows show per
// second of video.
int wallSeconds(const RecordingSummary& r, std::optional<double> videoSeconds) {
    const double video = videoSeconds.value_or(r.rows.empty() ? 0.0 : r.rows.back().second);
    double rate = 1;
    if (r.rows.size() >= 2) {
        const TrackRow& first = r.rows.front();
        const TrackRow& last = r.rows.back();
        qint64 wall = first.reading.time.secsTo(last.reading.time);
        if (wall < 0)
            wall += 24 * 3600;
        if (last.second > first.second)
            rate =
                std::clamp(double(wall) / (last.second - first.second), fastestRate, slowestRate);
    }
    return int(std::lround(std::min(video * rate, double(longestRecording))));
}

RecordingSummary readRecording(const QString& folder, const QString& file,
                               const ReportLimits& limits, JobRecord& job,
                               QStringList& unreadableVideos, QStringList& unreadableTables) {
    RecordingSummary recording;
    recording.file = file;
    recording.start =
        startFromName(file).value_or(QFileInfo(QDir(folder).filePath(file)).birthTime());
    std::optional<double> videoSeconds;
    const platform::ReadOnlyFile video =
        platform::ReadOnlyFile::openIn(localPath(folder), localPath(file));
    if (!video.isOpen())
        unreadableVideos << refusedFile(file, refusalText(video.refusal(), 0));
    else if (file.endsWith(QLatin1String(video::videoExtension(video::VideoFormat::Mp4)))) {
        if (const std::optional<video::Mp4Contents> contents = video::readMp4Contents(video)) {
            recording.frames = contents->frames;
            videoSeconds = contents->seconds();
        }
    } else if (const std::optional<video::AviContents> contents = video::readAviContents(video)) {
        recording.frames = contents->readableFrames();
        videoSeconds = contents->seconds();
    }
    const QString tableName = QFileInfo(file).completeBaseName() + QStringLiteral(".csv");
    const platform::FileBytes table =
        platform::readWholeFile(localPath(folder), localPath(tableName), limits.largestTable);
    if (table.refusal != platform::ReadRefusal::None &&
        table.refusal != platform::ReadRefusal::Missing)
        unreadableTables << refusedFile(tableName, refusalText(table.refusal, limits.largestTable));
    const QString text = QString::fromUtf8(table.bytes);
    bool header = true;
    forEachCsvLine(text, [&recording, &job, &header](QStringView line) {
        if (std::exchange(header, false))
            return;
        if (std::optional<TrackRow> row = parseTrackCsvRow(line.toString()))
            recording.rows.push_back(std::move(*row));
        else
            ++job.skippedRows;
    });
    recording.seconds = wallSeconds(recording, videoSeconds);
    return recording;
}

// Whether a picture is there and, when it is, why it cannot be shown (empty when it can).
struct PictureCheck {
    bool missing = false;
    QString refusal;
};

PictureCheck checkPicture(const QString& folder, const QString& picture, qint64 largest) {
    const platform::FileBytes bytes =
        platform::readWholeFile(localPath(folder), localPath(picture), largest);
    if (bytes.refusal == platform::ReadRefusal::Missing)
        return {.missing = true, .refusal = {}};
    if (bytes.refusal != platform::ReadRefusal::None)
        return {.missing = false, .refusal = refusalText(bytes.refusal, largest)};
    QBuffer buffer;
    buffer.setData(bytes.bytes);
    buffer.open(QIODevice::ReadOnly);
    if (!QImageReader(&buffer).canRead())
        return {.missing = false, .refusal = QStringLiteral("no es una imagen")};
    return {};
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

// A piece of the report that the PDF lays out on pages of its own, so that only its
// pictures are held at once however many the report shows.
struct ReportPart {
    QString html;
    // The observations whose pictures it shows.
    std::vector<std::size_t> pictures;
};
constexpr std::size_t cellsPerPart = 40;

QString observationCell(const JobRecord& job, std::size_t index, ReportPart& part) {
    const Observation& o = job.observations[index];
    QString cell;
    const QString& refusal = job.pictureRefusals[index];
    if (!o.picture.isEmpty() && refusal.isEmpty()) {
        cell += QStringLiteral("<img src=\"%1\" width=\"320\"><br>").arg(escaped(o.picture));
        part.pictures.push_back(index);
    } else if (!refusal.isEmpty()) {
        cell += QStringLiteral("<i>Foto rechazada: %1</i><br>")
                    .arg(escaped(refusedFile(o.picture, refusal)));
    }
    const QString tag = tagText(o.tag);
    if (!tag.isEmpty())
        cell += QStringLiteral("<b>%1</b><br>").arg(escaped(tag.toUpper()));
    cell += QStringLiteral("<b>%1</b><br>")
                .arg(escaped(o.note.isEmpty() ? QStringLiteral("(sin nota)") : o.note));
    if (!o.location.isEmpty())
        cell += QStringLiteral("Ubicación: %1<br>").arg(escaped(o.location));
    if (o.finding != Finding::None)
        cell += QStringLiteral("Hallazgo: %1 &middot; Gravedad: %2<br>")
                    .arg(escaped(findingText(o.finding)))
                    .arg(o.severity);
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
    const auto given = [&row](const QString& label, const QString& value) {
        if (!value.isEmpty())
            row(label, value);
    };
    given(QStringLiteral("Cliente"), job.details.client);
    given(QStringLiteral("Dirección"), job.details.address);
    given(QStringLiteral("Operador"), job.details.operatorName);
    given(QStringLiteral("Robot"), job.details.robotModel);
    given(QStringLiteral("Número de serie"), job.details.robotSerial);
    row(QStringLiteral("Fecha"), job.start.toString(QStringLiteral("dd/MM/yyyy")));
    row(QStringLiteral("Inicio"), job.start.toString(QStringLiteral("HH:mm:ss")));
    row(QStringLiteral("Duración"), durationText(job.start.secsTo(job.end)));
    row(QStringLiteral("Grabaciones"), QString::number(job.recordings.size()));
    row(QStringLiteral("Observaciones"),
        QString::number(job.observations.size() + job.observationsNotShown));
    return html + QStringLiteral("</table>");
}

QString leftOutSection(const JobRecord& job) {
    if (job.leftOut.isEmpty())
        return {};
    QString html = QStringLiteral("<h2>Omitido en este informe</h2><ul>");
    for (const QString& line : job.leftOut)
        html += QStringLiteral("<li>%1</li>").arg(escaped(line));
    return html + QStringLiteral("</ul>");
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

// The observations in parts of a bounded number of cells each: first the ones in no pair,
// then the pairs side by side.
void observationParts(const JobRecord& job, std::vector<ReportPart>& parts) {
    parts.push_back({QStringLiteral("<h2>Observaciones</h2>"), {}});
    if (job.observations.empty()) {
        parts.back().html += QStringLiteral("<p>Ninguna observación.</p>");
        return;
    }
    const std::vector<Pair> pairs = beforeAfterPairs(job.observations);
    std::vector<bool> paired(job.observations.size(), false);
    for (const Pair& pair : pairs)
        paired[pair.before] = paired[pair.after] = true;
    std::size_t cells = 0;
    for (std::size_t i = 0; i < job.observations.size(); ++i) {
        if (paired[i])
            continue;
        if (++cells % cellsPerPart == 0)
            parts.emplace_back();
        parts.back().html += QStringLiteral("<p>%1</p>").arg(observationCell(job, i, parts.back()));
    }
    const QString table = QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\">"
                                         "<tr><th>Antes</th><th>Después</th></tr>");
    for (std::size_t p = 0; p < pairs.size(); ++p) {
        if (p % (cellsPerPart / 2) == 0) {
            if (p > 0)
                parts.back().html += QStringLiteral("</table>");
            parts.emplace_back();
            if (p == 0)
                parts.back().html += QStringLiteral("<h3>Antes y después de la limpieza</h3>");
            parts.back().html += table;
        }
        ReportPart& part = parts.back();
        const QString before = observationCell(job, pairs[p].before, part);
        const QString after = observationCell(job, pairs[p].after, part);
        part.html += QStringLiteral("<tr><td valign=\"top\">%1</td><td valign=\"top\">%2</td></tr>")
                         .arg(before, after);
    }
    if (!pairs.empty())
        parts.back().html += QStringLiteral("</table>");
}

std::vector<ReportPart> reportParts(const JobRecord& job) {
    std::vector<ReportPart> parts(1);
    parts[0].html = headerSection(job) + leftOutSection(job) + recordingsSection(job) +
                    QStringLiteral("<h2>Temperatura y humedad</h2><p><img src=\"%1\" "
                                   "width=\"640\"></p>")
                        .arg(reportChartFile);
    observationParts(job, parts);
    if (job.skippedRows > 0)
        parts.back().html += QStringLiteral("<p><small>Filas ilegibles omitidas: %1</small></p>")
                                 .arg(job.skippedRows);
    return parts;
}

QString htmlOf(const JobRecord& job, const std::vector<ReportPart>& parts) {
    QString html = QStringLiteral("<!DOCTYPE html><html lang=\"es\"><head><meta charset=\"utf-8\">"
                                  "<title>Informe: %1</title></head><body>")
                       .arg(escaped(job.name));
    for (const ReportPart& part : parts)
        html += part.html;
    return html + QStringLiteral("</body></html>\n");
}

// Shows the pictures it is given and nothing else: no file is read behind the report's back.
class ReportDocument final : public QTextDocument {
protected:
    QVariant loadResource(int, const QUrl&) override { return {}; }
};

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
            const std::optional<double> value =
                temperature ? row.reading.temperature : row.reading.humidity;
            if (!value || std::abs(*value) > largestReading) {
                line.emplace_back();
                continue;
            }
            line.back().push_back({job.start.secsTo(rowMoment(r, row)), *value});
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
    static const QRegularExpression pattern(QStringLiteral(
        "_(\\d{4}-\\d{2}-\\d{2})_(\\d{2}-\\d{2}-\\d{2})(?:-\\d+)?_video\\.(?:avi|mp4)$"));
    const QRegularExpressionMatch match = pattern.match(fileName);
    if (!match.hasMatch())
        return std::nullopt;
    const QDateTime start = QDateTime::fromString(match.captured(1) + match.captured(2),
                                                  QStringLiteral("yyyy-MM-ddHH-mm-ss"));
    if (!start.isValid())
        return std::nullopt;
    return start;
}

JobRecord readJobFolder(const QString& path, const ReportLimits& limits) {
    JobRecord job;
    job.folder = path;
    const QDir folder(path);
    const JobInfo info = readJobInfo(path);
    job.name = info.name;
    job.details = info.details;
    // FIFOs, devices and broken links too, so that they are reported rather than passed over.
    const QStringList videos =
        folder.entryList({QStringLiteral("*_video.avi"), QStringLiteral("*_video.mp4")},
                         QDir::Files | QDir::System, QDir::Name);
    QStringList unreadableRecordings;
    QStringList unreadableTables;
    for (const QString& file : videos)
        job.recordings.push_back(
            readRecording(path, file, limits, job, unreadableRecordings, unreadableTables));
    std::sort(job.recordings.begin(), job.recordings.end(),
              [](const auto& a, const auto& b) { return a.start < b.start; });
    ObservationList list;
    const platform::FileBytes observations =
        platform::readWholeFile(localPath(path), localPath(observationsFile), limits.largestTable);
    if (observations.refusal == platform::ReadRefusal::None) {
        list = parseObservations(QString::fromUtf8(observations.bytes), limits.mostShown);
    } else if (observations.refusal != platform::ReadRefusal::Missing) {
        job.leftOut << QStringLiteral("Observaciones ilegibles: ") +
                           refusedFile(observationsFile,
                                       refusalText(observations.refusal, limits.largestTable));
    }
    job.observations = std::move(list.observations);
    job.skippedRows += list.skippedRows;
    job.observationsNotShown = list.notKept;
    if (list.notKept > 0)
        job.leftOut << QStringLiteral("Observaciones no incluidas: %1 (el informe muestra las "
                                      "primeras %2)")
                           .arg(list.notKept)
                           .arg(limits.mostShown);
    // The report shows only pictures that are there, as regular files of the folder.
    QStringList refusedPictures;
    job.pictureRefusals.resize(job.observations.size());
    for (std::size_t i = 0; i < job.observations.size(); ++i) {
        Observation& o = job.observations[i];
        if (o.picture.isEmpty())
            continue;
        const PictureCheck check = checkPicture(path, o.picture, limits.largestPicture);
        if (check.missing) {
            o.picture.clear();
        } else if (!check.refusal.isEmpty()) {
            job.pictureRefusals[i] = check.refusal;
            refusedPictures << refusedFile(o.picture, check.refusal);
        }
    }
    if (!refusedPictures.isEmpty())
        job.leftOut << listed(QStringLiteral("Fotos rechazadas"), refusedPictures);
    if (!unreadableRecordings.isEmpty())
        job.leftOut << listed(QStringLiteral("Grabaciones ilegibles"), unreadableRecordings);
    if (!unreadableTables.isEmpty())
        job.leftOut << listed(QStringLiteral("Tablas ilegibles"), unreadableTables);
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
        widen(r.start, r.start.addSecs(r.seconds));
    widen(list.earliest, list.latest);
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
    return htmlOf(job, reportParts(job));
}

QString ReportOutcome::message() const {
    if (!written)
        return QStringLiteral("Informe no escrito: ") + failure;
    QStringList lines{QStringLiteral("Informe escrito: ") + QDir(folder).filePath(reportPdfFile)};
    return (lines + leftOut).join(QStringLiteral("; "));
}

int ReportOutcome::exitStatus() const {
    if (!written)
        return 1;
    return leftOut.isEmpty() ? 0 : 2;
}

namespace {

// Lays each part out on pages of its own, with only that part's pictures loaded. The pages are
// laid out at the screen's 96 dots an inch and scaled to the writer's.
bool printParts(QPdfWriter& pdf, const JobRecord& job, const std::vector<ReportPart>& parts,
                const QImage& chart, const ReportLimits& limits, QStringList& unreadable) {
    QPainter painter(&pdf);
    if (!painter.isActive())
        return false;
    const double scale = pdf.resolution() / 96.0;
    const double footer = 40;
    const QSizeF page(pdf.width() / scale, (pdf.height() - footer) / scale);
    int pageNumber = 0;
    for (const ReportPart& part : parts) {
        ReportDocument document;
        document.setPageSize(page);
        if (&part == &parts.front())
            document.addResource(QTextDocument::ImageResource, QUrl(reportChartFile), chart);
        for (const std::size_t index : part.pictures) {
            const QString& file = job.observations[index].picture;
            const platform::FileBytes bytes = platform::readWholeFile(
                localPath(job.folder), localPath(file), limits.largestPicture);
            const QImage picture = QImage::fromData(bytes.bytes);
            if (picture.isNull())
                unreadable << file;
            else
                document.addResource(QTextDocument::ImageResource, QUrl(file), picture);
        }
        document.setHtml(part.html);
        for (int p = 0; p < document.pageCount(); ++p) {
            if (pageNumber++ > 0 && !pdf.newPage())
                return false;
            painter.save();
            painter.scale(scale, scale);
            painter.translate(0, -p * page.height());
            document.drawContents(&painter, QRectF(QPointF(0, p * page.height()), page));
            painter.restore();
            painter.drawText(QRectF(0, pdf.height() - footer, pdf.width(), footer),
                             Qt::AlignHCenter | Qt::AlignBottom, QString::number(pageNumber));
        }
    }
    return painter.end();
}

} // namespace

ReportOutcome writeReportFiles(const QString& path, const ReportLimits& limits,
                               const platform::Disk& disk) {
    ReportOutcome outcome;
    outcome.folder = path;
    const QDir folder(path);
    if (!folder.exists()) {
        outcome.failure = path + QStringLiteral(" no existe");
        return outcome;
    }
    const JobRecord job = readJobFolder(path, limits);
    const QImage chart = drawChart(job);
    const std::vector<ReportPart> parts = reportParts(job);
    const QString html = htmlOf(job, parts);

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

    QStringList unreadablePictures;
    QByteArray pdfBytes;
    {
        QBuffer pdfBuffer(&pdfBytes);
        pdfBuffer.open(QIODevice::WriteOnly);
        QPdfWriter pdf(&pdfBuffer);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageMargins(QMarginsF(15, 15, 15, 10), QPageLayout::Millimeter);
        pdf.setResolution(150);
        pdf.setTitle(QStringLiteral("Informe: ") + job.name);
        pdf.setCreator(QStringLiteral("marlo-consola"));
        if (!printParts(pdf, job, parts, chart, limits, unreadablePictures)) {
            outcome.failure = folder.filePath(reportPdfFile);
            return outcome;
        }
    }
    if (failed(reportPdfFile, pdfBytes))
        return outcome;
    outcome.written = true;
    outcome.leftOut = job.leftOut;
    if (!unreadablePictures.isEmpty())
        outcome.leftOut << listed(QStringLiteral("Fotos ilegibles"), unreadablePictures);
    return outcome;
}

} // namespace job
