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

} // namespace

TelemetryReply telemetryReply(const Telemetry& telemetry) {
    TelemetryReply reply{};
    reply[0] = 'T';
    writeDigits(reply, 1, telemetry.temperatureRaw);
    writeDigits(reply, 5, telemetry.humidityRaw);
    return reply;
}

namespace {

// A display band is at most two degrees wide (about five raw steps), so the raw readings
// shown as `shown` all lie within a few steps of the exact one.
std::optional<int> nearestRaw(double exact, int shown, int (*show)(int)) {
    constexpr int reach = 6;
    if (exact > Telemetry::maxRaw + reach)
        return std::nullopt;
    std::optional<int> best;
    const int centre = static_cast<int>(std::lround(exact));
    for (int raw = std::max(0, centre - reach); raw <= std::min(Telemetry::maxRaw, centre + reach);
         ++raw) {
        if (show(raw) != shown)
            continue;
        if (!best || std::fabs(raw - exact) < std::fabs(*best - exact))
            best = raw;
    }
    return best;
}

} // namespace

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
    return nearestRaw(percent * 1024 / 100, static_cast<int>(std::trunc(percent)),
                      &consoleHumidityPercent);
}

std::optional<int> temperatureRawFor(double degrees) {
    if (!std::isfinite(degrees) || degrees < -40)
        return std::nullopt;
    return nearestRaw((degrees + 40) * 1210 / 500, static_cast<int>(std::trunc(degrees)),
                      &consoleTemperatureDegrees);
}

} // namespace sim
