#pragma once

#include "input/ConsolePanel.h"
#include "input/ControlState.h"
#include "link/CommandLink.h"
#include "platform/Joystick.h"

#include <memory>
#include <span>

namespace input {

struct MotorValues {
    std::int8_t motor1 = 0;
    std::int8_t motor2 = 0;
    bool operator==(const MotorValues&) const = default;
};

// The two motor speed values for a stick position, in signed 8-bit arithmetic; a value
// above 50 becomes 49 and one below 0 becomes 1.
MotorValues stickMotors(int x, int y);

// The stick has moved when either axis is more than 2 away from the last sent position.
bool stickMoved(const platform::JoystickReading& now, const platform::JoystickReading& lastSent);

enum class PollOutcome { Ok, Failed, Lost };

// The game controller: read every tick while the main window is active, its buttons act
// while held, the stick drives the motors when it moves and the Z axis sets channel 80.
class GameController {
public:
    GameController(ControlState& state, ConsolePanel& panel, robot::CommandLink& link);

    // Takes the device found at start-up; false when there is none.
    bool init(std::unique_ptr<platform::Joystick> device);
    // Takes a controller plugged in while the console runs. It sends nothing until its stick
    // has been read at rest, so a stick held over while plugging in never drives the robot.
    void attach(std::unique_ptr<platform::Joystick> device);
    // Lets a pulled-out controller go: true when a stop is due because its stick drove.
    bool detach();
    bool deviceAttached() const;
    // Acquires while the window is active, releases otherwise; nothing without a device.
    void acquire(bool active);
    PollOutcome poll(bool present);
    void tick(bool present);
    // The window lost the controller while the stick drove: true when a stop is due.
    bool releaseStick();

    const platform::JoystickReading& joyState() const { return joyState_; }
    const platform::JoystickReading& joyLastSent() const { return joyLastSent_; }
    bool stickIdle() const { return stickIdle_; }

    struct ButtonRule;

private:
    static std::span<const ButtonRule> buttonRules();

    bool stickAtRest() const;
    void actOnButtons();
    void sendZChange();
    void driveFromStick();
    void sendMotors(MotorValues motors);
    void stopWhenLost();

    ControlState& state_;
    ConsolePanel& panel_;
    robot::CommandLink& link_;
    std::unique_ptr<platform::Joystick> device_;
    platform::JoystickReading joyState_;
    platform::JoystickReading joyLastSent_;
    bool stickIdle_ = true;
    bool awaitingRest_ = false;
};

} // namespace input
