#pragma once

#include "video/Dib.h"

namespace video {

// Largest frame side the writers accept; keeps every size computed from a frame well inside
// 32-bit file fields.
constexpr int maxDibSide = 8192;

// Bytes of pixel rows a bitmap holds: row size times height.
constexpr std::size_t dibPixelBytes(const DibSection& dib) {
    return dibRowSize(dib.width, dib.bitsPerPixel) * static_cast<std::size_t>(dib.height);
}

// A 24-bit, single-plane, bottom-up bitmap of a bounded size whose pixels are all there.
bool isCompleteDib(const DibSection& dib);

} // namespace video
