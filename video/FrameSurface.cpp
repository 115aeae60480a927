#include "video/FrameSurface.h"

#include <QTransform>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace video {

FrameSurface::FrameSurface() : image_(frameWidth, frameHeight, QImage::Format_BGR888) {
    image_.fill(Qt::black);
}

DibSection FrameSurface::dib() const {
    return DibSection{width(), height(), 1, 24, image_.constBits(), bytes()};
}

FrameCopy FrameSurface::copy() {
    auto held = lock();
    return FrameCopy(dib());
}

FrameCopy::FrameCopy(const DibSection& picture)
    : shape_(picture), bytes_(picture.bits, picture.bits + picture.imageSize) {}

DibSection FrameCopy::dib() const {
    DibSection picture = shape_;
    picture.bits = bytes_.data();
    return picture;
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

namespace {

cv::Mat matOf(const QImage& image) {
    return cv::Mat(image.height(), image.width(), CV_8UC3, const_cast<uchar*>(image.constBits()),
                   static_cast<std::size_t>(image.bytesPerLine()));
}

} // namespace

void copyUpright(const QImage& rows, QImage& into) {
    // A fresh image rather than Qt's copy on write: every row is written anyway.
    if (into.size() != rows.size() || into.format() != QImage::Format_BGR888 || !into.isDetached())
        into = QImage(rows.size(), QImage::Format_BGR888);
    const auto rowBytes = static_cast<std::size_t>(rows.width()) * 3;
    for (int row = 0; row < rows.height(); ++row)
        std::memcpy(into.scanLine(row), rows.constScanLine(rows.height() - 1 - row), rowBytes);
}

// OpenCV's area averaging: Qt's smooth scaling first converts a 24-bit picture to 32 bits.
QImage scaledUpright(const QImage& rows, QSize size, Scaling scaling) {
    if (rows.isNull() || size.isEmpty())
        return {};
    const bool shrinks = size.width() < rows.width() || size.height() < rows.height();
    const int interpolation = scaling == Scaling::Nearest ? cv::INTER_NEAREST_EXACT
                              : shrinks                   ? cv::INTER_AREA
                                                          : cv::INTER_LINEAR;
    cv::Mat scaled;
    cv::resize(matOf(rows), scaled, cv::Size(size.width(), size.height()), 0, 0, interpolation);
    QImage upright(size, QImage::Format_BGR888);
    cv::Mat into = matOf(upright);
    cv::flip(scaled, into, 0);
    return upright;
}

QImage forScreen(const QImage& picture) {
    if (picture.format() != QImage::Format_BGR888)
        return picture;
    QImage screen(picture.size(), QImage::Format_RGB32);
    cv::Mat into(screen.height(), screen.width(), CV_8UC4, screen.bits(),
                 static_cast<std::size_t>(screen.bytesPerLine()));
    cv::cvtColor(matOf(picture), into, cv::COLOR_BGR2BGRA);
    return screen;
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
