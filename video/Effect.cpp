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

cv::Mat effectTable(const EffectSettings& settings) {
    cv::Mat table(1, 256, CV_8UC3);
    const bool channelOn[3] = {settings.on && settings.blue, settings.on && settings.green,
                               settings.on && settings.red};
    for (int byte = 0; byte < 256; ++byte) {
        const auto plain = static_cast<std::uint8_t>(byte);
        const std::uint8_t changed = effectOnByte(plain, settings.threshold, settings.level);
        auto& entry = table.at<cv::Vec3b>(0, byte);
        for (int channel = 0; channel < 3; ++channel)
            entry[channel] = channelOn[channel] ? changed : plain;
    }
    return table;
}

} // namespace video
