#include "platform/ReadOnlyFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace platform {
namespace {

std::optional<std::string> realPath(const std::filesystem::path& path, int& error) {
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                               &std::free);
    if (!resolved) {
        error = errno;
        return std::nullopt;
    }
    return std::string(resolved.get());
}

bool inside(std::string_view folder, std::string_view file) {
    if (folder == "/")
        return file.size() > 1;
    return file.size() > folder.size() + 1 && file.starts_with(folder) &&
           file[folder.size()] == '/';
}

ReadRefusal refusalFor(int error) {
    return error == ENOENT || error == ENOTDIR ? ReadRefusal::Missing : ReadRefusal::Failed;
}

} // namespace

ReadOnlyFile ReadOnlyFile::openIn(const std::filesystem::path& folder,
                                  const std::filesystem::path& name) {
    int error = 0;
    const std::optional<std::string> realFolder = realPath(folder, error);
    if (!realFolder)
        return ReadOnlyFile(refusalFor(error));
    const std::optional<std::string> realFile = realPath(folder / name, error);
    if (!realFile)
        return ReadOnlyFile(refusalFor(error));
    if (!inside(*realFolder, *realFile))
        return ReadOnlyFile(ReadRefusal::Outside);
    // Resolved already: a link put in its place since is refused, and a FIFO opens at once.
    const int descriptor =
        ::open(realFile->c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (descriptor < 0)
        return ReadOnlyFile(errno == ELOOP ? ReadRefusal::Outside : refusalFor(errno));
    struct stat status {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        return ReadOnlyFile(ReadRefusal::NotRegular);
    }
    return ReadOnlyFile(descriptor, static_cast<std::uint64_t>(status.st_size));
}

ReadOnlyFile::ReadOnlyFile(ReadOnlyFile&& other) noexcept
    : descriptor_(std::exchange(other.descriptor_, -1)), refusal_(other.refusal_),
      size_(other.size_) {}

ReadOnlyFile& ReadOnlyFile::operator=(ReadOnlyFile&& other) noexcept {
    if (this != &other) {
        if (descriptor_ >= 0)
            ::close(descriptor_);
        descriptor_ = std::exchange(other.descriptor_, -1);
        refusal_ = other.refusal_;
        size_ = other.size_;
    }
    return *this;
}

ReadOnlyFile::~ReadOnlyFile() {
    if (descriptor_ >= 0)
        ::close(descriptor_);
}

std::optional<std::size_t> ReadOnlyFile::readAt(std::uint64_t offset,
                                                std::span<std::uint8_t> into) const {
    if (descriptor_ < 0 || offset > static_cast<std::uint64_t>(LLONG_MAX))
        return std::nullopt;
    std::size_t done = 0;
    while (done < into.size()) {
        const ssize_t got = ::pread(descriptor_, into.data() + done, into.size() - done,
                                    static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

std::optional<QByteArray> ReadOnlyFile::readAll(std::uint64_t largest) {
    if (descriptor_ < 0)
        return std::nullopt;
    if (size_ > largest) {
        refusal_ = ReadRefusal::TooLarge;
        return std::nullopt;
    }
    // The file as it was when opened: what is appended meanwhile is left for the next read.
    QByteArray bytes(static_cast<qsizetype>(size_), Qt::Uninitialized);
    const std::optional<std::size_t> got =
        readAt(0, {reinterpret_cast<std::uint8_t*>(bytes.data()), std::size_t(bytes.size())});
    if (!got) {
        refusal_ = ReadRefusal::Failed;
        return std::nullopt;
    }
    bytes.truncate(static_cast<qsizetype>(*got));
    return bytes;
}

FileBytes readWholeFile(const std::filesystem::path& folder, const std::filesystem::path& name,
                        std::uint64_t largest) {
    ReadOnlyFile file = ReadOnlyFile::openIn(folder, name);
    FileBytes read;
    if (std::optional<QByteArray> bytes = file.readAll(largest))
        read.bytes = std::move(*bytes);
    read.refusal = file.refusal();
    return read;
}

} // namespace platform
