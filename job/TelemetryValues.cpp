#include "job/TelemetryValues.h"

#include "link/Telemetry.h"

#include <QRegularExpression>

namespace job {

QString numberOf(const QString& text) {
    static const QRegularExpression number(
        QStringLiteral("^\\s*(-?\\d{1,4}(?:[.,]\\d{1,2})?)(?![\\d.,])"));
    const QRegularExpressionMatch match = number.match(text);
    if (!match.hasMatch())
        return noValue;
    QString digits = match.captured(1);
    digits.replace(QLatin1Char(','), QLatin1Char('.'));
    return digits;
}

TelemetryValues telemetryValues(const robot::Telemetry& telemetry) {
    return {numberOf(telemetry.temperatureText()), numberOf(telemetry.humidityText())};
}

} // namespace job
