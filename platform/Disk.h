#pragma once

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
    Failed, // input/output error, device gone, anything else
};

DiskError diskErrorFor(int errorNumber);

// A file written at chosen offsets, whose data can be forced onto the device.
class DiskFile {
public:
    virtual ~DiskFile() = default;
    virtual bool writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) = 0;
    // Forces what was written so far onto the device (the data, not every timestamp).
    virtual bool syncData() = 0;
    virtual bool truncate(std::uint64_t size) = 0;
    virtual bool close() = 0;
    // The reason of the first failed operation.
    virtual DiskError error() const = 0;
};

// The disk as the recordings see it; tests script full disks and failing devices.
struct Disk {
    // Creates the file, replacing one of that name; none when it cannot be created.
    std::function<std::unique_ptr<DiskFile>(const std::filesystem::path&)> create;
    // Bytes free for an ordinary user in the folder; none when the folder cannot be asked.
    std::function<std::optional<std::uint64_t>(const std::filesystem::path&)> freeBytes;
    std::function<void(const std::filesystem::path&)> remove;
    // Creates a file of a name nothing has yet, never through a symbolic link; none when it
    // cannot be created, with errno telling why.
    std::function<std::unique_ptr<DiskFile>(const std::filesystem::path&)> createNew;
};

// The local file system.
Disk localDisk();

} // namespace platform
