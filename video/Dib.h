#pragma once

#include <cstddef>
#include <cstdint>

namespace video {

// What the writers read of a device-independent bitmap: a 24-bit surface, rows padded to
// four bytes, bottom row first, pixels blue, green, red. The bytes belong to the caller
// and stay valid only for the call they are handed to.
struct DibSection {
    int width = 0;
    int height = 0;
    int planes = 1;
    int bitsPerPixel = 24;
    const std::uint8_t* bits = nullptr;
    std::size_t imageSize = 0;
};

// Row size of a bitmap row padded to a multiple of four bytes.
constexpr std::size_t dibRowSize(int width, int bitsPerPixel) {
    return ((static_cast<std::size_t>(bitsPerPixel) * static_cast<std::size_t>(width) + 31) / 32) *
           4;
}

// Where the frame pipeline hands each finished frame while a recording runs. Called on the
// capture thread with the surface locked.
class FrameSink {
public:
    virtual ~FrameSink() = default;
    virtual void addFrame(const DibSection& frame) = 0;
};

} // namespace video
