#pragma once

#include <optional>

namespace robot {
class Telemetry;
}

namespace job {

struct TelemetryValues {
    std::optional<double> temperature;
    std::optional<double> humidity;
};

// The temperature and humidity the tracks and observations record: the link's values, which
// it holds only while recently measured, and only those the tables hold.
TelemetryValues telemetryValues(const robot::Telemetry& telemetry);

} // namespace job
