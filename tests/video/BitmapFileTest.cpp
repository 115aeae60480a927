#include "VideoFiles.h"

#include "tests/support/HexBytes.h"
#include "tests/support/WorkingFolder.h"
#include "video/BitmapFile.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

using namespace video_test;

struct BitmapFile : ::testing::Test {
    testing_support::WorkingFolder folder;
    const TestFrame frame{3};
    const video::DibSection dib = frame.dib();
};

TEST_F(BitmapFile, SurfaceGivesTheHeadersAndPixelsWhateverTheExtensionReplacingAnEarlierFile) {
    const TestFrame earlier(1);
    const auto earlierDib = earlier.dib();
    // File header, then the 40-byte info header of a 352 x 288 24-bit picture of 304128 bytes.
    auto expected = testing_support::hexBytes("42 4D 36 A4 04 00 00 00 00 00 36 00 00 00 "
                                              "28 00 00 00 60 01 00 00 20 01 00 00 01 00 18 00 "
                                              "00 00 00 00 00 A4 04 00 00 00 00 00 00 00 00 00 "
                                              "00 00 00 00 00 00 00 00");
    expected.insert(expected.end(), frame.pixels.begin(), frame.pixels.end());
    for (const char* name : {"captura01.bmp", "captura01.jpg"}) {
        SCOPED_TRACE(name);
        ASSERT_EQ(video::WriteBitmapFile(&earlierDib, name), platform::DiskError::None);
        ASSERT_EQ(video::WriteBitmapFile(&dib, name), platform::DiskError::None);
        EXPECT_EQ(fileBytes(name), expected);
    }
}

TEST_F(BitmapFile, NoIncompleteOrUnwritableBitmapLeavesAFile) {
    std::vector<video::DibSection> bad = brokenDibs(dib);
    bad.push_back(dib);
    bad.back().planes = 2;
    using platform::DiskError;
    EXPECT_EQ(video::WriteBitmapFile(nullptr, "nada.bmp"), DiskError::Failed);
    for (const auto& broken : bad)
        EXPECT_EQ(video::WriteBitmapFile(&broken, "nada.bmp"), DiskError::Failed);
    EXPECT_EQ(video::WriteBitmapFile(&dib, "no/such/folder.bmp"), DiskError::Failed);
    const int outcome = runWithFileLimit(100000, [this] {
        const DiskError error = video::WriteBitmapFile(&dib, "lleno.bmp");
        return error == DiskError::None               ? 1
               : std::filesystem::exists("lleno.bmp") ? 2
               : error == DiskError::Full             ? 0
                                                      : 3;
    });
    EXPECT_EQ(outcome, 0) << "a failed write leaves no partial file and says the disk is full";
    EXPECT_EQ(folder.files(), QStringList());
}

TEST_F(BitmapFile, GeneratedNamesTakeTheNextFreeNumber) {
    std::filesystem::create_directory("sub");
    for (const std::string taken :
         {"4711foto2.bmp", "007video.avi", "002147483647video.avi", "sub/005video.avi"})
        std::ofstream(taken) << "earlier run";
    using Name = std::pair<std::filesystem::path, int>;
    const auto name = [](const std::optional<video::GeneratedName>& generated) {
        return generated ? Name(generated->fileName, generated->number) : Name();
    };
    EXPECT_EQ(name(video::nextSnapshotName("4711foto", 1)), Name("4711foto1.bmp", 1));
    EXPECT_EQ(name(video::nextSnapshotName("4711foto", 2)), Name("4711foto3.bmp", 3));
    EXPECT_EQ(name(video::nextVideoName(7)), Name("008video.avi", 8));
    EXPECT_EQ(name(video::nextVideoName(123)), Name("00123video.avi", 123));
    EXPECT_EQ(name(video::nextVideoName(5, "sub")), Name("sub/006video.avi", 6));
    EXPECT_FALSE(video::nextVideoName(INT_MAX));
}

} // namespace
