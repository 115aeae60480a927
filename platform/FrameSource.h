#pragma once

#include <QString>

#include <opencv2/core/mat.hpp>

#include <memory>
#include <optional>

namespace platform {

// The settings a camera's property pages offer.
enum class CameraProperty {
    Brightness,
    Contrast,
    Saturation,
    Hue,
    Gain,
    Exposure,
    Width,
    Height,
    Rate
};

// Where pictures come from: an attached camera, a video file, a stream address, or the
// built-in moving test pattern.
struct CaptureSource {
    enum class Kind { Camera, File, Stream, TestPattern };
    Kind kind = Kind::TestPattern;
    // Device path, file name or address; empty for the test pattern.
    QString address;
    // What the selection dialog shows.
    QString label;
    // A camera's name and port, which stay when the system numbers its devices anew;
    // empty when unknown and for the other kinds.
    QString identity;

    bool operator==(const CaptureSource&) const = default;
};

// Reads "test", a camera number, a device path, a stream address (scheme://...) or a file.
CaptureSource parseCaptureSource(const QString& text);
// The text parseCaptureSource() reads back into the same source.
QString captureSourceText(const CaptureSource& source);

// The frame size and rate asked of a source at each start.
struct VideoFormat {
    int width = 352;
    int height = 288;
    double rate = 30.0;
};

// Why a source delivers no pictures, as far as it can tell.
enum class SourceFault { None, Busy, NotFound, PermissionDenied, UnsupportedFormat, Other };

// One source of pictures, read on the capture thread. The property calls may come from
// the GUI thread at any time and must be safe against a read in progress.
class FrameSource {
public:
    virtual ~FrameSource() = default;
    // Prepares the source; false when it cannot deliver pictures.
    virtual bool open() = 0;
    // Waits for the next picture, upright blue-green-red of any size; false when none came.
    virtual bool read(cv::Mat& frame) = 0;
    // Why the last open or read failed; None once pictures come. On the capture thread.
    virtual SourceFault fault() const { return SourceFault::None; }
    virtual std::optional<double> property(CameraProperty) { return std::nullopt; }
    virtual bool setProperty(CameraProperty, double) { return false; }
};

// The source that serves the description.
std::unique_ptr<FrameSource> makeFrameSource(const CaptureSource& source, VideoFormat requested);

} // namespace platform
