#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

inline constexpr int stickMin = -48;
inline constexpr int stickMax = 48;
inline constexpr int zMin = 15;
inline constexpr int zMax = 55;
inline constexpr int joystickButtons = 8;

// One reading of the game controller, axes scaled to the console's ranges.
struct JoystickReading {
    // Pushed right is positive.
    std::int32_t x = 0;
    // Pushed forward is negative.
    std::int32_t y = 0;
    // 0 when the controller has no third axis.
    std::int32_t z = 0;
    std::array<bool, joystickButtons> buttons{};

    bool operator==(const JoystickReading&) const = default;
};

enum class JoystickStatus { Ok, NotAcquired, InputLost };

// The game controller as the console uses it. It delivers input only while acquired (the
// main window is active); a released device answers polls with NotAcquired. Everything
// runs on the GUI thread, which is also the thread that pumps the device.
class Joystick {
public:
    virtual ~Joystick() = default;

    // Starts delivering input; InputLost when the device has gone and no other can be
    // reached in its place.
    virtual JoystickStatus acquire() = 0;
    virtual void release() = 0;
    // Fetches fresh input: NotAcquired while released.
    virtual JoystickStatus poll() = 0;
    // The state fetched by the last poll; InputLost once the device has gone.
    virtual JoystickStatus read(JoystickReading& reading) = 0;
    // False once the device has been pulled out; it does not come back.
    virtual bool attached() const = 0;
    virtual std::string name() const = 0;
};

class JoystickSubsystem;

// Controllers plugged in and pulled out, seen through SDL's device events. Pumped on the GUI
// thread, the one that pumps the devices.
class JoystickDevices {
public:
    JoystickDevices();
    ~JoystickDevices();
    JoystickDevices(const JoystickDevices&) = delete;
    JoystickDevices& operator=(const JoystickDevices&) = delete;

    // True when a controller was attached or removed since the last call.
    bool pumpChanges();

private:
    std::unique_ptr<JoystickSubsystem> subsystem_;
};

// Opens the first attached controller that opens; null when none does.
std::unique_ptr<Joystick> openFirstJoystick();

// Maps a raw axis value (-32768..32767) linearly onto min..max, to the nearest step.
int scaleAxis(int raw, int min, int max);

} // namespace platform
