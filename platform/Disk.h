#pragma once

#include <QByteArray>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>

namespace platform {

// Why a disk operation failed, as far as the operator needs to know.
enum class DiskError {
    None,
    Full,   // no space left, or the quota is used up
    Failed, // input/output error, device gone, a link or folder in the way, anything else
};

DiskError diskErrorFor(int errorNumber);

// A file written at chosen offsets, whose data can be forced onto the device.
class DiskFile {
public:
    virtual ~DiskFile() = default;
    virtual bool writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) = 0;
    // Writes after what the file holds (opened to Append) or after the last append.
    virtual bool append(std::span<const std::uint8_t> bytes) = 0;
    // Forces what was written so far onto the device (the data, not every timestamp).
    virtual bool syncData() = 0;
    virtual bool truncate(std::uint64_t size) = 0;
    virtual bool close() = 0;
    // The reason of the first failed operation.
    virtual DiskError error() const = 0;
};

// How a file is opened. None of them follows a symbolic link at the name: a file is never
// written through one.
enum class OpenMode {
    Replace, // created, or an existing file emptied
    New,     // created; fails when the name is taken by anything
    Append,  // created, or an existing file continued at its end
};

// The disk as the console's writers see it; tests script full disks and failing devices.
struct Disk {
    // None when the file cannot be opened.
    std::function<std::unique_ptr<DiskFile>(const std::filesystem::path&, OpenMode)> open;
    // Bytes free for an ordinary user in the folder; none when the folder cannot be asked.
    std::function<std::optional<std::uint64_t>(const std::filesystem::path&)> freeBytes;
    // Removes a file or a link; a device or a folder stays.
    std::function<void(const std::filesystem::path&)> remove;
    // Puts the file `from` in the place of `to`, in one step, and makes that last. Refuses when
    // `to` is there and is not a plain file (a link, a folder, a device).
    std::function<DiskError(const std::filesystem::path& from, const std::filesystem::path& to)>
        replace;
};

// The local file system.
Disk localDisk();

inline std::span<const std::uint8_t> bytesOf(const QByteArray& bytes) {
    return {reinterpret_cast<const std::uint8_t*>(bytes.constData()),
            static_cast<std::size_t>(bytes.size())};
}

// Writes a whole file: under a temporary name in the same folder, forced onto the device, then
// put in the place of the old one, so a write cut off at any point leaves the old file as it
// was. A link or anything else but a plain file at the name is left alone and the write fails.
DiskError writeWholeFile(const Disk& disk, const std::filesystem::path& name,
                         std::span<const std::uint8_t> bytes);

} // namespace platform
