#include "platform/VirtualJoystick.h"

#include "platform/Joystick.h"

#include <algorithm>
#include <cmath>

namespace platform {
namespace {

// The raw value that scales back onto value within min..max.
Sint16 rawFor(int value, int min, int max) {
    const double raw =
        std::round((std::clamp(value, min, max) - min) * 65535.0 / (max - min)) - 32768.0;
    return static_cast<Sint16>(raw);
}

} // namespace

VirtualJoystick::VirtualJoystick(int axes) : axes_(axes) {
    if (!subsystem_.ready())
        return;
    const int index =
        SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, axes, joystickButtons, 0);
    if (index < 0)
        return;
    id_ = SDL_JoystickGetDeviceInstanceID(index);
    joystick_ = SDL_JoystickOpen(index);
    setStick(0, 0);
    setZ(zMin);
}

VirtualJoystick::~VirtualJoystick() {
    if (joystick_)
        SDL_JoystickClose(joystick_);
    unplug();
}

bool VirtualJoystick::attached() const {
    return deviceIndex() >= 0 && joystick_;
}

void VirtualJoystick::setStick(int x, int y) {
    SDL_JoystickSetVirtualAxis(joystick_, 0, rawFor(x, stickMin, stickMax));
    SDL_JoystickSetVirtualAxis(joystick_, 1, rawFor(y, stickMin, stickMax));
}

void VirtualJoystick::setZ(int z) {
    if (axes_ > 2)
        SDL_JoystickSetVirtualAxis(joystick_, 2, rawFor(z, zMin, zMax));
}

void VirtualJoystick::setButton(int index, bool down) {
    SDL_JoystickSetVirtualButton(joystick_, index, down ? SDL_PRESSED : SDL_RELEASED);
}

void VirtualJoystick::setRawAxis(int axis, int raw) {
    SDL_JoystickSetVirtualAxis(joystick_, axis,
                               static_cast<Sint16>(std::clamp(raw, -32768, 32767)));
}

void VirtualJoystick::unplug() {
    const int index = deviceIndex();
    if (index >= 0)
        SDL_JoystickDetachVirtual(index);
}

int VirtualJoystick::deviceIndex() const {
    if (id_ < 0)
        return -1;
    const int count = SDL_NumJoysticks();
    for (int index = 0; index < count; ++index)
        if (SDL_JoystickGetDeviceInstanceID(index) == id_)
            return index;
    return -1;
}

} // namespace platform
