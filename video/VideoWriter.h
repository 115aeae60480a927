#pragma once

#include "platform/Disk.h"
#include "video/Dib.h"
#include "video/VideoFormat.h"

#include <cstdint>
#include <memory>

namespace video {

// The file a recording writes, whatever its format. Used on one thread only (the recording's
// worker).
class VideoWriter {
public:
    virtual ~VideoWriter() = default;

    // Sets the encoder up from a picture like the frames to come, before the first frame.
    virtual bool setUpFrom(const DibSection& frame) = 0;
    virtual bool addFrame(const DibSection& frame) = 0;
    // Forces what was written onto the device, at most once a second.
    virtual void flush() = 0;
    virtual bool close() = 0;

    virtual bool failed() const = 0;
    virtual std::uint32_t framesWritten() const = 0;
    // Frames a reader finds in the file as it stands.
    virtual std::uint32_t framesReadable() const = 0;
    virtual std::uint64_t bytesWritten() const = 0;
    virtual platform::DiskError diskError() const = 0;
};

// None when the file is missing or the format's encoder is. AVI frames are Motion-JPEG when
// compress is set, as "Compresión" asks; MP4 is always H.264.
std::unique_ptr<VideoWriter> openVideoWriter(VideoFormat format,
                                             std::unique_ptr<platform::DiskFile> file,
                                             int framePeriodMs, bool compress);

} // namespace video
