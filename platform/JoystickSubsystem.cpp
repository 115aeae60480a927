#include "platform/JoystickSubsystem.h"

#include <SDL.h>

namespace platform {

JoystickSubsystem::JoystickSubsystem() {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    ready_ = SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
    if (ready_)
        SDL_JoystickEventState(SDL_IGNORE);
}

JoystickSubsystem::~JoystickSubsystem() {
    if (ready_)
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

} // namespace platform
