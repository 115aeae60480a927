#pragma once

#include "sim/Robot.h"

#include <chrono>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

enum class FaultKind { None, Silent, Late, Garbage, ShortTelemetry, MalformedTelemetry };

// Which part of a nine-byte telemetry reply a malformed reply spoils.
enum class TelemetryDefect { WrongLetter, HumidityNotDigits, TemperatureNotDigits };

// How the simulated robot misbehaves on the line. Only the fields of the kind apply.
struct Fault {
    FaultKind kind = FaultKind::None;
    std::chrono::milliseconds delay{0};
    TelemetryDefect defect = TelemetryDefect::WrongLetter;

    static Fault none() { return {}; }
    static Fault silent() { return {FaultKind::Silent}; }
    static Fault late(std::chrono::milliseconds delay) { return {FaultKind::Late, delay}; }
    static Fault garbage() { return {FaultKind::Garbage}; }
    static Fault shortTelemetry() { return {FaultKind::ShortTelemetry}; }
    static Fault malformedTelemetry(TelemetryDefect defect = TelemetryDefect::WrongLetter) {
        return {FaultKind::MalformedTelemetry, {}, defect};
    }

    bool operator==(const Fault&) const = default;
};

// Parses the command-line form: none, silent, late:MS, garbage, short-telemetry,
// bad-telemetry[:letter|humidity|temperature].
std::optional<Fault> parseFault(std::string_view text);
std::string describe(const Fault& fault);

// The replies that the misbehaving robot sends in place of the proper ones.
std::vector<Reply> applyFault(const Fault& fault, std::vector<Reply> replies, std::mt19937& random);

} // namespace sim
