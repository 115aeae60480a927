#include "platform/Disk.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

std::string contents(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::span<const std::uint8_t> bytesOf(const char* text) {
    return {reinterpret_cast<const std::uint8_t*>(text), std::strlen(text)};
}

TEST(Disk, WritesAtOffsetsForcesTruncatesAndReplacesAnEarlierFile) {
    QTemporaryDir dir;
    const std::filesystem::path file = dir.filePath("datos.bin").toStdString();
    std::ofstream(file) << "an earlier file, longer than the new one";
    const platform::Disk disk = platform::localDisk();
    auto out = disk.create(file);
    ASSERT_TRUE(out);
    EXPECT_TRUE(out->writeAt(0, bytesOf("abcdef")));
    EXPECT_TRUE(out->writeAt(2, bytesOf("XY")));
    EXPECT_TRUE(out->writeAt(8, bytesOf("gh")));
    EXPECT_TRUE(out->syncData());
    EXPECT_TRUE(out->truncate(9));
    EXPECT_TRUE(out->close());
    EXPECT_EQ(out->error(), platform::DiskError::None);
    EXPECT_EQ(contents(file), std::string("abXYef\0\0g", 9));

    disk.remove(file);
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_FALSE(disk.create(dir.filePath("no/such/datos.bin").toStdString()));
}

TEST(Disk, FreeSpaceOfAFolderAndOfOneThatIsNot) {
    QTemporaryDir dir;
    const platform::Disk disk = platform::localDisk();
    const auto free = disk.freeBytes(dir.path().toStdString());
    ASSERT_TRUE(free.has_value());
    // Other tests write meanwhile; the space the system keeps back is far more than this.
    const double available = double(std::filesystem::space(dir.path().toStdString()).available);
    EXPECT_NEAR(double(*free), available, 256.0 * 1024 * 1024);
    EXPECT_TRUE(disk.freeBytes({}).has_value()) << "an empty folder is the working folder";
    EXPECT_FALSE(disk.freeBytes(dir.filePath("no/such").toStdString()).has_value());
}

TEST(Disk, DeviceThatTakesNothingMoreReportsAFullDisk) {
    auto full = platform::localDisk().create("/dev/full");
    if (!full)
        GTEST_SKIP() << "/dev/full cannot be opened here";
    EXPECT_FALSE(full->writeAt(0, bytesOf("frame")));
    EXPECT_EQ(full->error(), platform::DiskError::Full);
    EXPECT_FALSE(full->truncate(0));
    EXPECT_EQ(full->error(), platform::DiskError::Full) << "the first failure is the cause";
}

TEST(Disk, ReasonsTheOperatorIsToldApart) {
    EXPECT_EQ(platform::diskErrorFor(0), platform::DiskError::None);
    for (const int full : {ENOSPC, EDQUOT, EFBIG})
        EXPECT_EQ(platform::diskErrorFor(full), platform::DiskError::Full) << full;
    for (const int failed : {EIO, ENODEV, ENXIO, EROFS, EBADF})
        EXPECT_EQ(platform::diskErrorFor(failed), platform::DiskError::Failed) << failed;
}

} // namespace
