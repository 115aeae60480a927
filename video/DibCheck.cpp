#include "video/DibCheck.h"

namespace video {

bool isCompleteDib(const DibSection& dib) {
    return dib.width >= 1 && dib.width <= maxDibSide && dib.height >= 1 &&
           dib.height <= maxDibSide && dib.planes == 1 && dib.bitsPerPixel == 24 &&
           dib.bits != nullptr && dib.imageSize >= dibPixelBytes(dib);
}

} // namespace video
