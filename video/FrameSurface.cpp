#include "video/FrameSurface.h"

#include <QTransform>

namespace video {

FrameSurface::FrameSurface() : image_(frameWidth, frameHeight, QImage::Format_BGR888) {
    image_.fill(Qt::black);
}

DibSection FrameSurface::dib() const {
    return DibSection{frameWidth, frameHeight, 1, 24, image_.constBits(), frameBytes};
}

void FrameSurface::clear() {
    image_.fill(Qt::black);
}

QImage FrameSurface::picture() const {
    return image_.mirrored(false, true);
}

QTransform FrameSurface::uprightTransform() {
    return QTransform(1, 0, 0, -1, 0, frameHeight);
}

QImage uprightCopy(const std::uint8_t* bits, int width, int height) {
    const auto rowSize = static_cast<qsizetype>(dibRowSize(width, 24));
    return QImage(bits, width, height, rowSize, QImage::Format_BGR888).mirrored(false, true);
}

} // namespace video
