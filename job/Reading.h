#pragma once

#include <QString>
#include <QTime>

namespace job {

// "--" where no good telemetry reply backs a value.
inline const QString noValue = QStringLiteral("--");

// What the robot reported and what the console sent at one moment of a job.
struct Reading {
    QTime time;
    // Degrees and per cent as digits, or noValue.
    QString temperature = noValue;
    QString humidity = noValue;
    // "parado", "avance", "retroceso".
    QString drive = QStringLiteral("parado");
    // 0..100 each.
    int speedPercent = 0;
    int lightsPercent = 0;
    bool cleaningMotor = false;
};

// "14:03:05  22 ºC  45 %  avance 40 %  luces 40 %  limpieza sí"
QString readingText(const Reading& reading);

} // namespace job
