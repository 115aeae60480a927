#pragma once

#include "platform/JoystickSubsystem.h"

#include <SDL.h>

namespace platform {

// A controller that exists only in SDL, with eight buttons and three axes unless told
// otherwise; tests and benchmarks move it and the console reads it through the ordinary
// device path.
class VirtualJoystick {
public:
    explicit VirtualJoystick(int axes = 3);
    ~VirtualJoystick();
    VirtualJoystick(const VirtualJoystick&) = delete;
    VirtualJoystick& operator=(const VirtualJoystick&) = delete;

    bool attached() const;

    // Values in the console's ranges (x, y -48..48, z 15..55); the console reads them back
    // after its next poll.
    void setStick(int x, int y);
    void setZ(int z);
    void setButton(int index, bool down);
    void setRawAxis(int axis, int raw);

    // Like pulling the cable: the console's next poll finds the device gone.
    void unplug();

private:
    int deviceIndex() const;

    JoystickSubsystem subsystem_;
    int axes_;
    SDL_JoystickID id_ = -1;
    SDL_Joystick* joystick_ = nullptr;
};

} // namespace platform
