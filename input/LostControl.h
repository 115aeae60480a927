#pragma once

#include "input/GameController.h"
#include "input/Keyboard.h"
#include "link/CommandLink.h"

namespace input {

// The main window stopped being active: a held arrow key's release or the stick's return
// may never reach the console, so the robot is stopped once if either was driving.
void stopOnLostControl(Keyboard& keyboard, GameController& controller, robot::CommandLink& link);

} // namespace input
