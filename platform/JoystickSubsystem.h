#pragma once

namespace platform {

// Holds SDL's joystick subsystem open for the life of the object, without SDL's own signal
// handlers and without its event queue: state is read after pumping SDL on this thread.
class JoystickSubsystem {
public:
    JoystickSubsystem();
    ~JoystickSubsystem();
    JoystickSubsystem(const JoystickSubsystem&) = delete;
    JoystickSubsystem& operator=(const JoystickSubsystem&) = delete;

    bool ready() const { return ready_; }

private:
    bool ready_ = false;
};

} // namespace platform
