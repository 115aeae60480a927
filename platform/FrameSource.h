#pragma once

#include <QString>

#include <opencv2/core/mat.hpp>

#include <memory>
#include <optional>

namespace platform {

// Pictures at their own size (the test pattern at a size, a source delivered as it comes)
// stay within these bounds, with even sides, which every writer takes.
constexpr int smallestSide = 16;
constexpr int largestWidth = 1920;
constexpr int largestHeight = 1080;

bool withinPictureBounds(int width, int height);
// The size a picture of the given size is delivered at when kept at its own size: scaled
// down keeping its aspect when larger than the bounds, sides made even and at least 16.
cv::Size ownSizeWithinBounds(cv::Size source);

// Lets a frame's memory be drawn over again: a frame still held elsewhere is let go instead.
inline void letGoIfShared(cv::Mat& frame) {
    if (frame.u && frame.u->refcount > 1)
        frame.release();
}

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
    // Device path, file name or address; for the test pattern its size as "WxH", empty for
    // the standard 352 x 288.
    QString address;
    // What the selection dialog shows.
    QString label;
    // A camera's name and port, which stay when the system numbers its devices anew;
    // empty when unknown and for the other kinds.
    QString identity;

    bool operator==(const CaptureSource&) const = default;
};

// Reads "test", "test:WxH", "test:WxH@R", a camera number, a device path, a stream address
// (scheme://...) or a file. A test pattern at a size out of bounds is read as the standard one;
// captureSourceProblem() tells the operator why.
CaptureSource parseCaptureSource(const QString& text);
// Why a source text cannot be used, in the operator's words; empty when it can.
QString captureSourceProblem(const QString& text);
// The size a test pattern text asks for: 352 x 288 for "test"; none for a text that is not
// a test pattern or asks for a size out of bounds.
std::optional<cv::Size> testPatternSize(const QString& text);
// The frames a second a test pattern text asks for ("test:WxH@R", R from 1 to 60); 25 when
// it names none or is out of bounds.
int testPatternRate(const QString& text);
// The text parseCaptureSource() reads back into the same source.
QString captureSourceText(const CaptureSource& source);

// The frame size and rate asked of a source at each start.
struct VideoFormat {
    int width = 352;
    int height = 288;
    double rate = 30.0;
};

// The size pictures are delivered at: 352 x 288, as always, or the source's own size within
// the bounds above.
enum class PictureSize { Standard, Own };

// The format a source is first asked for: 352 x 288, or at its own size the largest within
// the bounds; either way at 30 a second, and a camera may answer with any other it has.
VideoFormat startFormat(PictureSize size);

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
    // The format last chosen through setProperty, applied or not yet; nothing when none was.
    virtual std::optional<VideoFormat> chosenFormat() const { return std::nullopt; }
};

// The source that serves the description, giving pictures of the size asked for or larger.
std::unique_ptr<FrameSource> makeFrameSource(const CaptureSource& source, VideoFormat requested,
                                             PictureSize size = PictureSize::Standard);

} // namespace platform
