#pragma once

#include "link/CommandLink.h"

#include <cstdint>
#include <span>
#include <string_view>

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

inline constexpr std::uint8_t cKeyPositionByte = 0xFF;
inline constexpr std::uint8_t vKeyPositionByte = 0xC1;

// Speed and light values run 0 (full) to 50 (none).
inline constexpr int noPower = 50;

void send(CommandLink& link, Command command);
void sendWithValue(CommandLink& link, Command command, std::uint8_t value);

// Up arrow: motor 1 sense A, motor 2 sense R, both at the stored speed.
void sendForward(CommandLink& link, std::uint8_t storedSpeed);
// Down arrow: motor 1 sense R, motor 2 sense A, both at the stored speed.
void sendBackward(CommandLink& link, std::uint8_t storedSpeed);
// Left and right arrows: turning speed, then both senses for a turn on the spot.
void sendTurnLeft(CommandLink& link, std::uint8_t driveSpeed);
void sendTurnRight(CommandLink& link, std::uint8_t driveSpeed);
void sendStop(CommandLink& link);

// Space: channel C0 to 34 and channel 80 to 45.
void sendCentring(CommandLink& link);
// X and Z keys.
void sendPositionC0(CommandLink& link, std::uint8_t value);
// C and V keys send fixed position bytes.
void sendPositionByte(CommandLink& link, std::uint8_t byte);
// Controller Z axis: with pauses of 10 ms after the command and 20 ms after the value.
void sendControllerZ(CommandLink& link, std::uint8_t z);

// F1: lights level 25.
void sendLightsPreset(CommandLink& link);
// Lights slider at position 0..50: 10 ms pause between command and level 50 - position.
void sendLightsFromSlider(CommandLink& link, int position);
void sendCleaningMotor(CommandLink& link, bool on);

// Game-controller stick. Turning repeats both speeds.
void sendStickForward(CommandLink& link, std::uint8_t motor1, std::uint8_t motor2, bool turning);
void sendStickBack(CommandLink& link, std::uint8_t motor1, std::uint8_t motor2, bool turning);
void sendStickHardRight(CommandLink& link, std::uint8_t motor1, std::uint8_t motor2);
void sendStickHardLeft(CommandLink& link, std::uint8_t motor1, std::uint8_t motor2);

} // namespace robot
