#include "video/MotionJpeg.h"

#include <turbojpeg.h>

namespace video {

struct MotionJpeg::Encoder {
    Encoder() : handle(tjInitCompress()) {}
    ~Encoder() {
        if (handle)
            tjDestroy(handle);
    }
    Encoder(const Encoder&) = delete;
    Encoder& operator=(const Encoder&) = delete;

    tjhandle handle;
};

MotionJpeg::MotionJpeg() : encoder_(std::make_unique<Encoder>()) {}
MotionJpeg::~MotionJpeg() = default;
MotionJpeg::MotionJpeg(MotionJpeg&&) noexcept = default;
MotionJpeg& MotionJpeg::operator=(MotionJpeg&&) noexcept = default;

// TurboJPEG reads the bottom-up rows in place; the output buffer is sized for the worst
// case once, so no frame reallocates.
bool MotionJpeg::encode(const DibSection& bitmap) {
    if (!encoder_ || !encoder_->handle || !bitmap.bits || bitmap.width <= 0 || bitmap.height <= 0 ||
        bitmap.bitsPerPixel != 24)
        return false;
    const std::size_t pitch = dibRowSize(bitmap.width, bitmap.bitsPerPixel);
    if (bitmap.imageSize < pitch * static_cast<std::size_t>(bitmap.height))
        return false;
    const unsigned long bound = tjBufSize(bitmap.width, bitmap.height, TJSAMP_420);
    if (bound == static_cast<unsigned long>(-1))
        return false;
    bytes_.resize(bound);
    unsigned char* out = bytes_.data();
    unsigned long size = bound;
    const int failed = tjCompress2(encoder_->handle, bitmap.bits, bitmap.width,
                                   static_cast<int>(pitch), bitmap.height, TJPF_BGR, &out, &size,
                                   TJSAMP_420, quality, TJFLAG_BOTTOMUP | TJFLAG_NOREALLOC);
    if (failed) {
        bytes_.clear();
        return false;
    }
    bytes_.resize(size);
    return true;
}

} // namespace video
