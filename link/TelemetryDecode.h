#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace robot {

inline constexpr std::size_t telemetryReplySize = 9;
inline constexpr std::uint8_t telemetryLetter = 'T';

// What a reply yields. The humidity field is read first: a bad humidity field yields
// nothing, a bad temperature field yields the humidity alone.
struct TelemetryReading {
    std::optional<int> humidityPercent;
    std::optional<int> temperatureDegrees;

    bool operator==(const TelemetryReading&) const = default;
};

// Decodes "T", four characters of temperature reading, four of humidity reading. A reply
// of another length or letter yields nothing. A zero byte ends a field early.
TelemetryReading decodeTelemetry(std::span<const std::uint8_t> reply);

} // namespace robot
