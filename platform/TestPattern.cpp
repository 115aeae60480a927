#include "platform/TestPattern.h"

#include <opencv2/imgproc.hpp>

#include <array>
#include <thread>

namespace platform {

namespace {

const std::array<cv::Scalar, 8> bars{cv::Scalar(192, 192, 192), cv::Scalar(0, 192, 192),
                                     cv::Scalar(192, 192, 0),   cv::Scalar(0, 192, 0),
                                     cv::Scalar(192, 0, 192),   cv::Scalar(0, 0, 192),
                                     cv::Scalar(192, 0, 0),     cv::Scalar(16, 16, 16)};

} // namespace

bool TestPattern::open() {
    due_ = std::chrono::steady_clock::now();
    return true;
}

bool TestPattern::read(cv::Mat& frame) {
    std::this_thread::sleep_until(due_);
    due_ =
        std::max(due_ + std::chrono::milliseconds(1000 / rate), std::chrono::steady_clock::now());
    frame = picture(next_);
    next_ = (next_ + 1) % 1000000;
    return true;
}

cv::Mat TestPattern::picture(int n) {
    cv::Mat image(height, width, CV_8UC3);
    const int barWidth = width / static_cast<int>(bars.size());
    for (int bar = 0; bar < static_cast<int>(bars.size()); ++bar)
        cv::rectangle(image, cv::Rect(bar * barWidth, 0, barWidth, height), bars[bar], cv::FILLED);
    const int line = (n * 4) % height;
    cv::rectangle(image, cv::Rect(0, line, width, 3), cv::Scalar(255, 255, 255), cv::FILLED);
    const int travel = 2 * (width - 48);
    const int step = (n * 6) % travel;
    const int x = step < width - 48 ? step : travel - step;
    cv::rectangle(image, cv::Rect(x, height / 2 - 24, 48, 48), cv::Scalar(0, 128, 255), cv::FILLED);
    return image;
}

} // namespace platform
