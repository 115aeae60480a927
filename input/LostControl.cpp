#include "input/LostControl.h"

#include "link/Commands.h"

namespace input {

void stopOnLostControl(Keyboard& keyboard, GameController& controller, robot::CommandLink& link) {
    const bool keyDrove = keyboard.releaseHeldKey();
    const bool stickDrove = controller.releaseStick();
    if (keyDrove || stickDrove)
        robot::sendStop(link);
}

} // namespace input
