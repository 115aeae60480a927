#include "platform/Capture.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <chrono>

namespace platform {

namespace {

constexpr auto stallTime = std::chrono::seconds(1);
constexpr auto retryPause = std::chrono::milliseconds(50);

} // namespace

Capture::Capture(FrameHandler frames, StallHandler stalled)
    : frames_(std::move(frames)), stalled_(std::move(stalled)) {}

Capture::~Capture() {
    stop();
}

void Capture::start(std::unique_ptr<FrameSource> source) {
    stop();
    if (!source)
        return;
    source_ = std::move(source);
    stopping_ = false;
    fresh_ = false;
    grabber_ = std::thread([this] { grab(); });
    deliverer_ = std::thread([this] { deliver(); });
}

void Capture::stop() {
    if (!source_)
        return;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    deliverer_.join();
    grabber_.join();
    source_.reset();
    latest_.release();
}

bool Capture::stopping() {
    std::lock_guard lock(mutex_);
    return stopping_;
}

void Capture::grab() {
    const bool opened = source_->open();
    cv::Mat picture;
    while (!stopping()) {
        if (!opened || !source_->read(picture) || picture.empty()) {
            std::unique_lock lock(mutex_);
            changed_.wait_for(lock, retryPause, [this] { return stopping_; });
            continue;
        }
        cv::Mat delivered = toDeliveredLayout(picture);
        if (delivered.empty())
            continue;
        {
            std::lock_guard lock(mutex_);
            cv::swap(latest_, delivered);
            fresh_ = true;
        }
        changed_.notify_all();
    }
}

void Capture::deliver() {
    cv::Mat current;
    bool stallReported = false;
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        if (!changed_.wait_for(lock, stallTime, [this] { return fresh_ || stopping_; })) {
            if (!stallReported && stalled_) {
                stallReported = true;
                lock.unlock();
                stalled_();
                lock.lock();
            }
            continue;
        }
        if (stopping_)
            break;
        cv::swap(current, latest_);
        fresh_ = false;
        stallReported = false;
        lock.unlock();
        frames_(current.data, current.cols, current.rows);
        lock.lock();
    }
}

cv::Mat toDeliveredLayout(const cv::Mat& picture) {
    if (picture.empty() || picture.dims != 2 ||
        (picture.channels() != 1 && picture.channels() != 3 && picture.channels() != 4))
        return {};
    cv::Mat colour;
    if (picture.channels() == 1)
        cv::cvtColor(picture, colour, cv::COLOR_GRAY2BGR);
    else if (picture.channels() == 4)
        cv::cvtColor(picture, colour, cv::COLOR_BGRA2BGR);
    else
        colour = picture;
    if (colour.depth() != CV_8U)
        colour.convertTo(colour, CV_8U);
    cv::Mat sized;
    if (colour.cols != Capture::width || colour.rows != Capture::height)
        cv::resize(colour, sized, cv::Size(Capture::width, Capture::height), 0, 0, cv::INTER_AREA);
    else
        sized = colour;
    cv::Mat delivered;
    cv::flip(sized, delivered, 0);
    return delivered;
}

} // namespace platform
