#pragma once

#include <cstdint>

namespace input {

inline constexpr int centreC0 = 34;
inline constexpr int centre80 = 45;

// What the keyboard, the game controller and the motor slider share. Speed values run
// 0 (full power) to 50 (none).
struct ControlState {
    std::uint8_t DriveSpeed = 50;
    // The speed that Up and Down apply.
    std::uint8_t StoredSpeed = 50;
    std::int8_t Motor1Value = 50;
    std::int8_t Motor2Value = 50;
    bool Forward = true;
    // An arrow key has acted and no key has been released since.
    bool KeyHeld = false;
    int PositionC0 = centreC0;
    int Position80 = centre80;
    // True although the "Brazo activo" switch starts off.
    bool ArmActive = true;
};

} // namespace input
