#include "job/TelemetryValues.h"

#include "job/Reading.h"
#include "link/Telemetry.h"

namespace job {
namespace {

std::optional<double> recorded(const std::optional<robot::Reading>& reading) {
    return reading ? recordedValue(reading->value) : std::nullopt;
}

} // namespace

TelemetryValues telemetryValues(const robot::Telemetry& telemetry) {
    return {recorded(telemetry.temperature()), recorded(telemetry.humidity())};
}

} // namespace job
