#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace video {

// The contrast effect: a byte read as a signed value v moves away from the threshold T by
// the step D (down below T, up above it) and wraps modulo 256. The switches govern the bytes in
// memory order: red byte 0 (which holds blue), green byte 1, blue byte 2 (which holds red).
struct EffectSettings {
    bool on = false;
    bool red = true;
    bool green = true;
    bool blue = true;
    int threshold = 128;
    int level = 128;
};

// The effect on one byte; threshold and level are taken in 0..255.
std::uint8_t effectOnByte(std::uint8_t byte, int threshold, int level);

// One 256-entry table per colour byte (blue, green, red) that does the whole effect in one
// lookup per byte; bytes whose switch is off, or all when the effect is off, map to
// themselves.
using EffectTable = std::array<std::array<std::uint8_t, 256>, 3>;
EffectTable effectTable(const EffectSettings& settings);

// One pass over packed blue-green-red pixels; bytes is a multiple of three. The effect runs
// on the calling thread: a frame is too small to gain from more.
void applyEffect(const EffectTable& table, const std::uint8_t* source, std::uint8_t* target,
                 std::size_t bytes);

} // namespace video
