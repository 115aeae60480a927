#include "video/Effect.h"

#include <algorithm>

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

EffectTable effectTable(const EffectSettings& settings) {
    // The switches go by memory order: "Canal Rojo" governs byte 0, which holds blue.
    const bool channelOn[3] = {settings.on && settings.red, settings.on && settings.green,
                               settings.on && settings.blue};
    EffectTable table{};
    for (int byte = 0; byte < 256; ++byte) {
        const auto plain = static_cast<std::uint8_t>(byte);
        const std::uint8_t changed = effectOnByte(plain, settings.threshold, settings.level);
        for (std::size_t channel = 0; channel < 3; ++channel)
            table[channel][plain] = channelOn[channel] ? changed : plain;
    }
    return table;
}

void applyEffect(const EffectTable& table, const std::uint8_t* source, std::uint8_t* target,
                 std::size_t bytes) {
    const auto& blue = table[0];
    const auto& green = table[1];
    const auto& red = table[2];
    for (std::size_t i = 0; i + 2 < bytes; i += 3) {
        target[i] = blue[source[i]];
        target[i + 1] = green[source[i + 1]];
        target[i + 2] = red[source[i + 2]];
    }
}

} // namespace video
