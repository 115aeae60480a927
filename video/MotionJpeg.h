#pragma once

#include "video/Dib.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace video {

// Turns bottom-up bitmaps into top-down JPEG pictures, keeping its encoder and buffers
// between frames.
class MotionJpeg {
public:
    static constexpr int quality = 90;

    MotionJpeg();
    ~MotionJpeg();
    MotionJpeg(MotionJpeg&&) noexcept;
    MotionJpeg& operator=(MotionJpeg&&) noexcept;

    // False when the encoder refuses the picture.
    bool encode(const DibSection& bitmap);
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }

private:
    struct Encoder;
    std::unique_ptr<Encoder> encoder_;
    std::vector<std::uint8_t> bytes_;
};

} // namespace video
