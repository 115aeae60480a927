#pragma once

#include "platform/FrameSource.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace platform {

// Runs one frame source on threads of its own and delivers each picture as 352 x 288,
// three bytes per pixel blue-green-red, rows packed, bottom row first. Only the newest
// picture waits for delivery; older ones are dropped. A source that delivers nothing for a
// second is reported as stalled. Start and stop belong to one thread (the GUI thread).
class Capture {
public:
    static constexpr int width = 352;
    static constexpr int height = 288;

    // Called on the delivery thread, never after stop() returns.
    using FrameHandler = std::function<void(const std::uint8_t* bits, int width, int height)>;
    // Called on the delivery thread once each time pictures stop coming.
    using StallHandler = std::function<void()>;

    explicit Capture(FrameHandler frames, StallHandler stalled = {});
    ~Capture();
    Capture(const Capture&) = delete;
    Capture& operator=(const Capture&) = delete;

    void start(std::unique_ptr<FrameSource> source);
    void stop();
    bool running() const { return source_ != nullptr; }
    // The running source, for its property pages; null when stopped.
    FrameSource* source() const { return source_.get(); }

private:
    void grab();
    void deliver();
    bool stopping();

    FrameHandler frames_;
    StallHandler stalled_;
    std::unique_ptr<FrameSource> source_;
    std::mutex mutex_;
    std::condition_variable changed_;
    cv::Mat latest_;
    bool fresh_ = false;
    bool stopping_ = false;
    std::thread grabber_;
    std::thread deliverer_;
};

// Brings a picture of any size to the delivered layout; empty for one it cannot read.
cv::Mat toDeliveredLayout(const cv::Mat& picture);

} // namespace platform
