#include "link/TelemetryDecode.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>

namespace robot {
namespace {

constexpr std::size_t temperatureOffset = 1;
constexpr std::size_t humidityOffset = 5;
constexpr std::size_t fieldLength = 4;

// The field's text, ended by the first zero byte as in a zero-terminated string.
std::string_view field(std::span<const std::uint8_t> reply, std::size_t offset) {
    const auto* begin = reinterpret_cast<const char*>(reply.data() + offset);
    std::size_t length = 0;
    while (length < fieldLength && begin[length] != '\0')
        ++length;
    return {begin, length};
}

// from_chars takes a minus sign but no plus sign.
std::string_view withoutPlus(std::string_view text) {
    if (text.size() > 1 && text[0] == '+' && text[1] != '-' && text[1] != '+')
        text.remove_prefix(1);
    return text;
}

// A whole number with an optional sign.
std::optional<int> integer(std::string_view text) {
    const auto body = withoutPlus(text);
    int value = 0;
    const auto [end, error] = std::from_chars(body.data(), body.data() + body.size(), value);
    if (error != std::errc() || end != body.data() + body.size())
        return std::nullopt;
    return value;
}

// Sign, digits, optional fraction and exponent; no spaces, infinities or not-a-numbers.
std::optional<double> number(std::string_view text) {
    const auto body = withoutPlus(text);
    if (body.empty() || body.find_first_not_of("0123456789.eE+-") != std::string_view::npos)
        return std::nullopt;
    double value = 0;
    const auto [end, error] =
        std::from_chars(body.data(), body.data() + body.size(), value, std::chars_format::general);
    if (error != std::errc() || end != body.data() + body.size())
        return std::nullopt;
    return value;
}

int humidityPercent(int reading) {
    return reading * 100 / 1024;
}

// A result that no int can hold is an error, like a failed truncation.
std::optional<int> temperatureDegrees(double reading) {
    double degrees = reading * 5 * (1.0 / 1210);
    degrees = degrees * 100 - 40;
    const double whole = std::trunc(degrees);
    if (!(whole >= std::numeric_limits<int>::min() && whole <= std::numeric_limits<int>::max()))
        return std::nullopt;
    return static_cast<int>(whole);
}

} // namespace

TelemetryReading decodeTelemetry(std::span<const std::uint8_t> reply) {
    TelemetryReading reading;
    if (reply.size() != telemetryReplySize || reply.front() != telemetryLetter)
        return reading;
    const auto humidity = integer(field(reply, humidityOffset));
    if (!humidity)
        return reading;
    reading.humidityPercent = humidityPercent(*humidity);
    if (const auto temperature = number(field(reply, temperatureOffset)))
        reading.temperatureDegrees = temperatureDegrees(*temperature);
    return reading;
}

} // namespace robot
