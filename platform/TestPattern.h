#pragma once

#include "platform/FrameSource.h"

#include <chrono>

namespace platform {

// A moving picture that needs no device: colour bars with a sweeping line and a square
// that crosses the picture, 352 x 288 at 25 frames per second.
class TestPattern final : public FrameSource {
public:
    static constexpr int width = 352;
    static constexpr int height = 288;
    static constexpr int rate = 25;

    bool open() override;
    bool read(cv::Mat& frame) override;

    // Picture number n, without waiting.
    static cv::Mat picture(int n);

private:
    int next_ = 0;
    std::chrono::steady_clock::time_point due_{};
};

} // namespace platform
