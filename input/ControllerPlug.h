#pragma once

#include "input/ConsolePanel.h"
#include "input/GameController.h"
#include "link/CommandLink.h"
#include "platform/Joystick.h"

#include <functional>
#include <memory>

namespace input {

// Controllers plugged in and pulled out while the console runs. The window calls follow
// whenever the device events say something changed.
class ControllerPlug {
public:
    using Opener = std::function<std::unique_ptr<platform::Joystick>()>;

    ControllerPlug(GameController& controller, ConsolePanel& panel, robot::CommandLink& link,
                   Opener open);

    // Lets a pulled-out controller go (with one stop when its stick drove) and takes a newly
    // attached one, acquired when the window is active. Returns whether one is present now.
    bool follow(bool present, bool active);

private:
    GameController& controller_;
    ConsolePanel& panel_;
    robot::CommandLink& link_;
    Opener open_;
};

} // namespace input
