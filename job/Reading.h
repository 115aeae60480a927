#pragma once

#include <QString>
#include <QTime>

#include <cmath>
#include <optional>

namespace job {

// "--" where no good telemetry reply backs a value.
inline const QString noValue = QStringLiteral("--");

// Temperatures and humidities beyond this are not recorded: the tables hold four digits.
inline constexpr double largestRecorded = 9999;

// The value, when it is one the tables hold.
inline std::optional<double> recordedValue(double value) {
    if (!std::isfinite(value) || std::abs(value) > largestRecorded)
        return std::nullopt;
    return value;
}

// What the robot reported and what the console sent at one moment of a job.
struct Reading {
    QTime time;
    // Degrees and per cent; nothing where no good telemetry reply backs a value.
    std::optional<double> temperature;
    std::optional<double> humidity;
    // "parado", "avance", "retroceso".
    QString drive = QStringLiteral("parado");
    // 0..100 each.
    int speedPercent = 0;
    int lightsPercent = 0;
    bool cleaningMotor = false;
};

// A temperature or humidity as the tables and the report write it: its digits, or noValue.
QString valueText(std::optional<double> value);
// A value written by valueText; nothing for noValue or what is no recorded value.
std::optional<double> valueFromText(const QString& text);

// "14:03:05  22 ºC  45 %  avance 40 %  luces 40 %  limpieza sí"
QString readingText(const Reading& reading);

} // namespace job
