#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// The robot's command grammar, shared by the console's link, its traffic record and the
// simulator, so that what the console sends and what the robot is said to read never differ.
namespace robot {

// Every message byte the robot understands. Upper and lower case are different commands.
enum class Command : std::uint8_t {
    TextQuery = '0',
    Motor1Speed = '1',
    Motor2Speed = '2',
    TurnSpeed = '3',
    Motor1SenseA = 'A',
    CleaningMotorOn = 'B',
    RearCamera = 'C',
    ElevatorUp = 'E',
    EndCommand = 'F',
    InversionUpper = 'I',
    PageUpCommand = 'J',
    LightsLevel = 'L',
    Stop = 'P',
    Motor1SenseR = 'R',
    PositionCommand = 'S',
    TelemetryRequest = 'T',
    ZoomOut = 'Z',
    Motor2SenseA = 'a',
    CleaningMotorOff = 'b',
    FrontCamera = 'c',
    ElevatorDown = 'e',
    InversionLower = 'i',
    PageDownCommand = 'j',
    LightsOff = 'l',
    Motor2SenseR = 'r',
    ZoomIn = 'z',
};

struct Message {
    Command command;
    std::string_view name;
    // How a traffic record or the simulator's log reads it.
    std::string_view description;
    // Followed by one raw value byte (a speed, a light level or a position byte).
    bool takesValue;
};

// The dictionary, in command-byte order.
std::span<const Message> messages();
std::string_view nameOf(Command command);
// Whether the byte, read as a command, is followed by a value byte.
bool takesValue(std::uint8_t byte);

constexpr std::uint8_t byteOf(Command command) {
    return static_cast<std::uint8_t>(command);
}

enum class PositionChannel : std::uint8_t { Channel80 = 0x80, ChannelC0 = 0xC0 };

// The channel's value combined with its tag by exclusive-or: 64 on channel C0 is 0x80.
constexpr std::uint8_t positionByte(PositionChannel channel, std::uint8_t value) {
    return static_cast<std::uint8_t>(value ^ static_cast<std::uint8_t>(channel));
}

struct Position {
    PositionChannel channel;
    std::uint8_t value;
};

// The two top bits tell the channel: 11 for C0, 10 for 80; none for anything else.
std::optional<Position> positionOf(std::uint8_t byte);

inline constexpr std::uint8_t cKeyPositionByte = 0xFF;
inline constexpr std::uint8_t vKeyPositionByte = 0xC1;

// Speed and light values run 0 (full) to 50 (none).
inline constexpr int noPower = 50;

// One whole command as the robot reads it: a command byte (known or not) and, for the
// commands that take one, its value byte.
struct Decoded {
    std::uint8_t command = 0;
    std::optional<std::uint8_t> value;

    bool operator==(const Decoded&) const = default;
};

// Splits a byte stream into commands: a value byte is never read as a command, whatever
// letter it happens to be.
class Decoder {
public:
    // The command the byte completes, if it completes one.
    std::optional<Decoded> receive(std::uint8_t byte);
    bool awaitingValue() const { return pending_.has_value(); }

private:
    std::optional<std::uint8_t> pending_;
};

// A readable line for a decoded command ("motor 1 sense A", "lights level 25",
// "position channel C0 value 34 (byte 0xe2)", "unknown byte 0x07").
std::string describe(const Decoded& decoded);

} // namespace robot
