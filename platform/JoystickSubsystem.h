#pragma once

namespace platform {

// Holds SDL's joystick subsystem open for the life of the object, without SDL's own signal
// handlers: state is read after pumping SDL on this thread, and only device arrivals and
// removals go to SDL's event queue.
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
