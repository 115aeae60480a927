#include "platform/TestPattern.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <array>
#include <thread>

namespace platform {

namespace {

const std::array<cv::Scalar, 8> bars{cv::Scalar(192, 192, 192), cv::Scalar(0, 192, 192),
                                     cv::Scalar(192, 192, 0),   cv::Scalar(0, 192, 0),
                                     cv::Scalar(192, 0, 192),   cv::Scalar(0, 0, 192),
                                     cv::Scalar(192, 0, 0),     cv::Scalar(16, 16, 16)};

} // namespace

TestPattern::TestPattern(cv::Size size, int framesPerSecond)
    : size_(size), framesPerSecond_(std::clamp(framesPerSecond, 1, fastestRate)) {}

bool TestPattern::open() {
    due_ = std::chrono::steady_clock::now();
    return true;
}

bool TestPattern::read(cv::Mat& frame) {
    std::this_thread::sleep_until(due_);
    due_ = std::max(due_ + std::chrono::microseconds(1'000'000 / framesPerSecond_),
                    std::chrono::steady_clock::now());
    // Drawn into the caller's last frame: a fresh picture a frame costs page faults at large
    // sizes.
    letGoIfShared(frame);
    frame.create(size_, CV_8UC3);
    draw(next_, frame);
    next_ = (next_ + 1) % 1000000;
    return true;
}

int TestPattern::squareSide(cv::Size size) {
    return std::max(2, std::min(size.height / 6, size.width / 2));
}

cv::Mat TestPattern::picture(int n, cv::Size size) {
    cv::Mat image(size, CV_8UC3);
    draw(n, image);
    return image;
}

void TestPattern::draw(int n, cv::Mat& image) {
    const int columns = image.cols;
    const int rows = image.rows;
    const cv::Size size = image.size();
    // Filled first: bars of a width not divisible by eight leave a strip at the right.
    image.setTo(bars.back());
    const int barWidth = columns / static_cast<int>(bars.size());
    for (int bar = 0; bar < static_cast<int>(bars.size()); ++bar)
        cv::rectangle(image, cv::Rect(bar * barWidth, 0, barWidth, rows), bars[bar], cv::FILLED);
    // Speeds and sizes scale with the picture, so it moves alike at every size.
    const int line = static_cast<int>((static_cast<long long>(n) * 4 * rows / height) % rows);
    cv::rectangle(image, cv::Rect(0, line, columns, std::max(1, rows * 3 / height)),
                  cv::Scalar(255, 255, 255), cv::FILLED);
    const int side = squareSide(size);
    const long long travel = 2LL * (columns - side);
    const long long step =
        travel > 0 ? (static_cast<long long>(n) * 6 * columns / width) % travel : 0;
    const int x = static_cast<int>(step < columns - side ? step : travel - step);
    cv::rectangle(image, cv::Rect(x, rows / 2 - side / 2, side, side), cv::Scalar(0, 128, 255),
                  cv::FILLED);
}

} // namespace platform
