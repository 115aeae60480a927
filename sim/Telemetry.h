#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace sim {

// The two sensor readings the robot reports, as the four-digit raw numbers it sends.
struct Telemetry {
    static constexpr int maxRaw = 9999;

    int temperatureRaw = 150;
    int humidityRaw = 512;

    bool operator==(const Telemetry&) const = default;
};

using TelemetryReply = std::array<std::uint8_t, 9>;

// "T", four digits of temperature, four digits of humidity; readings outside 0..9999 are
// clamped so the reply always keeps its nine bytes.
TelemetryReply telemetryReply(const Telemetry& telemetry);

// What the console shows for a raw reading (integer per cent, whole degrees).
int consoleHumidityPercent(int humidityRaw);
int consoleTemperatureDegrees(int temperatureRaw);

// The raw reading nearest to the given value among those that the console shows as that
// value truncated, or nothing when no four-digit reading gets there.
std::optional<int> humidityRawFor(double percent);
std::optional<int> temperatureRawFor(double degrees);

} // namespace sim
