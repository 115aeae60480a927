#include "sim/Telemetry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace sim {

namespace {

void writeDigits(TelemetryReply& reply, std::size_t offset, int value) {
    int rest = std::clamp(value, 0, Telemetry::maxRaw);
    for (std::size_t i = 4; i-- > 0;) {
        reply[offset + i] = static_cast<std::uint8_t>('0' + rest % 10);
        rest /= 10;
    }
}

// Guards the rounding of ceil() when the exact value is a whole number.
constexpr double slack = 1e-9;

} // namespace

TelemetryReply telemetryReply(const Telemetry& telemetry) {
    TelemetryReply reply{};
    reply[0] = 'T';
    writeDigits(reply, 1, telemetry.temperatureRaw);
    writeDigits(reply, 5, telemetry.humidityRaw);
    return reply;
}

int consoleHumidityPercent(int humidityRaw) {
    return humidityRaw * 100 / 1024;
}

int consoleTemperatureDegrees(int temperatureRaw) {
    const double volts = static_cast<double>(temperatureRaw) * 5 * (1.0 / 1210);
    return static_cast<int>(std::trunc(volts * 100 - 40));
}

std::optional<int> humidityRawFor(double percent) {
    if (!std::isfinite(percent) || percent < 0)
        return std::nullopt;
    const double raw = std::ceil(percent * 1024 / 100 - slack);
    if (raw > Telemetry::maxRaw)
        return std::nullopt;
    return static_cast<int>(raw);
}

std::optional<int> temperatureRawFor(double degrees) {
    if (!std::isfinite(degrees) || degrees < -40)
        return std::nullopt;
    double raw = std::ceil((degrees + 40) * 1210 / 500 - slack);
    // The console computes in a different order; step up if its rounding lands below.
    const int wanted = static_cast<int>(std::trunc(degrees));
    while (raw <= Telemetry::maxRaw && consoleTemperatureDegrees(static_cast<int>(raw)) < wanted)
        raw += 1;
    if (raw > Telemetry::maxRaw)
        return std::nullopt;
    return static_cast<int>(raw);
}

} // namespace sim
