#include "VideoFiles.h"

#include "video/AviFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

namespace {

using namespace video_test;

video::AviStreamFormat surfaceFormat() {
    video::AviStreamFormat format;
    format.width = surfaceWidth;
    format.height = surfaceHeight;
    format.imageSize = static_cast<std::uint32_t>(video::dibRowSize(surfaceWidth, 24) * 288);
    return format;
}

// Writes frames numbered from 0, indexing after each one, until count or the first refusal;
// returns the frames written.
std::uint32_t writeIndexedFrames(video::AviFile& file, std::uint32_t count) {
    std::uint32_t n = 0;
    for (; n < count; ++n) {
        const TestFrame frame(n);
        if (file.writeFrame(frame.pixels) != video::AVIERR_OK ||
            file.writeIndex() != video::AVIERR_OK)
            break;
    }
    return n;
}

long countOf(const std::vector<std::uint8_t>& bytes, const std::string& code) {
    long count = 0;
    for (auto at = std::search(bytes.begin(), bytes.end(), code.begin(), code.end());
         at != bytes.end(); at = std::search(at + 1, bytes.end(), code.begin(), code.end()))
        ++count;
    return count;
}

TEST(AviLayout, SmallRiffsAndMergedBatchesReadBackInOrder) {
    QTemporaryDir dir;
    const auto path = inDir(dir, "riffs.avi");
    auto file = video::AviFile::create(
        path, {.riffBytes = 1'000'000, .superIndexCapacity = 32, .batchesPerRiff = 2});
    ASSERT_TRUE(file);
    ASSERT_EQ(file->begin(surfaceFormat()), video::AVIERR_OK);
    ASSERT_EQ(writeIndexedFrames(*file, 20), 20u);
    ASSERT_EQ(file->finish(), video::AVIERR_OK);

    // Four frames per RIFF: 20 frames make five RIFFs, each with one merged index.
    const auto bytes = fileBytes(path);
    EXPECT_EQ(countOf(bytes, "AVIX"), 4);
    EXPECT_EQ(countOf(bytes, "idx1"), 1);
    const auto h = readHeaders(path);
    EXPECT_EQ(std::tuple(h.indxEntries, h.indxFrames, h.dmlhTotalFrames, h.avihTotalFrames),
              std::tuple(5u, 20u, 20u, 4u));
    long inOrder = 0;
    const long decoded = decodeFrames(path, 352, 288, [&inOrder](long n, const auto& pixels) {
        if (std::equal(pixels.end() - 1056, pixels.end(),
                       TestFrame(static_cast<std::uint32_t>(n)).pixels.begin()))
            ++inOrder;
    });
    EXPECT_EQ(decoded, 20);
    EXPECT_EQ(inOrder, 20);
}

TEST(AviLayout, FullSuperIndexRefusesFurtherRiffsAndKeepsTheFrames) {
    struct Case {
        std::uint32_t capacity;
        std::uint32_t frames; // four per RIFF
    };
    for (const Case c : {Case{2, 4}, Case{4, 12}}) {
        SCOPED_TRACE(c.capacity);
        QTemporaryDir dir;
        const auto path = inDir(dir, "full.avi");
        auto file = video::AviFile::create(
            path, {.riffBytes = 1'000'000, .superIndexCapacity = c.capacity, .batchesPerRiff = 8});
        ASSERT_TRUE(file);
        ASSERT_EQ(file->begin(surfaceFormat()), video::AVIERR_OK);
        const auto written = writeIndexedFrames(*file, 40);
        const TestFrame another(written);
        EXPECT_EQ(file->writeFrame(another.pixels), video::AVIERR_BADSIZE);
        ASSERT_EQ(file->finish(), video::AVIERR_OK);

        EXPECT_EQ(written, c.frames);
        EXPECT_EQ(countOf(fileBytes(path), "idx1"), 1);
        EXPECT_EQ(probe(path).frames, c.frames);
        EXPECT_EQ(readHeaders(path).dmlhTotalFrames, c.frames);
    }
}

} // namespace
