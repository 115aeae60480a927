#include "sim/Fault.h"

#include <charconv>

namespace sim {

namespace {

constexpr std::string_view latePrefix = "late:";
constexpr std::string_view badTelemetry = "bad-telemetry";

std::optional<TelemetryDefect> parseDefect(std::string_view text) {
    if (text == "letter")
        return TelemetryDefect::WrongLetter;
    if (text == "humidity")
        return TelemetryDefect::HumidityNotDigits;
    if (text == "temperature")
        return TelemetryDefect::TemperatureNotDigits;
    return std::nullopt;
}

std::string_view defectName(TelemetryDefect defect) {
    switch (defect) {
    case TelemetryDefect::WrongLetter:
        return "letter";
    case TelemetryDefect::HumidityNotDigits:
        return "humidity";
    case TelemetryDefect::TemperatureNotDigits:
        return "temperature";
    }
    return "letter";
}

} // namespace

std::optional<Fault> parseFault(std::string_view text) {
    if (text == "none")
        return Fault::none();
    if (text == "silent")
        return Fault::silent();
    if (text == "garbage")
        return Fault::garbage();
    if (text == "short-telemetry")
        return Fault::shortTelemetry();
    if (text == badTelemetry)
        return Fault::malformedTelemetry();
    if (text.starts_with(badTelemetry) && text.size() > badTelemetry.size() &&
        text[badTelemetry.size()] == ':') {
        const auto defect = parseDefect(text.substr(badTelemetry.size() + 1));
        if (!defect)
            return std::nullopt;
        return Fault::malformedTelemetry(*defect);
    }
    if (text.starts_with(latePrefix)) {
        const std::string_view digits = text.substr(latePrefix.size());
        long long ms = 0;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), ms);
        if (digits.empty() || error != std::errc{} || end != digits.data() + digits.size() ||
            ms < 0 || ms > 60'000)
            return std::nullopt;
        return Fault::late(std::chrono::milliseconds(ms));
    }
    return std::nullopt;
}

std::string describe(const Fault& fault) {
    switch (fault.kind) {
    case FaultKind::None:
        return "none";
    case FaultKind::Silent:
        return "silent";
    case FaultKind::Late:
        return "late:" + std::to_string(fault.delay.count());
    case FaultKind::Garbage:
        return "garbage";
    case FaultKind::ShortTelemetry:
        return "short-telemetry";
    case FaultKind::MalformedTelemetry:
        return std::string(badTelemetry) + ":" + std::string(defectName(fault.defect));
    }
    return "none";
}

namespace {

std::vector<std::uint8_t> randomBytes(std::mt19937& random) {
    std::uniform_int_distribution<int> length(0, 12);
    std::uniform_int_distribution<int> value(0, 255);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(length(random)));
    for (auto& byte : bytes)
        byte = static_cast<std::uint8_t>(value(random));
    return bytes;
}

void spoil(std::vector<std::uint8_t>& telemetry, TelemetryDefect defect) {
    if (telemetry.size() < 9)
        return;
    switch (defect) {
    case TelemetryDefect::WrongLetter:
        telemetry[0] = 'X';
        break;
    case TelemetryDefect::HumidityNotDigits:
        telemetry[6] = 'x';
        break;
    case TelemetryDefect::TemperatureNotDigits:
        telemetry[2] = 'x';
        break;
    }
}

constexpr std::size_t shortTelemetryLength = 5;

} // namespace

std::vector<Reply> applyFault(const Fault& fault, std::vector<Reply> replies,
                              std::mt19937& random) {
    switch (fault.kind) {
    case FaultKind::None:
        break;
    case FaultKind::Silent:
        replies.clear();
        break;
    case FaultKind::Late:
        for (auto& reply : replies)
            reply.delay += fault.delay;
        break;
    case FaultKind::Garbage:
        for (auto& reply : replies)
            reply.bytes = randomBytes(random);
        break;
    case FaultKind::ShortTelemetry:
        for (auto& reply : replies)
            if (reply.kind == Reply::Kind::Telemetry && reply.bytes.size() > shortTelemetryLength)
                reply.bytes.resize(shortTelemetryLength);
        break;
    case FaultKind::MalformedTelemetry:
        for (auto& reply : replies)
            if (reply.kind == Reply::Kind::Telemetry)
                spoil(reply.bytes, fault.defect);
        break;
    }
    return replies;
}

} // namespace sim
