#include "job/Report.h"

#include "job/JobFolder.h"
#include "platform/ReadOnlyFile.h"
#include "video/AviReader.h"
#include "video/Mp4Reader.h"
#include "video/VideoFormat.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextDocument>
#include <QUrl>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <functional>
#include <numeric>
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
// What the cover, the chart and a picture take of the page, in the HTML's pixels.
constexpr QSize logoShown(240, 96);
constexpr QSize chartShown(640, 240);
constexpr int pictureShown = 320;
// A picture in the HTML is at most this wide: twice what it shows, enough to print, and a
// report of many pictures still fits in a mail.
constexpr int widestEmbedded = 2 * pictureShown;
// The name the logo goes by in the PDF's pages.
const QString logoResource = QStringLiteral("logotipo");

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(job::Report)
};

std::filesystem::path localPath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

QString refusalText(platform::ReadRefusal refusal, qint64 largest) {
    switch (refusal) {
    case platform::ReadRefusal::Missing:
        return Texts::tr("no existe");
    case platform::ReadRefusal::Outside:
        return Texts::tr("fuera de la carpeta del trabajo");
    case platform::ReadRefusal::NotRegular:
        return Texts::tr("no es un archivo normal");
    case platform::ReadRefusal::TooLarge:
        return Texts::tr("más de %1 MB").arg(largest / (1024 * 1024));
    case platform::ReadRefusal::Failed:
        return Texts::tr("no se puede leer");
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
        line += Texts::tr(" y %1 más").arg(files.size() - namesListed);
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
    QSize size;
};

PictureCheck checkPicture(const QString& folder, const QString& picture, qint64 largest) {
    const platform::FileBytes bytes =
        platform::readWholeFile(localPath(folder), localPath(picture), largest);
    if (bytes.refusal == platform::ReadRefusal::Missing)
        return {.missing = true, .refusal = {}, .size = {}};
    if (bytes.refusal != platform::ReadRefusal::None)
        return {.missing = false, .refusal = refusalText(bytes.refusal, largest), .size = {}};
    QBuffer buffer;
    buffer.setData(bytes.bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    if (!reader.canRead())
        return {.missing = false, .refusal = Texts::tr("no es una imagen"), .size = {}};
    return {.missing = false, .refusal = {}, .size = reader.size()};
}

// The logo as the cover shows it, or why it is left out. It is the operator's file, wherever
// it lies, and read as hostile as any: bounded, never through a link out of its folder, and
// decoded only when it says it is a picture of bounded sides.
struct LogoRead {
    QImage image;
    QString refusal;
};

LogoRead readLogo(const QString& path, const ReportLimits& limits) {
    const QFileInfo where(path);
    const platform::FileBytes bytes = platform::readWholeFile(
        localPath(where.absolutePath()), localPath(where.fileName()), limits.largestLogo);
    if (bytes.refusal == platform::ReadRefusal::Outside)
        return {{}, Texts::tr("un enlace fuera de su carpeta")};
    if (bytes.refusal != platform::ReadRefusal::None)
        return {{}, refusalText(bytes.refusal, limits.largestLogo)};
    QBuffer buffer;
    buffer.setData(bytes.bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (!reader.canRead() || size.isEmpty())
        return {{}, Texts::tr("no es una imagen")};
    if (size.width() > limits.widestLogo || size.height() > limits.widestLogo)
        return {{}, Texts::tr("más de %1 puntos de lado").arg(limits.widestLogo)};
    QImage image = reader.read();
    if (image.isNull())
        return {{}, Texts::tr("no es una imagen")};
    // Three dots for each of the cover's, so that it prints sharp.
    return {image.size().boundedTo(logoShown * 3) == image.size()
                ? image
                : image.scaled(logoShown * 3, Qt::KeepAspectRatio, Qt::SmoothTransformation),
            {}};
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
        return Texts::tr("sin grabación");
    return Texts::tr("%1, a los %2")
        .arg(escaped(o.recording), durationText(o.intoRecording / 1000));
}

// A piece of the report that the PDF lays out on pages of its own, so that only its
// pictures are held at once however many the report shows.
struct ReportPart {
    QString html;
    // The observations whose pictures it shows.
    std::vector<std::size_t> pictures;
};
constexpr std::size_t cellsPerPart = 40;

enum class Shown { Picture, Chart, Logo };
// Where an <img> takes its picture from: the name of a resource for the PDF, the picture
// itself for the HTML; empty when it cannot be had.
using PictureSource = std::function<QString(Shown what, const QString& file)>;

// Every <img> has its size, so that a page is laid out the same with its pictures or without.
QString imageTag(const QString& source, const QString& name, QSize size) {
    return QStringLiteral("<img src=\"%1\" alt=\"%2\" width=\"%3\" height=\"%4\">")
        .arg(source, escaped(name), QString::number(size.width()), QString::number(size.height()));
}

// The picture's size at pictureShown wide; a picture that tells none is taken as 4:3.
QSize pictureSize(QSize size) {
    if (size.isEmpty())
        return {pictureShown, pictureShown * 3 / 4};
    return {pictureShown,
            int(std::clamp<qint64>(qint64(pictureShown) * size.height() / size.width(), 1,
                                   2 * pictureShown))};
}

QString observationCell(const JobRecord& job, std::size_t index, ReportPart& part,
                        const PictureSource& source) {
    const Observation& o = job.observations[index];
    QString cell;
    const QString& refusal = job.pictureRefusals[index];
    if (!o.picture.isEmpty() && refusal.isEmpty()) {
        const QString from = source(Shown::Picture, o.picture);
        if (from.isEmpty()) {
            cell += QStringLiteral("<i>%1</i><br>")
                        .arg(Texts::tr("Foto ilegible: %1").arg(escaped(o.picture)));
        } else {
            cell += imageTag(from, o.picture, pictureSize(job.pictureSizes[index])) +
                    QStringLiteral("<br>");
            part.pictures.push_back(index);
        }
    } else if (!refusal.isEmpty()) {
        cell +=
            QStringLiteral("<i>%1</i><br>")
                .arg(Texts::tr("Foto rechazada: %1").arg(escaped(refusedFile(o.picture, refusal))));
    }
    if (o.tag != Tag::None)
        cell += QStringLiteral("<b>%1</b><br>")
                    .arg(o.tag == Tag::Before ? Texts::tr("ANTES") : Texts::tr("DESPUÉS"));
    cell += QStringLiteral("<b>%1</b><br>")
                .arg(escaped(o.note.isEmpty() ? Texts::tr("(sin nota)") : o.note));
    if (!o.location.isEmpty())
        cell += QStringLiteral("%1<br>").arg(Texts::tr("Ubicación: %1").arg(escaped(o.location)));
    if (o.finding != Finding::None)
        cell += QStringLiteral("%1<br>").arg(
            Texts::tr("Hallazgo: %1 &middot; Gravedad: %2")
                .arg(escaped(findingLabel(o.finding)), QString::number(o.severity)));
    cell += QStringLiteral("%1 &middot; %2<br>")
                .arg(escaped(o.when.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"))), intoText(o));
    cell += QStringLiteral("<small>%1</small>").arg(escaped(readingText(o.reading)));
    return cell;
}

// The job's end as the cover tells it: its time, with its date when it is not the start's.
QString endText(const JobRecord& job) {
    return job.end.toString(job.end.date() == job.start.date()
                                ? QStringLiteral("HH:mm:ss")
                                : QStringLiteral("dd/MM/yyyy HH:mm:ss"));
}

QString headerSection(const JobRecord& job, const PictureSource& source) {
    QString html;
    if (!job.logo.isNull())
        html += QStringLiteral("<p>%1</p>")
                    .arg(imageTag(source(Shown::Logo, {}), {},
                                  job.logo.size().scaled(logoShown, Qt::KeepAspectRatio)));
    html += QStringLiteral("<h1>%1</h1><table cellpadding=\"3\">")
                .arg(Texts::tr("Informe de inspección"));
    const auto row = [&html](const QString& label, const QString& value) {
        html += QStringLiteral("<tr><td><b>%1</b></td><td>%2</td></tr>").arg(label, escaped(value));
    };
    row(Texts::tr("Trabajo"), job.name);
    const auto given = [&row](const QString& label, const QString& value) {
        if (!value.isEmpty())
            row(label, value);
    };
    given(Texts::tr("Cliente"), job.details.client);
    given(Texts::tr("Dirección"), job.details.address);
    given(Texts::tr("Operador"), job.details.operatorName);
    given(Texts::tr("Robot"), job.details.robotModel);
    given(Texts::tr("Número de serie"), job.details.robotSerial);
    row(Texts::tr("Fecha"), job.start.toString(QStringLiteral("dd/MM/yyyy")));
    row(Texts::tr("Inicio"), job.start.toString(QStringLiteral("HH:mm:ss")));
    row(Texts::tr("Fin"), endText(job));
    row(Texts::tr("Duración"), durationText(job.start.secsTo(job.end)));
    row(Texts::tr("Grabaciones"), QString::number(job.recordings.size()));
    row(Texts::tr("Observaciones"),
        QString::number(job.observations.size() + job.observationsNotShown));
    return html + QStringLiteral("</table>");
}

constexpr std::size_t findingKinds = std::size(findings) + 1;
using FindingCounts = std::array<int, findingKinds>;

// "Polvo 2, Grasa 1", in the order the findings are offered.
QString countsText(const FindingCounts& counts) {
    QStringList listed;
    for (const Finding finding : findings)
        if (counts[std::size_t(finding)] > 0)
            listed << findingLabel(finding) + QLatin1Char(' ') +
                          QString::number(counts[std::size_t(finding)]);
    return listed.isEmpty() ? QStringLiteral("-") : listed.join(QStringLiteral(", "));
}

// One place of the job: its observations, their findings and its before/after pairs.
struct Place {
    QString name;
    int observations = 0;
    FindingCounts findings{};
    int pairs = 0;
};

// The places in the order they were first observed; a location is the same one whatever its
// spaces and case, as the pairs take it, and is shown as first written.
std::vector<Place> placesOf(const JobRecord& job, const std::vector<Pair>& pairs) {
    std::vector<Place> places;
    QHash<QString, std::size_t> byKey;
    std::vector<std::size_t> placeOf(job.observations.size());
    for (std::size_t i = 0; i < job.observations.size(); ++i) {
        const Observation& o = job.observations[i];
        const QString key = o.location.simplified().toCaseFolded();
        const auto found = byKey.constFind(key);
        if (found == byKey.cend()) {
            placeOf[i] = places.size();
            byKey.insert(key, places.size());
            places.push_back({o.location.simplified(), 0, {}, 0});
        } else {
            placeOf[i] = *found;
        }
        Place& place = places[placeOf[i]];
        ++place.observations;
        ++place.findings[std::size_t(o.finding)];
    }
    for (const Pair& pair : pairs)
        ++places[placeOf[pair.before]].pairs;
    return places;
}

// The cover's summary: findings by kind, then by location with the before/after pairs of each.
// A job without findings or locations shows neither table.
QString summarySection(const JobRecord& job) {
    const std::vector<Pair> pairs = beforeAfterPairs(job.observations);
    const std::vector<Place> places = placesOf(job, pairs);
    FindingCounts total{};
    for (const Place& place : places)
        for (std::size_t kind = 0; kind < findingKinds; ++kind)
            total[kind] += place.findings[kind];
    QString html = QStringLiteral("<h2>%1</h2>").arg(Texts::tr("Resumen"));
    const QString table =
        QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\">");
    if (std::any_of(std::begin(findings), std::end(findings),
                    [&total](Finding f) { return total[std::size_t(f)] > 0; })) {
        html += table + QStringLiteral("<tr><th>%1</th><th>%2</th></tr>")
                            .arg(Texts::tr("Hallazgo"), Texts::tr("Observaciones"));
        for (const Finding finding : findings)
            if (total[std::size_t(finding)] > 0)
                html += QStringLiteral("<tr><td>%1</td><td>%2</td></tr>")
                            .arg(escaped(findingLabel(finding)),
                                 QString::number(total[std::size_t(finding)]));
        html += QStringLiteral("</table><br>");
    }
    if (std::any_of(places.begin(), places.end(),
                    [](const Place& p) { return !p.name.isEmpty(); })) {
        html += table + QStringLiteral("<tr><th>%1</th><th>%2</th><th>%3</th><th>%4</th></tr>")
                            .arg(Texts::tr("Ubicación"), Texts::tr("Observaciones"),
                                 Texts::tr("Hallazgos"), Texts::tr("Pares antes y después"));
        for (const Place& place : places)
            html +=
                QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td><td>%4</td></tr>")
                    .arg(escaped(place.name.isEmpty() ? Texts::tr("(sin ubicación)") : place.name),
                         QString::number(place.observations), escaped(countsText(place.findings)),
                         QString::number(place.pairs));
        html += QStringLiteral("</table>");
    }
    return html + QStringLiteral("<p>%1</p>")
                      .arg(Texts::tr("Pares antes y después: %1").arg(pairs.size()));
}

QString leftOutSection(const JobRecord& job) {
    if (job.leftOut.isEmpty())
        return {};
    QString html = QStringLiteral("<h2>%1</h2><ul>").arg(Texts::tr("Omitido en este informe"));
    for (const QString& line : job.leftOut)
        html += QStringLiteral("<li>%1</li>").arg(escaped(line));
    return html + QStringLiteral("</ul>");
}

QString recordingsSection(const JobRecord& job) {
    QString html = QStringLiteral("<h2>%1</h2>").arg(Texts::tr("Grabaciones"));
    if (job.recordings.empty())
        return html + QStringLiteral("<p>%1</p>").arg(Texts::tr("Ninguna grabación."));
    html += QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\">"
                           "<tr><th>%1</th><th>%2</th><th>%3</th><th>%4</th></tr>")
                .arg(Texts::tr("Archivo"), Texts::tr("Inicio"), Texts::tr("Duración"),
                     Texts::tr("Imágenes"));
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
void observationParts(const JobRecord& job, const PictureSource& source,
                      std::vector<ReportPart>& parts) {
    parts.push_back({QStringLiteral("<h2>%1</h2>").arg(Texts::tr("Observaciones")), {}});
    if (job.observations.empty()) {
        parts.back().html += QStringLiteral("<p>%1</p>").arg(Texts::tr("Ninguna observación."));
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
        parts.back().html +=
            QStringLiteral("<p>%1</p>").arg(observationCell(job, i, parts.back(), source));
    }
    const QString table = QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\">"
                                         "<tr><th>%1</th><th>%2</th></tr>")
                              .arg(Texts::tr("Antes"), Texts::tr("Después"));
    for (std::size_t p = 0; p < pairs.size(); ++p) {
        if (p % (cellsPerPart / 2) == 0) {
            if (p > 0)
                parts.back().html += QStringLiteral("</table>");
            parts.emplace_back();
            if (p == 0)
                parts.back().html +=
                    QStringLiteral("<h3>%1</h3>").arg(Texts::tr("Antes y después de la limpieza"));
            parts.back().html += table;
        }
        ReportPart& part = parts.back();
        const QString before = observationCell(job, pairs[p].before, part, source);
        const QString after = observationCell(job, pairs[p].after, part, source);
        part.html += QStringLiteral("<tr><td valign=\"top\">%1</td><td valign=\"top\">%2</td></tr>")
                         .arg(before, after);
    }
    if (!pairs.empty())
        parts.back().html += QStringLiteral("</table>");
}

// The cover on pages of its own, then the recordings and the chart, then the observations.
std::vector<ReportPart> reportParts(const JobRecord& job, const PictureSource& source) {
    std::vector<ReportPart> parts(2);
    parts[0].html = headerSection(job, source) + summarySection(job) + leftOutSection(job);
    parts[1].html =
        recordingsSection(job) +
        QStringLiteral("<h2>%1</h2><p>%2</p>")
            .arg(Texts::tr("Temperatura y humedad"),
                 imageTag(source(Shown::Chart, reportChartFile), reportChartFile, chartShown));
    observationParts(job, source, parts);
    if (job.skippedRows > 0)
        parts.back().html +=
            QStringLiteral("<p><small>%1</small></p>")
                .arg(Texts::tr("Filas ilegibles omitidas: %1").arg(job.skippedRows));
    return parts;
}

// A picture of the job folder, read within the report's bounds; null when it cannot be.
QImage readPicture(const JobRecord& job, const QString& file) {
    const platform::FileBytes bytes =
        platform::readWholeFile(localPath(job.folder), localPath(file), job.limits.largestPicture);
    return QImage::fromData(bytes.bytes);
}

QString dataUri(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (image.isNull() || !buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, format, 90))
        return {};
    return QStringLiteral("data:image/%1;base64,").arg(QString::fromLatin1(format).toLower()) +
           QString::fromLatin1(bytes.toBase64());
}

// Every picture drawn anew into the HTML, so that the file holds nothing but pictures of
// bounded size however the ones in the folder are made; those that cannot be read are named.
PictureSource embedding(const JobRecord& job, const QImage& chart, QStringList& unreadable) {
    return [&job, &chart, &unreadable](Shown what, const QString& file) -> QString {
        switch (what) {
        case Shown::Chart:
            return dataUri(chart, "PNG");
        case Shown::Logo:
            return dataUri(job.logo, "PNG");
        case Shown::Picture:
            break;
        }
        QImage picture = readPicture(job, file);
        if (picture.width() > widestEmbedded)
            picture = picture.scaledToWidth(widestEmbedded, Qt::SmoothTransformation);
        QString uri = dataUri(picture.convertToFormat(QImage::Format_RGB888), "JPEG");
        if (uri.isEmpty())
            unreadable << file;
        return uri;
    };
}

QString htmlOf(const JobRecord& job, const QImage& chart, QStringList& unreadable) {
    QString html = QStringLiteral("<!DOCTYPE html><html lang=\"es\"><head><meta charset=\"utf-8\">"
                                  "<title>Informe: %1</title></head><body>")
                       .arg(escaped(job.name));
    for (const ReportPart& part : reportParts(job, embedding(job, chart, unreadable)))
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

JobRecord readJobFolder(const QString& path, const ReportLimits& limits,
                        const ReportOptions& options) {
    JobRecord job;
    job.folder = path;
    job.limits = limits;
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
        job.leftOut << Texts::tr("Observaciones ilegibles: ") +
                           refusedFile(observationsFile,
                                       refusalText(observations.refusal, limits.largestTable));
    }
    job.observations = std::move(list.observations);
    job.skippedRows += list.skippedRows;
    job.observationsNotShown = list.notKept;
    if (list.notKept > 0)
        job.leftOut << Texts::tr("Observaciones no incluidas: %1 (el informe muestra las "
                                 "primeras %2)")
                           .arg(list.notKept)
                           .arg(limits.mostShown);
    // The report shows only pictures that are there, as regular files of the folder.
    QStringList refusedPictures;
    job.pictureRefusals.resize(job.observations.size());
    job.pictureSizes.resize(job.observations.size());
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
        } else {
            job.pictureSizes[i] = check.size;
        }
    }
    if (!options.logo.isEmpty()) {
        LogoRead logo = readLogo(options.logo, limits);
        job.logo = std::move(logo.image);
        if (!logo.refusal.isEmpty())
            job.leftOut
                << Texts::tr("Logotipo rechazado: %1").arg(refusedFile(options.logo, logo.refusal));
    }
    if (!refusedPictures.isEmpty())
        job.leftOut << listed(Texts::tr("Fotos rechazadas"), refusedPictures);
    if (!unreadableRecordings.isEmpty())
        job.leftOut << listed(Texts::tr("Grabaciones ilegibles"), unreadableRecordings);
    if (!unreadableTables.isEmpty())
        job.leftOut << listed(Texts::tr("Tablas ilegibles"), unreadableTables);
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
                     Texts::tr("Temperatura (ºC)"));
    painter.setPen(Qt::blue);
    painter.drawText(QRectF(area.right() - 400, 10, 400, 30), Qt::AlignRight,
                     Texts::tr("Humedad (%)"));
    return chart;
}

