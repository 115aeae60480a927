#include "video/MotionJpeg.h"

#include <opencv2/imgcodecs.hpp>

namespace video {

bool MotionJpeg::encode(const DibSection& bitmap) {
    try {
        const cv::Mat bottomUp(bitmap.height, bitmap.width, CV_8UC3,
                               const_cast<std::uint8_t*>(bitmap.bits),
                               dibRowSize(bitmap.width, bitmap.bitsPerPixel));
        cv::flip(bottomUp, topDown_, 0);
        return cv::imencode(".jpg", topDown_, bytes_, {cv::IMWRITE_JPEG_QUALITY, quality});
    } catch (const cv::Exception&) {
        return false;
    }
}

} // namespace video
