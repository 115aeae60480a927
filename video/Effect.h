#pragma once

#include <opencv2/core/mat.hpp>

#include <cstdint>

namespace video {

// The contrast effect: a byte read as a signed value v moves away from the threshold T by
// the step D (down below T, up above it) and wraps modulo 256. Each switch governs its own
// colour byte: blue byte 0, green byte 1, red byte 2.
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

// A 256-entry, three-channel table (blue, green, red) that does the whole effect in one
// lookup per byte; channels whose switch is off, or all when the effect is off, map to
// themselves.
cv::Mat effectTable(const EffectSettings& settings);

} // namespace video
