#pragma once

#include "video/Dib.h"

#include <QImage>

#include <cstdint>
#include <mutex>
#include <vector>

namespace video {

constexpr int frameWidth = 352;
constexpr int frameHeight = 288;
constexpr std::size_t frameRowSize = dibRowSize(frameWidth, 24);
constexpr std::size_t frameBytes = frameRowSize * frameHeight;

// A picture that owns its bytes: what a still or a recording's first frame is made from once
// the surface's lock is released.
class FrameCopy {
public:
    explicit FrameCopy(const DibSection& picture);
    // Points into the copy; valid while it lives.
    DibSection dib() const;

private:
    DibSection shape_;
    std::vector<std::uint8_t> bytes_;
};

// The processed picture: 352 x 288 (or the source's own size once the pipeline takes such
// frames), three bytes per pixel blue-green-red, rows padded to four bytes, bottom row first
// in memory. The capture thread paints it and the GUI thread saves it, each under lock();
// only the capture thread changes its size.
class FrameSurface {
public:
    FrameSurface();

    std::unique_lock<std::mutex> lock() { return std::unique_lock(mutex_); }

    // Hold the lock while using any of these.
    std::uint8_t* bits() { return image_.bits(); }
    const std::uint8_t* bits() const { return image_.constBits(); }
    int width() const { return image_.width(); }
    int height() const { return image_.height(); }
    std::size_t bytes() const { return dibRowSize(width(), 24) * std::size_t(height()); }
    DibSection dib() const;
    // Takes the lock itself, only for as long as the bytes are copied.
    FrameCopy copy();
    // The memory rows as an image: row 0 is the bottom row of the picture. Paint it
    // through upright() to draw the picture the right way up.
    QImage& rows() { return image_; }
    // An upright copy of the picture.
    QImage picture() const;
    // Black, as before the first frame.
    void clear();
    // Black at the new size; on the capture thread only.
    void resize(int width, int height);

    // Maps picture coordinates (y down from the top row) onto the memory rows.
    QTransform upright() const { return uprightTransform(height()); }
    static QTransform uprightTransform(int height = frameHeight);

private:
    std::mutex mutex_;
    QImage image_;
};

// The largest size of the picture's aspect that fits in the box, each side at least 1.
QSize fittedSize(QSize picture, QSize box);

// Copies bottom-row-first blue-green-red rows upright into into's own memory when it is of
// their size and held nowhere else, else into a fresh image.
void copyUpright(const QImage& rows, QImage& into);
// Smooth averages over the rows when it shrinks them; Nearest repeats and drops whole pixels.
enum class Scaling { Smooth, Nearest };
// Bottom-row-first blue-green-red rows scaled to a size and set upright.
QImage scaledUpright(const QImage& rows, QSize size, Scaling scaling = Scaling::Smooth);
// The picture in the screen's own pixel layout, so that painting it is a plain copy.
QImage forScreen(const QImage& picture);

} // namespace video
