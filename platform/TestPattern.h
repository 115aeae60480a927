#pragma once

#include "platform/FrameSource.h"

#include <chrono>

namespace platform {

// A moving picture that needs no device: colour bars with a sweeping line and a square
// that crosses the picture, 352 x 288 or any size within the bounds, at 25 frames per second
// or another rate up to fastestRate.
// The line and the square keep their proportions at every size.
class TestPattern final : public FrameSource {
public:
    static constexpr int width = 352;
    static constexpr int height = 288;
    static constexpr int rate = 25;
    static constexpr int fastestRate = 60;

    explicit TestPattern(cv::Size size = cv::Size(width, height), int framesPerSecond = rate);

    int framesPerSecond() const { return framesPerSecond_; }

    bool open() override;
    bool read(cv::Mat& frame) override;

    // Picture number n, without waiting.
    static cv::Mat picture(int n, cv::Size size = cv::Size(width, height));
    // The side of the moving square at that size.
    static int squareSide(cv::Size size);

private:
    // Over the whole of a three-channel image.
    static void draw(int n, cv::Mat& image);

    cv::Size size_;
    int framesPerSecond_;
    int next_ = 0;
    std::chrono::steady_clock::time_point due_{};
};

} // namespace platform
