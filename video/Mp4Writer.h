#pragma once

#include "platform/Disk.h"
#include "video/Dib.h"
#include "video/Mp4Reader.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

using GstElement = struct _GstElement;
using GstBufferPool = struct _GstBufferPool;

namespace video {

// One H.264 recording in fragmented MP4: GStreamer's x264 encoder and MP4 muxer, whose output
// is written through the disk seam. A fragment closes every half second and a key frame
// comes every second, so a file cut off by a crash plays up to its last whole fragment. The first
// frame fixes the picture size; a frame of another size, or one the encoder has no room for, is
// refused. Frames are stamped by their number and the frame period, as in an AVI file.
// Not for the GUI or the capture thread: closing waits for the encoder to finish.
class Mp4Writer {
public:
    // Even sides, as the encoder's 4:2:0 pictures need, from 16 (its smallest) up.
    static constexpr int smallestSide = 16;
    static constexpr int widestFrame = 1920;
    static constexpr int tallestFrame = 1080;
    // At most this much time of frames waits for the encoder, and a frame waits at most this
    // long for room.
    static constexpr int queuedMs = 2000;

    // None when GStreamer lacks the encoder or the muxer. A non-positive frame period
    // declares 100 ms; periods are taken up to one hour.
    static std::unique_ptr<Mp4Writer> open(std::unique_ptr<platform::DiskFile> file,
                                           int framePeriodMs);
    ~Mp4Writer();
    Mp4Writer(const Mp4Writer&) = delete;
    Mp4Writer& operator=(const Mp4Writer&) = delete;

    // False when the frame is refused or the writer has failed.
    bool addFrame(const DibSection& frame);
    // Forces what the muxer has written so far onto the device.
    bool flush();
    // Ends the stream, waits for the last fragment and closes the file.
    bool close();

    bool failed() const { return failed_; }
    std::uint32_t framesAdded() const { return framesAdded_; }
    // Frames in the whole fragments written so far.
    std::uint32_t framesReadable() const;
    std::uint64_t bytesWritten() const;
    platform::DiskError diskError() const;

private:
    Mp4Writer(std::unique_ptr<platform::DiskFile> file, int framePeriodMs);
    bool start(const DibSection& frame);
    bool roomFor(std::size_t frameBytes) const;
    void write(const std::uint8_t* bytes, std::size_t size);
    bool fail();
    void stopPipeline();

    mutable std::mutex fileMutex_;
    std::unique_ptr<platform::DiskFile> file_;
    std::uint64_t bytesWritten_ = 0;
    Mp4FragmentCounter fragments_;
    int framePeriodMs_;
    int width_ = 0;
    int height_ = 0;
    GstElement* pipeline_ = nullptr;
    GstElement* source_ = nullptr;
    // The frames' buffers go round: a fresh multi-megabyte buffer a frame costs page faults.
    GstBufferPool* framePool_ = nullptr;
    std::uint32_t framesAdded_ = 0;
    std::atomic<bool> failed_ = false;
    bool closed_ = false;
};

} // namespace video
