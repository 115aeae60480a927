#include "video/BitmapFile.h"

#include "video/DibCheck.h"
#include "video/LittleEndian.h"

#include <algorithm>
#include <climits>
#include <system_error>

namespace video {

namespace {

bool nameIsFree(const std::filesystem::path& path) {
    std::error_code error;
    const auto status = std::filesystem::symlink_status(path, error);
    return status.type() == std::filesystem::file_type::not_found;
}

template <typename NameFor>
std::optional<GeneratedName> firstFreeName(const std::filesystem::path& folder, int number,
                                           NameFor nameFor) {
    for (long long candidate = number; candidate <= INT_MAX; ++candidate) {
        const int n = static_cast<int>(candidate);
        auto path = folder / nameFor(n);
        if (nameIsFree(path))
            return GeneratedName{std::move(path), n};
    }
    return std::nullopt;
}

} // namespace

std::array<std::uint8_t, bitmapHeadersSize> bitmapFileHeaders(const DibSection& bitmap) {
    const auto pixelBytes = static_cast<std::uint32_t>(dibPixelBytes(bitmap));
    LittleEndian header;
    header.put16(0x4D42);
    header.put32(static_cast<std::uint32_t>(bitmapHeadersSize) + pixelBytes);
    header.put32(0);
    header.put32(static_cast<std::uint32_t>(bitmapHeadersSize));
    header.put32(40);
    header.put32(static_cast<std::uint32_t>(bitmap.width));
    header.put32(static_cast<std::uint32_t>(bitmap.height));
    header.put16(static_cast<std::uint16_t>(bitmap.planes));
    header.put16(static_cast<std::uint16_t>(bitmap.bitsPerPixel));
    header.put32(0);
    header.put32(pixelBytes);
    header.putZeros(16);
    std::array<std::uint8_t, bitmapHeadersSize> bytes{};
    std::copy(header.bytes().begin(), header.bytes().end(), bytes.begin());
    return bytes;
}

platform::DiskError WriteBitmapFile(const DibSection* bitmap, const std::filesystem::path& fileName,
                                    const platform::Disk& disk) {
    if (bitmap == nullptr || !isCompleteDib(*bitmap))
        return platform::DiskError::Failed;
    const std::unique_ptr<platform::DiskFile> out =
        disk.open(fileName, platform::OpenMode::Replace);
    if (!out)
        return platform::DiskError::Failed;
    const auto headers = bitmapFileHeaders(*bitmap);
    const bool written = out->writeAt(0, headers) &&
                         out->writeAt(headers.size(), {bitmap->bits, dibPixelBytes(*bitmap)});
    if (out->close() && written)
        return platform::DiskError::None;
    // Only a file can be a partial picture; a device such as /dev/full stays.
    disk.remove(fileName);
    return out->error() == platform::DiskError::None ? platform::DiskError::Failed : out->error();
}

std::optional<GeneratedName> nextSnapshotName(const std::string& base, int number,
                                              const std::filesystem::path& folder) {
    return firstFreeName(folder, number,
                         [&base](int n) { return base + std::to_string(n) + ".bmp"; });
}

std::optional<GeneratedName> nextVideoName(int number, const std::filesystem::path& folder,
                                           VideoFormat format) {
    return firstFreeName(folder, number, [format](int n) {
        return "00" + std::to_string(n) + "video" + videoExtension(format);
    });
}

} // namespace video
