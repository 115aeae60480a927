#include "job/TrackFormat.h"

#include <algorithm>

namespace job {
namespace {

constexpr QChar degreeSign(0x00BA);
constexpr int rowFields = 8;
constexpr int longestSecond = 10'000'000;

QString twoDigits(qint64 value) {
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

std::optional<int> percentField(const QString& text) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < 0 || value > 100)
        return std::nullopt;
    return value;
}

} // namespace

QString yesNo(bool value) {
    return value ? QStringLiteral("sí") : QStringLiteral("no");
}

QString valueText(std::optional<double> value) {
    return value ? QString::number(*value) : noValue;
}

std::optional<double> valueFromText(const QString& text) {
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok ? recordedValue(value) : std::nullopt;
}

QString readingText(const Reading& reading) {
    return reading.time.toString(QStringLiteral("HH:mm:ss")) + QStringLiteral("  ") +
           valueText(reading.temperature) + ' ' + degreeSign + 'C' + QStringLiteral("  ") +
           valueText(reading.humidity) + QStringLiteral(" %  ") + reading.drive + ' ' +
           QString::number(reading.speedPercent) + QStringLiteral(" %  luces ") +
           QString::number(reading.lightsPercent) + QStringLiteral(" %  limpieza ") +
           yesNo(reading.cleaningMotor);
}

QString srtTimestamp(qint64 milliseconds) {
    const qint64 ms = std::max<qint64>(0, milliseconds);
    return twoDigits(ms / 3'600'000) + ':' + twoDigits(ms / 60'000 % 60) + ':' +
           twoDigits(ms / 1000 % 60) + ',' +
           QStringLiteral("%1").arg(ms % 1000, 3, 10, QLatin1Char('0'));
}

QString srtCue(int index, const Reading& reading, const QStringList& notes) {
    const qint64 start = static_cast<qint64>(std::max(index, 1) - 1) * 1000;
    QString cue = QString::number(index) + '\n' + srtTimestamp(start) + QStringLiteral(" --> ") +
                  srtTimestamp(start + 1000) + '\n' + readingText(reading) + '\n';
    for (const QString& note : notes)
        cue += QStringLiteral("Observación: ") + oneLine(note) + '\n';
    return cue + '\n';
}

QString trackCsvHeader() {
    return csvLine({QStringLiteral("hora"), QStringLiteral("segundo"),
                    QStringLiteral("temperatura_c"), QStringLiteral("humedad_pct"),
                    QStringLiteral("marcha"), QStringLiteral("velocidad_pct"),
                    QStringLiteral("luces_pct"), QStringLiteral("motor_limpieza")});
}

QString trackCsvRow(int second, const Reading& reading) {
    return csvLine({reading.time.toString(QStringLiteral("HH:mm:ss")), QString::number(second),
                    valueText(reading.temperature), valueText(reading.humidity), reading.drive,
                    QString::number(reading.speedPercent), QString::number(reading.lightsPercent),
                    yesNo(reading.cleaningMotor)});
}

std::optional<TrackRow> parseTrackCsvRow(const QString& line) {
    const std::optional<QStringList> fields = parseCsvLine(line);
    if (!fields || fields->size() != rowFields)
        return std::nullopt;
    const QStringList& f = *fields;
    TrackRow row;
    row.reading.time = QTime::fromString(f[0], QStringLiteral("HH:mm:ss"));
    bool secondOk = false;
    row.second = f[1].toInt(&secondOk);
    const std::optional<int> speed = percentField(f[5]);
    const std::optional<int> lights = percentField(f[6]);
    if (!row.reading.time.isValid() || !secondOk || row.second < 0 || row.second > longestSecond ||
        !speed || !lights)
        return std::nullopt;
    row.reading.temperature = valueFromText(f[2]);
    row.reading.humidity = valueFromText(f[3]);
    row.reading.drive = f[4];
    row.reading.speedPercent = *speed;
    row.reading.lightsPercent = *lights;
    row.reading.cleaningMotor = f[7] == yesNo(true);
    return row;
}

QString oneLine(const QString& text) {
    QString line = text;
    line.replace(QLatin1String("\r\n"), QLatin1String(" "));
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    line.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return line.trimmed();
}

} // namespace job