QString reportHtml(const JobRecord& job) {
    QStringList unreadable;
    return htmlOf(job, drawChart(job), unreadable);
}

QString ReportOutcome::message() const {
    if (!written)
        return Texts::tr("Informe no escrito: ") + failure;
    QStringList lines{Texts::tr("Informe escrito: ") + QDir(folder).filePath(reportPdfFile)};
    return (lines + leftOut).join(QStringLiteral("; "));
}

int ReportOutcome::exitStatus() const {
    if (!written)
        return 1;
    return leftOut.isEmpty() ? 0 : 2;
}

namespace {

// The band above each page's body holds the job and its date, the band below the page's
// number; the body is what the report's parts are laid out to.
struct PageFrame {
    double scale;
    QRectF header;
    QRectF footer;
    // The body in the parts' pixels, at the screen's 96 dots an inch.
    QSizeF body;
};

PageFrame pageFrame(const QPdfWriter& pdf) {
    const double dotsPerMm = pdf.resolution() / 25.4;
    const double header = 10 * dotsPerMm;
    const double footer = 8 * dotsPerMm;
    const double scale = pdf.resolution() / 96.0;
    return {scale, QRectF(0, 0, pdf.width(), header),
            QRectF(0, pdf.height() - footer, pdf.width(), footer),
            QSizeF(pdf.width() / scale, (pdf.height() - header - footer) / scale)};
}

void paintFrame(QPainter& painter, const PageFrame& frame, const JobRecord& job, int page,
                int pages) {
    painter.save();
    QFont font = painter.font();
    font.setPointSizeF(8);
    painter.setFont(font);
    painter.setPen(Qt::darkGray);
    const QRectF text = frame.header.adjusted(0, 0, 0, -frame.header.height() / 3);
    const QString date = job.start.toString(QStringLiteral("dd/MM/yyyy"));
    const QFontMetricsF metrics(font, painter.device());
    const double dateWidth = metrics.horizontalAdvance(date) + metrics.averageCharWidth() * 2;
    painter.drawText(text.adjusted(0, 0, -dateWidth, 0), Qt::AlignLeft | Qt::AlignBottom,
                     metrics.elidedText(job.name, Qt::ElideRight, text.width() - dateWidth));
    painter.drawText(text, Qt::AlignRight | Qt::AlignBottom, date);
    painter.drawLine(QPointF(text.left(), text.bottom() + 2),
                     QPointF(text.right(), text.bottom() + 2));
    painter.drawText(frame.footer, Qt::AlignHCenter | Qt::AlignBottom,
                     Texts::tr("Página %1 de %2").arg(page).arg(pages));
    painter.restore();
}

// The pages each part takes. Laid out without its pictures, whose sizes the HTML gives, so
// that counting holds none of them.
std::vector<int> pageCounts(const std::vector<ReportPart>& parts, QSizeF body) {
    std::vector<int> counts;
    for (const ReportPart& part : parts) {
        ReportDocument document;
        document.setPageSize(body);
        document.setHtml(part.html);
        counts.push_back(document.pageCount());
    }
    return counts;
}

// Lays each part out on pages of its own, with only that part's pictures loaded, and paints
// page by page: the frame, then the body's slice of the part moved into place and clipped.
bool printParts(QPdfWriter& pdf, const JobRecord& job, const std::vector<ReportPart>& parts,
                const QImage& chart, QStringList& unreadable) {
    const PageFrame frame = pageFrame(pdf);
    const std::vector<int> counts = pageCounts(parts, frame.body);
    const int pages = std::accumulate(counts.begin(), counts.end(), 0);
    QPainter painter(&pdf);
    if (!painter.isActive())
        return false;
    int pageNumber = 0;
    for (const ReportPart& part : parts) {
        ReportDocument document;
        document.setPageSize(frame.body);
        document.addResource(QTextDocument::ImageResource, QUrl(reportChartFile), chart);
        document.addResource(QTextDocument::ImageResource, QUrl(logoResource), job.logo);
        for (const std::size_t index : part.pictures) {
            const QString& file = job.observations[index].picture;
            const QImage picture = readPicture(job, file);
            if (picture.isNull())
                unreadable << file;
            else
                document.addResource(QTextDocument::ImageResource, QUrl(file), picture);
        }
        document.setHtml(part.html);
        // Laid out as counted, the sizes being the same; were it not, every page is still
        // printed.
        for (int p = 0; p < document.pageCount(); ++p) {
            if (pageNumber++ > 0 && !pdf.newPage())
                return false;
            paintFrame(painter, frame, job, pageNumber, pages);
            const QRectF slice(QPointF(0, p * frame.body.height()), frame.body);
            painter.save();
            painter.translate(0, frame.header.bottom());
            painter.scale(frame.scale, frame.scale);
            painter.translate(0, -slice.top());
            document.drawContents(&painter, slice);
            painter.restore();
        }
    }
    return painter.end();
}

} // namespace

