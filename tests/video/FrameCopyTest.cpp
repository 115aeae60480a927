#include "video/FrameSurface.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<std::uint8_t> bytesOf(const video::DibSection& picture) {
    return {picture.bits, picture.bits + picture.imageSize};
}

} // namespace

// A still is written and a recording started from the copy while the capture thread goes on
// painting the surface.
TEST(FrameCopy, KeepsThePictureAsItWasWhenTaken) {
    struct Case {
        int width, height;
    };
    for (const Case c : {Case{video::frameWidth, video::frameHeight}, Case{13, 7}}) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
        video::FrameSurface surface;
        std::vector<std::uint8_t> painted;
        {
            auto lock = surface.lock();
            surface.resize(c.width, c.height);
            for (std::size_t i = 0; i < surface.bytes(); ++i)
                surface.bits()[i] = static_cast<std::uint8_t>(i * 7 + 3);
            painted = bytesOf(surface.dib());
        }
        video::FrameCopy copy = surface.copy();
        {
            auto lock = surface.lock();
            surface.clear();
        }
        const video::DibSection picture = copy.dib();
        EXPECT_EQ(picture.width, c.width);
        EXPECT_EQ(picture.height, c.height);
        EXPECT_EQ(picture.bitsPerPixel, 24);
        EXPECT_EQ(picture.imageSize, video::dibRowSize(c.width, 24) * std::size_t(c.height));
        EXPECT_EQ(bytesOf(picture), painted);
        const video::FrameCopy moved = std::move(copy);
        EXPECT_EQ(bytesOf(moved.dib()), painted) << "a moved copy still owns its bytes";
    }
}
