#include "platform/Disk.h"

#include <cerrno>
#include <fcntl.h>
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

std::unique_ptr<DiskFile> createLocalFile(const std::filesystem::path& name) {
    const int descriptor = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (descriptor < 0)
        return nullptr;
    return std::make_unique<PosixFile>(descriptor);
}

std::unique_ptr<DiskFile> createNewLocalFile(const std::filesystem::path& name) {
    const int descriptor =
        ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (descriptor < 0)
        return nullptr;
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
    std::filesystem::remove(name, ignored);
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
    return Disk{createLocalFile, localFreeBytes, removeLocalFile, createNewLocalFile};
}

} // namespace platform
