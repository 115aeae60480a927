#include "platform/Disk.h"
#include "tests/support/ScriptedDisk.h"

#include <QDir>
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
    auto out = disk.open(file, platform::OpenMode::Replace);
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
    EXPECT_FALSE(
        disk.open(dir.filePath("no/such/datos.bin").toStdString(), platform::OpenMode::Replace));
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
    auto full = platform::localDisk().open("/dev/full", platform::OpenMode::Replace);
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

enum class AtName { Nothing, File, Link, LinkToNothing, Folder };

// Puts the thing at dir/name; a link points at dir/target, a file holding "target".
std::filesystem::path plant(const QTemporaryDir& dir, AtName what) {
    const std::filesystem::path name = dir.filePath("datos.csv").toStdString();
    const std::filesystem::path target = dir.filePath("target").toStdString();
    if (what != AtName::LinkToNothing)
        std::ofstream(target) << "target";
    if (what == AtName::File)
        std::ofstream(name) << "earlier;";
    else if (what == AtName::Link || what == AtName::LinkToNothing)
        std::filesystem::create_symlink(target, name);
    else if (what == AtName::Folder)
        std::filesystem::create_directory(name);
    return name;
}

TEST(Disk, EveryWayOfOpeningRefusesALinkAtTheName) {
    using platform::OpenMode;
    struct Case {
        OpenMode mode;
        AtName what;
        // The file's text after "new;" is appended; empty when the open must fail.
        const char* after;
    };
    const Case table[] = {
        {OpenMode::Replace, AtName::Nothing, "new;"},
        {OpenMode::Replace, AtName::File, "new;"},
        {OpenMode::Replace, AtName::Link, ""},
        {OpenMode::Replace, AtName::LinkToNothing, ""},
        {OpenMode::Replace, AtName::Folder, ""},
        {OpenMode::New, AtName::Nothing, "new;"},
        {OpenMode::New, AtName::File, ""},
        {OpenMode::New, AtName::Link, ""},
        {OpenMode::New, AtName::LinkToNothing, ""},
        {OpenMode::New, AtName::Folder, ""},
        {OpenMode::Append, AtName::Nothing, "new;"},
        {OpenMode::Append, AtName::File, "earlier;new;"},
        {OpenMode::Append, AtName::Link, ""},
        {OpenMode::Append, AtName::LinkToNothing, ""},
        {OpenMode::Append, AtName::Folder, ""},
    };
    for (const Case& c : table) {
        SCOPED_TRACE(testing::Message()
                     << "mode " << int(c.mode) << ", at the name " << int(c.what));
        QTemporaryDir dir;
        const std::filesystem::path name = plant(dir, c.what);
        const std::string before = c.what == AtName::File ? "earlier;" : "";
        auto file = platform::localDisk().open(name, c.mode);
        const std::string expected = c.after;
        ASSERT_EQ(file != nullptr, !expected.empty());
        if (file) {
            EXPECT_TRUE(file->append(bytesOf("new;")));
            EXPECT_TRUE(file->close());
            EXPECT_EQ(contents(name), expected);
        } else if (c.what == AtName::File) {
            EXPECT_EQ(contents(name), before);
        }
        const std::filesystem::path target = dir.filePath("target").toStdString();
        if (c.what == AtName::LinkToNothing) {
            EXPECT_FALSE(std::filesystem::exists(target)) << "nothing made through the link";
        } else if (c.what != AtName::Nothing && c.what != AtName::File) {
            EXPECT_EQ(contents(target), "target");
        }
    }
}

TEST(Disk, AWholeFileReplacesTheEarlierOneAndNothingButAFile) {
    for (const AtName what :
         {AtName::Nothing, AtName::File, AtName::Link, AtName::LinkToNothing, AtName::Folder}) {
        SCOPED_TRACE(int(what));
        QTemporaryDir dir;
        const std::filesystem::path name = plant(dir, what);
        // A link at the temporary name, as a crash or a hostile user may leave one.
        std::filesystem::create_symlink(dir.filePath("target").toStdString(),
                                        dir.filePath(".datos.csv.part").toStdString());
        const bool replaceable = what == AtName::Nothing || what == AtName::File;
        EXPECT_EQ(platform::writeWholeFile(platform::localDisk(), name, bytesOf("whole")),
                  replaceable ? platform::DiskError::None : platform::DiskError::Failed);
        if (replaceable) {
            EXPECT_EQ(contents(name), "whole");
        }
        const std::filesystem::path target = dir.filePath("target").toStdString();
        if (what == AtName::LinkToNothing) {
            EXPECT_FALSE(std::filesystem::exists(target)) << "nothing made through the link";
        } else {
            EXPECT_EQ(contents(target), "target") << "the link's target is unchanged";
        }
        const QStringList names =
            QDir(dir.path())
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System);
        EXPECT_FALSE(names.contains(".datos.csv.part")) << "no temporary file is left";
    }
}

TEST(Disk, AWholeFileThatDoesNotFitLeavesTheEarlierOne) {
    QTemporaryDir dir;
    const std::filesystem::path name = plant(dir, AtName::File);
    testing_support::ScriptedDisk full;
    full.writableBytes = 3;
    EXPECT_EQ(platform::writeWholeFile(full.disk(), name, bytesOf("whole")),
              platform::DiskError::Full);
    EXPECT_EQ(contents(name), "earlier;");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{"datos.csv", "target"}));
}

} // namespace
