#include "link/Commands.h"

#include <algorithm>

namespace robot {
namespace {

using std::chrono::milliseconds;

constexpr std::uint8_t centreC0 = 34;
constexpr std::uint8_t centre80 = 45;
constexpr std::uint8_t presetLightLevel = 25;
constexpr std::uint8_t hardTurnSpeed = 1;
constexpr milliseconds afterLightsCommand{10};
constexpr milliseconds afterZCommand{10};
constexpr milliseconds afterZValue{20};

void sendSpeeds(CommandLink& link, std::uint8_t motor1, std::uint8_t motor2) {
    sendWithValue(link, Command::Motor1Speed, motor1);
    sendWithValue(link, Command::Motor2Speed, motor2);
}

void sendSenses(CommandLink& link, Command first, Command second) {
    send(link, first);
    send(link, second);
}

void sendDrive(CommandLink& link, Command sense1, Command sense2, std::uint8_t motor1,
               std::uint8_t motor2) {
    sendSenses(link, sense1, sense2);
    sendSpeeds(link, motor1, motor2);
}

} // namespace

void send(CommandLink& link, Command command) {
    link.SendByte(byteOf(command));
}

void sendWithValue(CommandLink& link, Command command, std::uint8_t value) {
    send(link, command);
    link.SendByte(value);
}

void sendForward(CommandLink& link, std::uint8_t storedSpeed) {
    sendDrive(link, Command::Motor1SenseA, Command::Motor2SenseR, storedSpeed, storedSpeed);
}

void sendBackward(CommandLink& link, std::uint8_t storedSpeed) {
    sendDrive(link, Command::Motor1SenseR, Command::Motor2SenseA, storedSpeed, storedSpeed);
}

void sendTurnLeft(CommandLink& link, std::uint8_t driveSpeed) {
    sendWithValue(link, Command::TurnSpeed, driveSpeed);
    sendSenses(link, Command::Motor1SenseR, Command::Motor2SenseR);
}

void sendTurnRight(CommandLink& link, std::uint8_t driveSpeed) {
    sendWithValue(link, Command::TurnSpeed, driveSpeed);
    sendSenses(link, Command::Motor2SenseA, Command::Motor1SenseA);
}

void sendStop(CommandLink& link) {
    send(link, Command::Stop);
}

void sendCentring(CommandLink& link) {
    sendPositionByte(link, positionByte(PositionChannel::ChannelC0, centreC0));
    sendPositionByte(link, positionByte(PositionChannel::Channel80, centre80));
}

void sendPositionC0(CommandLink& link, std::uint8_t value) {
    sendPositionByte(link, positionByte(PositionChannel::ChannelC0, value));
}

void sendPositionByte(CommandLink& link, std::uint8_t byte) {
    sendWithValue(link, Command::PositionCommand, byte);
}

void sendControllerZ(CommandLink& link, std::uint8_t z) {
    send(link, Command::PositionCommand);
    link.pause(afterZCommand);
    link.SendByte(positionByte(PositionChannel::Channel80, z));
    link.pause(afterZValue);
}

void sendLightsPreset(CommandLink& link) {
    sendWithValue(link, Command::LightsLevel, presetLightLevel);
}

void sendLightsFromSlider(CommandLink& link, int position) {
    send(link, Command::LightsLevel);
    link.pause(afterLightsCommand);
    link.SendByte(static_cast<std::uint8_t>(noPower - std::clamp(position, 0, noPower)));
}

void sendCleaningMotor(CommandLink& link, bool on) {
    send(link, on ? Command::CleaningMotorOn : Command::CleaningMotorOff);
}

void sendStickForward(CommandLink& link, std::uint8_t motor1, std::uint8_t motor2, bool turning) {
    sendDrive(link, Command::Motor1SenseA, Command::Motor2SenseR, motor1, motor2);
    if (turning)
        sendSpeeds(link, motor1, motor2);
}

void sendStickBack(CommandLink& link, std::uint8_t motor1, std::uint8_t motor2, bool turning) {
    sendDrive(link, Command::Motor1SenseR, Command::Motor2SenseA, motor1, motor2);
    if (turning)
        sendSpeeds(link, motor1, motor2);
}

void sendStickHardRight(CommandLink& link, std::uint8_t motor1, std::uint8_t motor2) {
    sendDrive(link, Command::Motor1SenseA, Command::Motor2SenseR, motor1, motor2);
    sendSpeeds(link, hardTurnSpeed, hardTurnSpeed);
    sendSenses(link, Command::Motor2SenseA, Command::Motor1SenseA);
}

void sendStickHardLeft(CommandLink& link, std::uint8_t motor1, std::uint8_t motor2) {
    sendDrive(link, Command::Motor1SenseA, Command::Motor2SenseR, motor1, motor2);
    send(link, Command::Motor1SenseR);
    sendSpeeds(link, hardTurnSpeed, hardTurnSpeed);
}

} // namespace robot
