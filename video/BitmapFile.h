#pragma once

#include "platform/Disk.h"
#include "video/Dib.h"
#include "video/VideoFormat.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace video {

constexpr std::size_t bitmapHeadersSize = 54;

// The file and info headers of a bitmap file for the given bitmap. The image-size field holds
// the pixel data size (row size times height) rather than 0, so readers that trust it get the
// right figure.
std::array<std::uint8_t, bitmapHeadersSize> bitmapFileHeaders(const DibSection& bitmap);

// Writes the bitmap as an uncompressed bitmap file, whatever the name's extension, replacing a
// file of that name but never writing through a link there. Returns why the whole file was not
// written, None when it was; a file left partial by a failed write is removed. A null or
// incomplete bitmap writes nothing.
platform::DiskError WriteBitmapFile(const DibSection* bitmap, const std::filesystem::path& fileName,
                                    const platform::Disk& disk = platform::localDisk());

struct GeneratedName {
    std::filesystem::path fileName;
    int number = 0;
};

// The first name base + number + ".bmp", from the number given upwards, that names no
// existing file in the folder (the working directory when empty). None when every number up
// to the largest int is taken.
std::optional<GeneratedName> nextSnapshotName(const std::string& base, int number,
                                              const std::filesystem::path& folder = {});

// The same for the recording names "00" + number + "video.avi" (".mp4" for MP4).
std::optional<GeneratedName> nextVideoName(int number, const std::filesystem::path& folder = {},
                                           VideoFormat format = VideoFormat::Avi);

} // namespace video