ReportOutcome writeReportFiles(const QString& path, const ReportLimits& limits,
                               const platform::Disk& disk, const ReportOptions& options) {
    ReportOutcome outcome;
    outcome.folder = path;
    const QDir folder(path);
    if (!folder.exists()) {
        outcome.failure = Texts::tr("%1 no existe").arg(path);
        return outcome;
    }
    const JobRecord job = readJobFolder(path, limits, options);
    const QImage chart = drawChart(job);
    QStringList unreadablePictures;
    const QString html = htmlOf(job, chart, unreadablePictures);

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

    QByteArray pdfBytes;
    {
        QBuffer pdfBuffer(&pdfBytes);
        pdfBuffer.open(QIODevice::WriteOnly);
        QPdfWriter pdf(&pdfBuffer);
        // PDF/A-1b, so that it archives: fonts embedded, no transparency, its metadata in XMP.
        pdf.setPdfVersion(QPagedPaintDevice::PdfVersion_A1b);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageMargins(QMarginsF(15, 10, 15, 10), QPageLayout::Millimeter);
        pdf.setResolution(150);
        pdf.setTitle(Texts::tr("Informe: %1").arg(job.name));
        pdf.setCreator(QStringLiteral("marlo-consola"));
        const PictureSource resources = [](Shown what, const QString& file) {
            return what == Shown::Logo ? logoResource : file;
        };
        if (!printParts(pdf, job, reportParts(job, resources), chart, unreadablePictures)) {
            outcome.failure = folder.filePath(reportPdfFile);
            return outcome;
        }
    }
    if (failed(reportPdfFile, pdfBytes))
        return outcome;
    outcome.written = true;
    outcome.leftOut = job.leftOut;
    unreadablePictures.removeDuplicates();
    if (!unreadablePictures.isEmpty())
        outcome.leftOut << listed(Texts::tr("Fotos ilegibles"), unreadablePictures);
    return outcome;
}

} // namespace job
