#pragma once

#include "job/Reading.h"

#include <QString>

#include <chrono>
#include <optional>

namespace robot {
class Telemetry;
}

namespace job {

// A reply older than this no longer backs the values beside a recording.
inline constexpr std::chrono::seconds telemetryLifetime{5};

// The leading number of a telemetry text ("22º" gives "22", "45%" gives "45"), or noValue.
QString numberOf(const QString& text);

struct TelemetryValues {
    QString temperature = noValue;
    QString humidity = noValue;
};

// The temperature and humidity the tracks and observations record: the link's texts while
// its last good reply (received at lastGoodReply) is younger than telemetryLifetime, noValue
// otherwise.
TelemetryValues telemetryValues(const robot::Telemetry& telemetry,
                                std::optional<std::chrono::steady_clock::time_point> lastGoodReply,
                                std::chrono::steady_clock::time_point now);

} // namespace job
