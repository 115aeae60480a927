#pragma once

#include "platform/FrameSource.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace platform {

// Runs one frame source on threads of its own and delivers each picture as 352 x 288 (or at
// its own size within the bounds, see PictureSize), three bytes per pixel blue-green-red,
// rows packed, bottom row first. Only the newest
// picture waits for delivery; older ones are dropped. A source that delivers nothing for a
// second is reported as stalled, and as resumed when pictures come again. Start and stop
// belong to one thread (the GUI thread) and never wait on the source: a source still busy
// in a read or an open at the stop is left to finish and close on its own thread.
class Capture {
public:
    static constexpr int width = 352;
    static constexpr int height = 288;

    // Called on the delivery thread, never after stop() returns.
    using FrameHandler = std::function<void(const std::uint8_t* bits, int width, int height)>;
    // Called on the delivery thread once each time pictures stop coming, and once each
    // time they come again after that.
    using StallHandler = std::function<void()>;
    using ResumeHandler = std::function<void()>;
    // Called on the delivery thread each time the source's reason for giving no pictures
    // changes, None again once pictures come.
    using FaultHandler = std::function<void(SourceFault)>;

    explicit Capture(FrameHandler frames, StallHandler stalled = {}, ResumeHandler resumed = {},
                     FaultHandler faulted = {});
    ~Capture();
    Capture(const Capture&) = delete;
    Capture& operator=(const Capture&) = delete;

    void start(std::unique_ptr<FrameSource> source, PictureSize size = PictureSize::Standard);
    void stop();
    bool running() const { return source_ != nullptr; }
    // The running source, for its property pages; null when stopped.
    FrameSource* source() const { return source_; }
    // Sources stopped whose thread has not finished closing them yet.
    int closing();

private:
    struct Exchange;
    struct Grabber {
        std::thread thread;
        std::shared_ptr<Exchange> exchange;
    };

    static void grab(const std::shared_ptr<Exchange>& exchange, std::unique_ptr<FrameSource> source,
                     PictureSize size);
    void deliver(const std::shared_ptr<Exchange>& exchange);
    void joinFinished();

    FrameHandler frames_;
    StallHandler stalled_;
    ResumeHandler resumed_;
    FaultHandler faulted_;
    FrameSource* source_ = nullptr;
    std::shared_ptr<Exchange> exchange_;
    std::thread grabber_;
    std::thread deliverer_;
    std::vector<Grabber> closing_;
};

// Brings a picture of any size to the delivered layout; empty for one it cannot read.
// Drawn into spare's memory when it is of the delivered size and held nowhere else.
cv::Mat toDeliveredLayout(const cv::Mat& picture, PictureSize size = PictureSize::Standard,
                          cv::Mat spare = {});

} // namespace platform
