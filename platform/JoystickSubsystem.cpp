#include "platform/JoystickSubsystem.h"

#include <SDL.h>

#include <initializer_list>

namespace platform {

JoystickSubsystem::JoystickSubsystem() {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    ready_ = SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
    if (!ready_)
        return;
    // State is read after pumping; only the device events are queued, for hot-plug.
    for (const Uint32 type : {SDL_JOYAXISMOTION, SDL_JOYBALLMOTION, SDL_JOYHATMOTION,
                              SDL_JOYBUTTONDOWN, SDL_JOYBUTTONUP})
        SDL_EventState(type, SDL_IGNORE);
    SDL_EventState(SDL_JOYDEVICEADDED, SDL_ENABLE);
    SDL_EventState(SDL_JOYDEVICEREMOVED, SDL_ENABLE);
}

JoystickSubsystem::~JoystickSubsystem() {
    if (ready_)
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

} // namespace platform
