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

// The effect prepared for passes over packed blue-green-red pixels: the threshold, the step
// and, for each byte of three whole pixels, whether its switch is on.
class EffectPass {
public:
    explicit EffectPass(const EffectSettings& settings);

    // One pass; bytes is a multiple of three. Sixteen bytes at a time in vector registers, so
    // a frame of any size costs little more than copying it.
    void apply(const std::uint8_t* source, std::uint8_t* target, std::size_t bytes) const;

private:
    static constexpr std::size_t blockBytes = 48;

    std::array<std::uint8_t, blockBytes> changes_{};
    std::uint8_t threshold_ = 0;
    std::uint8_t level_ = 0;
    bool allBelow_ = false;
};

} // namespace video
