#include "video/MotionJpeg.h"

#include <turbojpeg.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

// A bitmap whose bottom memory row is white and the rest black: the top of the picture
// is dark and its last row bright.
std::vector<std::uint8_t> bottomRowWhite(int width, int height) {
    std::vector<std::uint8_t> bits(video::dibRowSize(width, 24) * static_cast<std::size_t>(height));
    std::fill(bits.begin(), bits.begin() + static_cast<long>(video::dibRowSize(width, 24)), 255);
    return bits;
}

// The decoded picture, top row first, three bytes per pixel.
std::vector<std::uint8_t> decode(const std::vector<std::uint8_t>& jpeg, int& width, int& height) {
    tjhandle handle = tjInitDecompress();
    int subsampling = 0;
    int colours = 0;
    std::vector<std::uint8_t> pixels;
    if (tjDecompressHeader3(handle, jpeg.data(), jpeg.size(), &width, &height, &subsampling,
                            &colours) == 0) {
        pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
        if (tjDecompress2(handle, jpeg.data(), jpeg.size(), pixels.data(), width, 0, height,
                          TJPF_BGR, 0) != 0)
            pixels.clear();
    }
    tjDestroy(handle);
    return pixels;
}

} // namespace

TEST(MotionJpeg, BottomUpBitmapsBecomeUprightPicturesOfTheirSize) {
    video::MotionJpeg encoder;
    // 350 is not a multiple of four: its rows carry padding.
    for (const int width : {352, 350}) {
        std::vector<std::uint8_t> bits = bottomRowWhite(width, 288);
        const video::DibSection frame{width, 288, 1, 24, bits.data(), bits.size()};
        ASSERT_TRUE(encoder.encode(frame)) << width;
        int decodedWidth = 0;
        int decodedHeight = 0;
        const std::vector<std::uint8_t> picture =
            decode(encoder.bytes(), decodedWidth, decodedHeight);
        ASSERT_EQ(decodedWidth, width);
        ASSERT_EQ(decodedHeight, 288);
        ASSERT_FALSE(picture.empty());
        const std::size_t lastRow = static_cast<std::size_t>(287 * width * 3);
        EXPECT_GT(picture[lastRow + 30], 200) << "the bottom memory row is the last picture row";
        EXPECT_LT(picture[30], 50) << "and the first picture row is dark";
    }
}

TEST(MotionJpeg, RefusesBitmapsItCannotReadWhole) {
    video::MotionJpeg encoder;
    std::vector<std::uint8_t> bits = bottomRowWhite(352, 288);
    const video::DibSection whole{352, 288, 1, 24, bits.data(), bits.size()};
    EXPECT_TRUE(encoder.encode(whole));
    EXPECT_FALSE(encoder.bytes().empty());
    video::DibSection shortBy1 = whole;
    shortBy1.imageSize = bits.size() - 1;
    EXPECT_FALSE(encoder.encode(shortBy1));
    video::DibSection noBits = whole;
    noBits.bits = nullptr;
    EXPECT_FALSE(encoder.encode(noBits));
    video::DibSection palette = whole;
    palette.bitsPerPixel = 8;
    EXPECT_FALSE(encoder.encode(palette));
    video::DibSection empty = whole;
    empty.height = 0;
    EXPECT_FALSE(encoder.encode(empty));
    EXPECT_TRUE(encoder.encode(whole)) << "a refusal leaves the encoder usable";
}
