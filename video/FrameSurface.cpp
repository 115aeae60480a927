#include "video/FrameSurface.h"

#include <QTransform>

#include <algorithm>
#include <cmath>

namespace video {

FrameSurface::FrameSurface() : image_(frameWidth, frameHeight, QImage::Format_BGR888) {
    image_.fill(Qt::black);
}

DibSection FrameSurface::dib() const {
    return DibSection{width(), height(), 1, 24, image_.constBits(), bytes()};
}

void FrameSurface::clear() {
    image_.fill(Qt::black);
}

void FrameSurface::resize(int width, int height) {
    image_ = QImage(width, height, QImage::Format_BGR888);
    image_.fill(Qt::black);
}

QImage FrameSurface::picture() const {
    return image_.mirrored(false, true);
}

QTransform FrameSurface::uprightTransform(int height) {
    return QTransform(1, 0, 0, -1, 0, height);
}

QImage uprightCopy(const std::uint8_t* bits, int width, int height) {
    const auto rowSize = static_cast<qsizetype>(width) * 3;
    return QImage(bits, width, height, rowSize, QImage::Format_BGR888).mirrored(false, true);
}

QSize fittedSize(QSize picture, QSize box) {
    if (picture.isEmpty() || box.isEmpty())
        return {};
    const double scale =
        std::min(double(box.width()) / picture.width(), double(box.height()) / picture.height());
    return {std::clamp(static_cast<int>(std::lround(picture.width() * scale)), 1, box.width()),
            std::clamp(static_cast<int>(std::lround(picture.height() * scale)), 1, box.height())};
}

} // namespace video
