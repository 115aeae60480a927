#pragma once

#include "platform/Disk.h"
#include "video/Dib.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>

namespace video {

using AviResult = std::uint32_t;

constexpr AviResult AVIERR_OK = 0;
constexpr AviResult AVIERR_BADFORMAT = 0x80044066;
constexpr AviResult AVIERR_BADPARAM = 0x8004406A;
constexpr AviResult AVIERR_BADSIZE = 0x8004406B;
constexpr AviResult AVIERR_BADHANDLE = 0x8004406C;
constexpr AviResult AVIERR_FILEWRITE = 0x8004406E;
constexpr AviResult AVIERR_COMPRESSOR = 0x80044070;
constexpr AviResult AVIERR_NOCOMPRESSOR = 0x80044071;
constexpr AviResult AVIERR_CANTCOMPRESS = 0x80044075;
constexpr AviResult AVIERR_ERROR = 0x800440C7;

constexpr std::uint32_t fourCc(const char (&code)[5]) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(code[0])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(code[1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(code[2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(code[3])) << 24;
}

constexpr std::uint32_t AVICOMPRESSF_VALID = 8;

// The compression request. Handler "DIB " (or 0) writes uncompressed frames; "wmv3" and
// "MJPG" write Motion-JPEG, since no WMV encoder exists here.
struct AviCompressOptions {
    std::uint32_t fccType = 0;
    std::uint32_t fccHandler = 0;
    std::uint32_t keyFrameEvery = 0;
    std::uint32_t quality = 0;
    std::uint32_t bytesPerSecond = 0;
    std::uint32_t flags = 0;
    std::uint32_t formatSize = 0;
    std::uint32_t parametersSize = 0;
    std::uint32_t interleaveEvery = 0;
};

// The options a recording with "Compresión" asks for.
constexpr AviCompressOptions wmv3Options() {
    AviCompressOptions options;
    options.fccHandler = fourCc("wmv3");
    options.flags = AVICOMPRESSF_VALID;
    options.parametersSize = 2976;
    return options;
}

class AviFile;
class MotionJpeg;

// One AVI file with one video stream. Frames go out as they come; the first frame is indexed
// at once and each later one indexes the waiting ones once flushPeriod has passed, and
// flushIndex does the same for a caller's timer, so a file cut off by a crash or a power cut
// plays up to its last index. Past 1 GiB the file continues in further RIFF lists (OpenDML).
// Any failed write sets failed() for good. Destroying an open writer closes it.
class AviWriter {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr Clock::duration flushPeriod = std::chrono::seconds(1);

    // None when the file cannot be created. A non-positive frame period declares 100 ms.
    static std::unique_ptr<AviWriter> open(const std::filesystem::path& fileName,
                                           int framePeriodMs);
    static std::unique_ptr<AviWriter> open(std::unique_ptr<platform::DiskFile> file,
                                           int framePeriodMs);
    ~AviWriter();
    AviWriter(const AviWriter&) = delete;
    AviWriter& operator=(const AviWriter&) = delete;

    AviResult setCompression(const DibSection* bitmap, const AviCompressOptions* options);
    AviResult addFrame(const DibSection* bitmap);
    // Forces the frames added since the last time onto the device, then their index, then
    // the headers that point at it, when some are waiting and flushPeriod has passed since
    // then (at once for the first frame).
    AviResult flushIndex();
    AviResult close();

    bool failed() const { return failed_; }
    std::uint32_t framesWritten() const;
    // Frames a reader finds in the file as it stands.
    std::uint32_t framesIndexed() const;
    std::uint64_t bytesWritten() const;
    platform::DiskError diskError() const;

private:
    AviWriter(std::unique_ptr<AviFile> file, int framePeriodMs);

    AviResult fail(AviResult result);
    AviResult check(AviResult result);
    AviResult begin(const DibSection& bitmap, bool motionJpeg);
    AviResult writeFrame(const DibSection& bitmap);

    std::unique_ptr<AviFile> file_;
    std::unique_ptr<MotionJpeg> jpeg_;
    std::uint32_t framePeriodMs_;
    Clock::time_point lastIndex_;
    bool failed_ = false;
    bool closed_ = false;
};

// The writer operations as the main window calls them; a null writer gives AVIERR_BADHANDLE,
// a null or incomplete bitmap AVIERR_BADPARAM, a failed writer AVIERR_ERROR.
std::unique_ptr<AviWriter> OpenVideoWriter(const std::filesystem::path& fileName,
                                           int framePeriodMs);
AviResult SetVideoCompression(AviWriter* writer, const DibSection* bitmap,
                              const AviCompressOptions* options);
AviResult AddVideoFrame(AviWriter* writer, const DibSection* bitmap);
AviResult CloseVideoWriter(std::unique_ptr<AviWriter> writer);

} // namespace video
