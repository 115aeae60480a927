#include "ChildProcess.h"
#include "VideoFiles.h"
#include "tests/support/HexBytes.h"

#include "video/BitmapFile.h"
#include "video/DibCheck.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

using namespace video_test;

TEST(BitmapFile, SurfaceGivesTheHeadersAndPixelsWhateverTheExtensionReplacingAnEarlierFile) {
    QTemporaryDir dir;
    const TestFrame earlier(1), frame(3);
    const auto earlierDib = earlier.dib(), dib = frame.dib();
    // File header, then the 40-byte info header of a 352 x 288 24-bit picture of 304128 bytes.
    auto expected = testing_support::hexBytes("42 4D 36 A4 04 00 00 00 00 00 36 00 00 00 "
                                              "28 00 00 00 60 01 00 00 20 01 00 00 01 00 18 00 "
                                              "00 00 00 00 00 A4 04 00 00 00 00 00 00 00 00 00 "
                                              "00 00 00 00 00 00 00 00");
    expected.insert(expected.end(), frame.pixels.begin(), frame.pixels.end());
    for (const char* name : {"captura01.bmp", "captura01.jpg"}) {
        SCOPED_TRACE(name);
        const auto file = inDir(dir, name);
        ASSERT_TRUE(video::WriteBitmapFile(&earlierDib, file));
        ASSERT_TRUE(video::WriteBitmapFile(&dib, file));
        EXPECT_EQ(fileBytes(file), expected);
    }
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
