#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

enum class Parity { None, Even, Odd, Mark, Space };
enum class StopBits { One, OneAndHalf, Two };
enum class FlowControl { None, Software, Hardware };
enum class SignalLevel { Unchanged, On, Off };

// Line settings of a serial port as a mode string describes them.
struct LineSettings {
    int baudRate = 9600;
    Parity parity = Parity::None;
    int dataBits = 8;
    StopBits stopBits = StopBits::One;
    FlowControl flowControl = FlowControl::None;
    SignalLevel dataTerminalReady = SignalLevel::Unchanged;
    SignalLevel requestToSend = SignalLevel::Unchanged;

    bool operator==(const LineSettings&) const = default;
};

// Either the parsed settings or the reason the mode string was refused.
class ModeParse {
public:
    static ModeParse accepted(const LineSettings& settings) { return ModeParse(settings, {}); }
    static ModeParse refused(std::string reason) { return ModeParse({}, std::move(reason)); }

    bool ok() const { return settings_.has_value(); }
    explicit operator bool() const { return ok(); }
    // Only valid when ok().
    const LineSettings& settings() const { return *settings_; }
    // Empty when ok().
    const std::string& reason() const { return reason_; }

private:
    ModeParse(std::optional<LineSettings> settings, std::string reason)
        : settings_(settings), reason_(std::move(reason)) {}

    std::optional<LineSettings> settings_;
    std::string reason_;
};

// Parses a mode string in the syntax of the serial mode command, either positional
// ("9600,n,8,1", optionally followed by x or p for the flow control) or with keys
// ("baud=9600 parity=n data=8 stop=1", plus xon, octs, dtr, rts, odsr, idsr, to).
// An optional "COMn:" prefix is allowed. Omitted fields take the command's defaults:
// even parity, 7 data bits, 1 stop bit (2 at 110 baud).
ModeParse parseMode(std::string_view text);

} // namespace platform
