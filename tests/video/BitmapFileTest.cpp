#include "ChildProcess.h"
#include "VideoFiles.h"

#include "video/BitmapFile.h"
#include "video/DibCheck.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

using namespace video_test;

std::uint32_t fieldAt(const std::vector<std::uint8_t>& bytes, std::size_t offset,
                      std::size_t size) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < size; ++i)
        value |= static_cast<std::uint32_t>(bytes[offset + i]) << (8 * i);
    return value;
}

TEST(BitmapFile, SurfaceGivesTheHeadersAndPixelsWhateverTheExtension) {
    QTemporaryDir dir;
    const TestFrame frame(3);
    const auto dib = frame.dib();
    for (const char* name : {"captura01.bmp", "captura01.jpg"}) {
        SCOPED_TRACE(name);
        const auto file = inDir(dir, name);
        ASSERT_TRUE(video::WriteBitmapFile(&dib, file));
        const auto bytes = fileBytes(file);
        ASSERT_EQ(bytes.size(), 304182u);
        struct Field {
            std::size_t offset, size;
            std::uint32_t value;
        };
        for (const Field field : {Field{0, 2, 0x4D42},
                                  {2, 4, 304182},
                                  {6, 4, 0},
                                  {10, 4, 54},
                                  {14, 4, 40},
                                  {18, 4, 352},
                                  {22, 4, 288},
                                  {26, 2, 1},
                                  {28, 2, 24},
                                  {30, 4, 0},
                                  {34, 4, 304128},
                                  {38, 4, 0},
                                  {42, 4, 0},
                                  {46, 4, 0},
                                  {50, 4, 0}})
            EXPECT_EQ(fieldAt(bytes, field.offset, field.size), field.value)
                << "at offset " << field.offset;
        EXPECT_TRUE(std::equal(frame.pixels.begin(), frame.pixels.end(), bytes.begin() + 54));
    }
}

TEST(BitmapFile, ExistingNameIsReplaced) {
    QTemporaryDir dir;
    const auto file = inDir(dir, "captura01.bmp");
    const TestFrame first(1), second(2);
    const auto firstDib = first.dib(), secondDib = second.dib();
    ASSERT_TRUE(video::WriteBitmapFile(&firstDib, file));
    ASSERT_TRUE(video::WriteBitmapFile(&secondDib, file));
    const auto bytes = fileBytes(file);
    ASSERT_EQ(bytes.size(), 304182u);
    EXPECT_TRUE(std::equal(second.pixels.begin(), second.pixels.end(), bytes.begin() + 54));
}

TEST(BitmapFile, NoOrIncompleteBitmapWritesNothing) {
    QTemporaryDir dir;
    const auto file = inDir(dir, "nada.bmp");
    const TestFrame frame(1);
    const auto good = frame.dib();
    std::vector<video::DibSection> bad(7, good);
    bad[0].bits = nullptr;
    bad[1].width = 0;
    bad[2].height = -288;
    bad[3].bitsPerPixel = 32;
    bad[4].planes = 2;
    bad[5].imageSize = good.imageSize - 1;
    bad[6].width = video::maxDibSide + 1;
    EXPECT_FALSE(video::WriteBitmapFile(nullptr, file));
    for (const auto& dib : bad)
        EXPECT_FALSE(video::WriteBitmapFile(&dib, file));
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_FALSE(video::WriteBitmapFile(&good, inDir(dir, "no/such/folder.bmp")));
}

TEST(BitmapFile, FailedWriteLeavesNoPartialFile) {
    QTemporaryDir dir;
    const auto file = inDir(dir, "lleno.bmp");
    const int outcome = runWithFileLimit(100000, [&file] {
        const TestFrame frame(1);
        const auto dib = frame.dib();
        const bool written = video::WriteBitmapFile(&dib, file);
        return written ? 1 : std::filesystem::exists(file) ? 2 : 0;
    });
    EXPECT_EQ(outcome, 0);
}

TEST(GeneratedNames, TakeTheNextFreeNumber) {
    QTemporaryDir dir;
    const std::filesystem::path folder = dir.path().toStdString();
    std::ofstream(folder / "4711foto2.bmp") << "earlier run";
    std::ofstream(folder / "007video.avi") << "earlier run";
    std::ofstream(folder / ("00" + std::to_string(INT_MAX) + "video.avi")) << "last";

    const auto first = video::nextSnapshotName("4711foto", 1, folder);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->fileName, folder / "4711foto1.bmp");
    EXPECT_EQ(first->number, 1);
    const auto afterTaken = video::nextSnapshotName("4711foto", 2, folder);
    ASSERT_TRUE(afterTaken);
    EXPECT_EQ(afterTaken->fileName, folder / "4711foto3.bmp");
    EXPECT_EQ(afterTaken->number, 3);

    const auto video7 = video::nextVideoName(7, folder);
    ASSERT_TRUE(video7);
    EXPECT_EQ(video7->fileName, folder / "008video.avi");
    EXPECT_EQ(video7->number, 8);
    EXPECT_EQ(video::nextVideoName(123, folder)->fileName, folder / "00123video.avi");
    EXPECT_EQ(video::nextVideoName(5)->fileName, std::filesystem::path("005video.avi"));
    EXPECT_FALSE(video::nextVideoName(INT_MAX, folder));
}

} // namespace
