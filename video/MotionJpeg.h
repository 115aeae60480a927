#pragma once

#include "video/Dib.h"

#include <opencv2/core.hpp>

#include <cstdint>
#include <vector>

namespace video {

// Turns bottom-up bitmaps into top-down JPEG pictures, keeping its buffers between frames.
class MotionJpeg {
public:
    static constexpr int quality = 90;

    // False when the encoder refuses the picture.
    bool encode(const DibSection& bitmap);
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }

private:
    cv::Mat topDown_;
    std::vector<std::uint8_t> bytes_;
};

} // namespace video
