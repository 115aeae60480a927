#include "platform/Disk.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace platform {

namespace {

class PosixFile final : public DiskFile {
public:
    explicit PosixFile(int descriptor) : descriptor_(descriptor) {}
    ~PosixFile() override { close(); }
    PosixFile(const PosixFile&) = delete;
    PosixFile& operator=(const PosixFile&) = delete;

    bool writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) override {
        while (!bytes.empty()) {
            const ssize_t written =
                ::pwrite(descriptor_, bytes.data(), bytes.size(), static_cast<off_t>(offset));
            if (written < 0 && errno == EINTR)
                continue;
            // A write of nothing would loop for ever; the device takes no more.
            if (written <= 0)
                return fail(written < 0 ? errno : ENOSPC);
            bytes = bytes.subspan(static_cast<std::size_t>(written));
            offset += static_cast<std::uint64_t>(written);
        }
        return true;
    }

    bool append(std::span<const std::uint8_t> bytes) override {
        while (!bytes.empty()) {
            const ssize_t written = ::write(descriptor_, bytes.data(), bytes.size());
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                return fail(written < 0 ? errno : ENOSPC);
            bytes = bytes.subspan(static_cast<std::size_t>(written));
        }
        return true;
    }

    bool syncData() override { return ::fdatasync(descriptor_) == 0 || fail(errno); }

    bool truncate(std::uint64_t size) override {
        return ::ftruncate(descriptor_, static_cast<off_t>(size)) == 0 || fail(errno);
    }

    bool close() override {
        if (descriptor_ < 0)
            return true;
        const int descriptor = descriptor_;
        descriptor_ = -1;
        return ::close(descriptor) == 0 || fail(errno);
    }

    DiskError error() const override { return error_; }

private:
    // The first failure is the cause; what fails after it only follows from it.
    bool fail(int errorNumber) {
        if (error_ == DiskError::None)
            error_ = diskErrorFor(errorNumber);
        return false;
    }

    int descriptor_;
    DiskError error_ = DiskError::None;
};

int openFlags(OpenMode mode) {
    // Non-blocking only for the open: a pipe planted at the name, with no reader, fails at
    // once instead of holding the writer.
    constexpr int always = O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK;
    switch (mode) {
    case OpenMode::Replace:
        return always | O_TRUNC;
    case OpenMode::New:
        return always | O_EXCL;
    case OpenMode::Append:
        return always | O_APPEND;
    }
    return always | O_EXCL;
}

std::unique_ptr<DiskFile> openLocalFile(const std::filesystem::path& name, OpenMode mode) {
    const int descriptor = ::open(name.c_str(), openFlags(mode), 0644);
    if (descriptor < 0)
        return nullptr;
    const int flags = ::fcntl(descriptor, F_GETFL);
    if (flags < 0 || ::fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) < 0) {
        ::close(descriptor);
        return nullptr;
    }
    return std::make_unique<PosixFile>(descriptor);
}

std::optional<std::uint64_t> localFreeBytes(const std::filesystem::path& folder) {
    struct statvfs info {};
    const std::filesystem::path asked = folder.empty() ? std::filesystem::path(".") : folder;
    if (::statvfs(asked.c_str(), &info) != 0)
        return std::nullopt;
    return std::uint64_t{info.f_bavail} * info.f_frsize;
}

void removeLocalFile(const std::filesystem::path& name) {
    std::error_code ignored;
    const auto type = std::filesystem::symlink_status(name, ignored).type();
    if (type == std::filesystem::file_type::regular || type == std::filesystem::file_type::symlink)
        std::filesystem::remove(name, ignored);
}

std::filesystem::path folderOf(const std::filesystem::path& name) {
    return name.has_parent_path() ? name.parent_path() : std::filesystem::path(".");
}

DiskError replaceLocalFile(const std::filesystem::path& from, const std::filesystem::path& to) {
    struct stat existing {};
    if (::lstat(to.c_str(), &existing) == 0) {
        if (!S_ISREG(existing.st_mode))
            return DiskError::Failed;
    } else if (errno != ENOENT) {
        return diskErrorFor(errno);
    }
    // rename() takes the name itself: a link put there meanwhile is replaced, never followed.
    if (::rename(from.c_str(), to.c_str()) != 0)
        return diskErrorFor(errno);
    // The new name lasts once the folder is forced too; a file system that cannot force a
    // folder says EINVAL and keeps its names by itself.
    const int folder = ::open(folderOf(to).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return diskErrorFor(errno);
    const int synced = ::fsync(folder) == 0 || errno == EINVAL ? 0 : errno;
    ::close(folder);
    return diskErrorFor(synced);
}

} // namespace

DiskError diskErrorFor(int errorNumber) {
    switch (errorNumber) {
    case 0:
        return DiskError::None;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return DiskError::Full;
    default:
        return DiskError::Failed;
    }
}

Disk localDisk() {
    return Disk{openLocalFile, localFreeBytes, removeLocalFile, replaceLocalFile};
}

DiskError writeWholeFile(const Disk& disk, const std::filesystem::path& name,
                         std::span<const std::uint8_t> bytes) {
    // One fixed temporary name: a write cut off by a crash leaves it, the next one clears it.
    const std::filesystem::path temporary =
        folderOf(name) / ("." + name.filename().string() + ".part");
    disk.remove(temporary);
    std::unique_ptr<DiskFile> file = disk.open(temporary, OpenMode::New);
    if (!file)
        return DiskError::Failed;
    const bool written = file->writeAt(0, bytes) && file->syncData();
    const bool closed = file->close();
    DiskError error = DiskError::None;
    if (!written || !closed)
        error = file->error() == DiskError::None ? DiskError::Failed : file->error();
    if (error == DiskError::None)
        error = disk.replace(temporary, name);
    if (error != DiskError::None)
        disk.remove(temporary);
    return error;
}

} // namespace platform
