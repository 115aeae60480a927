#pragma once

#include <QByteArray>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>

namespace platform {

// Why a file of a folder was not read.
enum class ReadRefusal {
    None,
    Missing,
    Outside,    // it is, or a link leads, out of the folder
    NotRegular, // a FIFO, a device, a folder, a socket
    TooLarge,
    Failed,
};

// A regular file of a folder, opened for reading without ever waiting: the name is resolved
// and must stay inside the folder, and a FIFO or a device is refused before it is read.
class ReadOnlyFile {
public:
    static ReadOnlyFile openIn(const std::filesystem::path& folder,
                               const std::filesystem::path& name);
    ReadOnlyFile(ReadOnlyFile&& other) noexcept;
    ReadOnlyFile& operator=(ReadOnlyFile&& other) noexcept;
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
    ~ReadOnlyFile();

    bool isOpen() const { return descriptor_ >= 0; }
    ReadRefusal refusal() const { return refusal_; }
    std::uint64_t size() const { return size_; }
    // Bytes at an offset, fewer at the end of the file; nothing when the read fails.
    std::optional<std::size_t> readAt(std::uint64_t offset, std::span<std::uint8_t> into) const;
    // The whole file; refused (TooLarge) when it holds more than `largest` bytes.
    std::optional<QByteArray> readAll(std::uint64_t largest);

private:
    explicit ReadOnlyFile(ReadRefusal refusal) : refusal_(refusal) {}
    ReadOnlyFile(int descriptor, std::uint64_t size) : descriptor_(descriptor), size_(size) {}

    int descriptor_ = -1;
    ReadRefusal refusal_ = ReadRefusal::None;
    std::uint64_t size_ = 0;
};

// A whole file of a folder, at most `largest` bytes, or why it was not read.
struct FileBytes {
    QByteArray bytes;
    ReadRefusal refusal = ReadRefusal::None;
};
FileBytes readWholeFile(const std::filesystem::path& folder, const std::filesystem::path& name,
                        std::uint64_t largest);

} // namespace platform
