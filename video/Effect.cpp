#include "video/Effect.h"

#include <algorithm>
#include <cstring>

namespace video {

std::uint8_t effectOnByte(std::uint8_t byte, int threshold, int level) {
    threshold = std::clamp(threshold, 0, 255);
    level = std::clamp(level, 0, 255);
    int value = static_cast<std::int8_t>(byte);
    if (value < threshold)
        value -= level;
    else if (value > threshold)
        value += level;
    return static_cast<std::uint8_t>(value & 0xFF);
}

namespace {

using Bytes = std::uint8_t __attribute__((vector_size(16)));
using SignedBytes = std::int8_t __attribute__((vector_size(16)));
constexpr std::size_t lane = sizeof(Bytes);

Bytes load(const std::uint8_t* from) {
    Bytes value;
    std::memcpy(&value, from, lane);
    return value;
}

Bytes splat(std::uint8_t byte) {
    Bytes value;
    std::memset(&value, byte, lane);
    return value;
}

} // namespace

EffectPass::EffectPass(const EffectSettings& settings) {
    const int threshold = std::clamp(settings.threshold, 0, 255);
    // Read as signed, no byte exceeds 127: a higher threshold has every byte below it.
    allBelow_ = threshold > 127;
    threshold_ = static_cast<std::uint8_t>(std::min(threshold, 127));
    level_ = static_cast<std::uint8_t>(std::clamp(settings.level, 0, 255));
    // The switches go by memory order: "Canal Rojo" governs byte 0, which holds blue.
    const bool channelOn[3] = {settings.on && settings.red, settings.on && settings.green,
                               settings.on && settings.blue};
    for (std::size_t i = 0; i < blockBytes; ++i)
        changes_[i] = channelOn[i % 3] ? 0xFF : 0x00;
}

// Adding or taking the step as bytes wraps modulo 256, as the effect does.
void EffectPass::apply(const std::uint8_t* source, std::uint8_t* target, std::size_t bytes) const {
    static_assert(blockBytes % lane == 0 && blockBytes % 3 == 0);
    std::array<Bytes, blockBytes / lane> changes;
    std::memcpy(changes.data(), changes_.data(), blockBytes);
    const auto threshold = reinterpret_cast<SignedBytes>(splat(threshold_));
    const Bytes level = splat(level_);
    const Bytes forceBelow = splat(allBelow_ ? 0xFF : 0x00);
    std::size_t i = 0;
    for (; i + blockBytes <= bytes; i += blockBytes)
        for (std::size_t part = 0; part < changes.size(); ++part) {
            const Bytes value = load(source + i + part * lane);
            const auto asSigned = reinterpret_cast<SignedBytes>(value);
            const Bytes below = reinterpret_cast<Bytes>(asSigned < threshold) | forceBelow;
            const Bytes above = reinterpret_cast<Bytes>(asSigned > threshold);
            const Bytes step = level & changes[part];
            const Bytes result = value - (below & step) + (above & step);
            std::memcpy(target + i + part * lane, &result, lane);
        }
    const int tailThreshold = allBelow_ ? 255 : threshold_;
    for (; i < bytes; ++i)
        target[i] =
            changes_[i % blockBytes] ? effectOnByte(source[i], tailThreshold, level_) : source[i];
}

} // namespace video
