#pragma once

#include "job/Reading.h"

#include <QString>

namespace robot {
class Telemetry;
}

namespace job {

// The leading number of a telemetry text ("22º" gives "22", "45%" gives "45"), or noValue.
QString numberOf(const QString& text);

struct TelemetryValues {
    QString temperature = noValue;
    QString humidity = noValue;
};

// The temperature and humidity the tracks and observations record: the numbers of the link's
// texts, which hold only recently measured values, noValue otherwise.
TelemetryValues telemetryValues(const robot::Telemetry& telemetry);

} // namespace job
