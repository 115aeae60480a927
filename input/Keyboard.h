#pragma once

#include "input/ConsolePanel.h"
#include "input/ControlState.h"
#include "link/CommandLink.h"
#include "link/Commands.h"

#include <QString>

#include <cstdint>
#include <span>

namespace input {

// "10   1 -- 38": drive speed, direction and the key's code.
QString statusLine(int driveSpeed, bool forward, int virtualKey);

// The keyboard's commands: every key-down acts by the key table, every key-up stops the
// robot. The arrow keys act once per press, however long the key is held.
class Keyboard {
public:
    Keyboard(ControlState& state, ConsolePanel& panel, robot::CommandLink& link);

    void keyDown(int virtualKey);
    void keyUp();
    // The window lost the keyboard: a held arrow key's release may never come. True when
    // an arrow key was driving; it counts as released from now on.
    bool releaseHeldKey();

    struct Rule;

private:
    using Sender = void (*)(robot::CommandLink&, std::uint8_t);

    static std::span<const Rule> rules();

    void stopAndZeroPower();
    void centrePositions();
    void turn(Sender send);
    void drive(Sender send, bool forward);
    void cleaningMotor(bool on);
    void camera(bool front);
    void elevator(robot::Command command, const char* text);
    void armDown();
    void armUp();
    void stepC0(int step);
    void changeSpeed(int step);
    void snapshot();

    ControlState& state_;
    ConsolePanel& panel_;
    robot::CommandLink& link_;
};

} // namespace input
