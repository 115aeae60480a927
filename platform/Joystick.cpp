#include "platform/Joystick.h"

#include "platform/JoystickSubsystem.h"

#include <SDL.h>

#include <algorithm>

namespace platform {
namespace {

constexpr int rawMin = -32768;
constexpr int rawMax = 32767;

struct JoystickCloser {
    void operator()(SDL_Joystick* joystick) const { SDL_JoystickClose(joystick); }
};
using JoystickHandle = std::unique_ptr<SDL_Joystick, JoystickCloser>;

JoystickHandle openFirstAttached() {
    SDL_JoystickUpdate();
    const int count = SDL_NumJoysticks();
    for (int index = 0; index < count; ++index) {
        if (SDL_Joystick* joystick = SDL_JoystickOpen(index))
            return JoystickHandle(joystick);
    }
    return nullptr;
}

class SdlJoystick final : public Joystick {
public:
    SdlJoystick(std::unique_ptr<JoystickSubsystem> subsystem, JoystickHandle joystick)
        : subsystem_(std::move(subsystem)), joystick_(std::move(joystick)) {}

    // A device pulled out stays lost: a controller plugged in again arrives as a new device.
    JoystickStatus acquire() override {
        acquired_ = true;
        return attached() ? JoystickStatus::Ok : JoystickStatus::InputLost;
    }

    void release() override { acquired_ = false; }

    JoystickStatus poll() override {
        if (!acquired_)
            return JoystickStatus::NotAcquired;
        SDL_JoystickUpdate();
        return JoystickStatus::Ok;
    }

    JoystickStatus read(JoystickReading& reading) override {
        if (!attached())
            return JoystickStatus::InputLost;
        SDL_Joystick* joystick = joystick_.get();
        reading.x = axis(0, stickMin, stickMax);
        reading.y = axis(1, stickMin, stickMax);
        reading.z = SDL_JoystickNumAxes(joystick) > 2 ? axis(2, zMin, zMax) : 0;
        const int buttons = SDL_JoystickNumButtons(joystick);
        for (int index = 0; index < joystickButtons; ++index)
            reading.buttons[static_cast<std::size_t>(index)] =
                index < buttons && SDL_JoystickGetButton(joystick, index) != 0;
        return JoystickStatus::Ok;
    }

    bool attached() const override { return joystick_ && SDL_JoystickGetAttached(joystick_.get()); }

    std::string name() const override {
        const char* name = joystick_ ? SDL_JoystickName(joystick_.get()) : nullptr;
        return name ? name : "";
    }

private:
    int axis(int index, int min, int max) const {
        return scaleAxis(SDL_JoystickGetAxis(joystick_.get(), index), min, max);
    }

    // Declared first, so the handle is closed before the subsystem goes.
    std::unique_ptr<JoystickSubsystem> subsystem_;
    JoystickHandle joystick_;
    bool acquired_ = false;
};

} // namespace

std::unique_ptr<Joystick> openFirstJoystick() {
    auto subsystem = std::make_unique<JoystickSubsystem>();
    if (!subsystem->ready())
        return nullptr;
    JoystickHandle joystick = openFirstAttached();
    if (!joystick)
        return nullptr;
    return std::make_unique<SdlJoystick>(std::move(subsystem), std::move(joystick));
}

JoystickDevices::JoystickDevices() : subsystem_(std::make_unique<JoystickSubsystem>()) {}

JoystickDevices::~JoystickDevices() = default;

bool JoystickDevices::pumpChanges() {
    if (!subsystem_->ready())
        return false;
    SDL_JoystickUpdate();
    SDL_Event events[16];
    bool changed = false;
    int taken = 0;
    do {
        taken = SDL_PeepEvents(events, 16, SDL_GETEVENT, SDL_JOYDEVICEADDED, SDL_JOYDEVICEREMOVED);
        changed = changed || taken > 0;
    } while (taken == 16);
    return changed;
}

int scaleAxis(int raw, int min, int max) {
    const long long offset = std::clamp(raw, rawMin, rawMax) - rawMin;
    const long long span = rawMax - rawMin;
    const long long steps = (2 * offset * (max - min) + span) / (2 * span);
    return min + static_cast<int>(steps);
}

} // namespace platform
