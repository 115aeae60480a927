#pragma once

#include "link/CommandLink.h"
#include "robot/Grammar.h"

#include <cstdint>

namespace robot {

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
