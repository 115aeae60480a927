#pragma once

#include "video/FrameSurface.h"

#include <cstdint>
#include <vector>

namespace testing_support {

// Frames of the standard size handed to a window as its camera would, one after another;
// frame i is every byte fill(i).
template <typename Window, typename Fill> void feedFrames(Window& window, int frames, Fill fill) {
    for (int i = 0; i < frames; ++i) {
        const std::vector<std::uint8_t> frame(video::frameBytes, fill(i));
        window.FrameCallback(frame.data(), video::frameWidth, video::frameHeight);
    }
}

} // namespace testing_support
