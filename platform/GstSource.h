#pragma once

#include "platform/FrameSource.h"

#include <chrono>
#include <map>
#include <memory>
#include <mutex>

typedef struct _GError GError;
typedef struct _GstStructure GstStructure;

namespace platform {

// Initialises GStreamer once for the process; safe from any thread.
void initGstreamer();

// The reason an error on a pipeline's bus gives, from its domain and code and, for an
// element whose stream stopped, the flow return in its details (which may be null).
SourceFault sourceFault(const GError& error, const GstStructure* details);

// A camera (v4l2src), a video file or a stream address (uridecodebin) through a GStreamer
// pipeline that ends in one appsink keeping only the newest picture, converted to 352 x 288
// blue-green-red (or kept at its own size, up to 1920 x 1080). Errors and end of stream come from
// the pipeline's bus; a source that fails or stays silent is built again every retryTime.
// Everything that touches the pipeline runs on the capture thread: the property calls only read a
// copy of the values and leave changes for that thread to apply.
class GstSource final : public FrameSource {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr auto retryTime = std::chrono::seconds(2);
    static constexpr auto pullWait = std::chrono::milliseconds(40);

    GstSource(CaptureSource source, VideoFormat requested,
              PictureSize size = PictureSize::Standard);
    ~GstSource() override;
    GstSource(const GstSource&) = delete;
    GstSource& operator=(const GstSource&) = delete;

    bool open() override;
    bool read(cv::Mat& frame) override;
    SourceFault fault() const override { return fault_; }
    std::optional<double> property(CameraProperty property) override;
    bool setProperty(CameraProperty property, double value) override;
    std::optional<VideoFormat> chosenFormat() const override;

private:
    struct Pipeline;
    bool build();
    void checkBus();
    void applyPending();
    void readControls();
    bool retryDue(Clock::time_point now) const;

    CaptureSource source_;
    const VideoFormat requested_;
    VideoFormat format_;
    PictureSize size_;
    std::unique_ptr<Pipeline> pipeline_;
    bool failed_ = false;
    SourceFault fault_ = SourceFault::None;
    Clock::time_point builtAt_{};
    Clock::time_point lastPicture_{};

    mutable std::mutex valuesMutex_;
    std::map<CameraProperty, double> values_;
    std::map<CameraProperty, double> pending_;
    std::optional<VideoFormat> chosen_;
};

} // namespace platform
