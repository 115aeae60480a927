#include "platform/Capture.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace platform {

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto stallTime = std::chrono::seconds(1);
constexpr auto readPause = std::chrono::milliseconds(20);
constexpr auto openRetry = std::chrono::seconds(2);
// How long the end of the program waits for sources still closing before leaving them.
constexpr auto closingWaitAtExit = std::chrono::milliseconds(200);

} // namespace

// What one run's grabbing and delivering threads share. The grabbing thread holds it too,
// so it may outlive the Capture's interest in that run.
struct Capture::Exchange {
    std::mutex mutex;
    std::condition_variable changed;
    cv::Mat latest;
    bool fresh = false;
    bool stopping = false;
    bool finished = false;
    SourceFault fault = SourceFault::None;

    // From the grabbing thread: the source's reason, news only when it changed.
    void noteFault(SourceFault now) {
        {
            std::lock_guard lock(mutex);
            if (fault == now)
                return;
            fault = now;
        }
        changed.notify_all();
    }

    // Waits the pause out unless the run stops; true when it stops.
    bool pauseUnlessStopped(Clock::duration pause) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, pause, [this] { return stopping; });
    }
};

Capture::Capture(FrameHandler frames, StallHandler stalled, ResumeHandler resumed,
                 FaultHandler faulted)
    : frames_(std::move(frames)), stalled_(std::move(stalled)), resumed_(std::move(resumed)),
      faulted_(std::move(faulted)) {}

Capture::~Capture() {
    stop();
    const Clock::time_point deadline = Clock::now() + closingWaitAtExit;
    for (Grabber& grabber : closing_) {
        std::unique_lock lock(grabber.exchange->mutex);
        const bool finished = grabber.exchange->changed.wait_until(
            lock, deadline, [&] { return grabber.exchange->finished; });
        lock.unlock();
        if (finished)
            grabber.thread.join();
        else
            grabber.thread.detach();
    }
}

void Capture::start(std::unique_ptr<FrameSource> source, PictureSize size) {
    stop();
    if (!source)
        return;
    source_ = source.get();
    exchange_ = std::make_shared<Exchange>();
    grabber_ = std::thread(&Capture::grab, exchange_, std::move(source), size);
    deliverer_ = std::thread([this, exchange = exchange_] { deliver(exchange); });
}

void Capture::stop() {
    if (!exchange_)
        return;
    {
        std::lock_guard lock(exchange_->mutex);
        exchange_->stopping = true;
    }
    exchange_->changed.notify_all();
    // The deliverer waits only on the exchange and on a frame handler already running.
    deliverer_.join();
    closing_.push_back({std::move(grabber_), std::move(exchange_)});
    exchange_.reset();
    source_ = nullptr;
    joinFinished();
}

int Capture::closing() {
    joinFinished();
    return static_cast<int>(closing_.size());
}

void Capture::joinFinished() {
    std::erase_if(closing_, [](Grabber& grabber) {
        std::unique_lock lock(grabber.exchange->mutex);
        if (!grabber.exchange->finished)
            return false;
        lock.unlock();
        grabber.thread.join();
        return true;
    });
}

void Capture::grab(const std::shared_ptr<Exchange>& exchange, std::unique_ptr<FrameSource> source,
                   PictureSize size) {
    bool opened = false;
    cv::Mat picture;
    // The frame the deliverer is done with, drawn over again: no fresh buffer a frame.
    cv::Mat spare;
    while (true) {
        {
            std::lock_guard lock(exchange->mutex);
            if (exchange->stopping)
                break;
        }
        if (!opened) {
            opened = source->open();
            if (!opened) {
                exchange->noteFault(source->fault());
                exchange->pauseUnlessStopped(openRetry);
            }
            continue;
        }
        if (!source->read(picture) || picture.empty()) {
            exchange->noteFault(source->fault());
            exchange->pauseUnlessStopped(readPause);
            continue;
        }
        cv::Mat delivered = toDeliveredLayout(picture, size, std::move(spare));
        if (delivered.empty())
            continue;
        {
            std::lock_guard lock(exchange->mutex);
            cv::swap(exchange->latest, delivered);
            exchange->fresh = true;
            exchange->fault = SourceFault::None;
        }
        spare = std::move(delivered);
        exchange->changed.notify_all();
    }
    // Closing a stalled device or stream may take its time; nobody waits for it here.
    source.reset();
    {
        std::lock_guard lock(exchange->mutex);
        exchange->finished = true;
    }
    exchange->changed.notify_all();
}

void Capture::deliver(const std::shared_ptr<Exchange>& exchange) {
    cv::Mat current;
    bool stallReported = false;
    SourceFault faultReported = SourceFault::None;
    std::unique_lock lock(exchange->mutex);
    while (!exchange->stopping) {
        const bool woken = exchange->changed.wait_for(lock, stallTime, [&] {
            return exchange->fresh || exchange->stopping || exchange->fault != faultReported;
        });
        if (exchange->stopping)
            break;
        if (exchange->fault != faultReported) {
            faultReported = exchange->fault;
            lock.unlock();
            if (faulted_)
                faulted_(faultReported);
            lock.lock();
            if (!exchange->fresh)
                continue;
        }
        if (!woken) {
            if (!stallReported) {
                stallReported = true;
                lock.unlock();
                if (stalled_)
                    stalled_();
                lock.lock();
            }
            continue;
        }
        cv::swap(current, exchange->latest);
        exchange->fresh = false;
        lock.unlock();
        if (stallReported && resumed_)
            resumed_();
        stallReported = false;
        frames_(current.data, current.cols, current.rows);
        lock.lock();
    }
}

cv::Mat toDeliveredLayout(const cv::Mat& picture, PictureSize size, cv::Mat spare) {
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
    const cv::Size wanted = size == PictureSize::Standard
                                ? cv::Size(Capture::width, Capture::height)
                                : ownSizeWithinBounds(colour.size());
    cv::Mat sized;
    if (colour.size() != wanted)
        cv::resize(colour, sized, wanted, 0, 0, cv::INTER_AREA);
    else
        sized = colour;
    letGoIfShared(spare);
    cv::flip(sized, spare, 0);
    return spare;
}

} // namespace platform
