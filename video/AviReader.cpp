#include "video/AviReader.h"

#include <array>
#include <span>
#include <string_view>
#include <vector>

namespace video {
namespace {

// Our header list is about 33 KB (the super index takes most of it).
constexpr std::uint32_t largestHeaderList = 256 * 1024;
constexpr std::uint32_t chunkHeaderSize = 8;

std::uint32_t le32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return std::uint32_t{bytes[at]} | std::uint32_t{bytes[at + 1]} << 8 |
           std::uint32_t{bytes[at + 2]} << 16 | std::uint32_t{bytes[at + 3]} << 24;
}

std::string_view code(std::span<const std::uint8_t> bytes, std::size_t at) {
    return {reinterpret_cast<const char*>(bytes.data() + at), 4};
}

std::uint64_t padded(std::uint32_t size) {
    return std::uint64_t{size} + (size & 1u);
}

// The main header's and the OpenDML header's values, from the chunks of 'hdrl'.
void readHeaderList(std::span<const std::uint8_t> list, AviContents& contents) {
    std::optional<std::uint32_t> mainTotal;
    std::optional<std::uint32_t> odmlTotal;
    std::size_t at = 0;
    while (at + chunkHeaderSize <= list.size()) {
        const std::string_view id = code(list, at);
        const std::uint32_t size = le32(list, at + 4);
        const std::size_t data = at + chunkHeaderSize;
        if (id == "LIST" && size >= 4 && data + 4 <= list.size() && code(list, data) == "odml") {
            at = data + 4;
            continue;
        }
        if (id == "avih" && size >= 20 && data + 20 <= list.size()) {
            contents.microsecondsPerFrame = le32(list, data);
            mainTotal = le32(list, data + 16);
        } else if (id == "dmlh" && size >= 4 && data + 4 <= list.size()) {
            odmlTotal = le32(list, data);
        }
        at = data + padded(size);
    }
    contents.declaredFrames = odmlTotal ? odmlTotal : mainTotal;
}

bool isFrame(std::string_view id) {
    return id.size() == 4 && id[0] >= '0' && id[0] <= '9' && id[1] >= '0' && id[1] <= '9' &&
           (id.substr(2) == "db" || id.substr(2) == "dc");
}

// Counts whole frame chunks from the first 'movi' data on: the list sizes are not trusted, as
// a file cut off holds frames past the size last patched in. Indexes, padding and the
// following RIFFs' headers are stepped over; anything else, or a chunk the file cuts short,
// ends the count.
std::uint32_t countFrames(const platform::ReadOnlyFile& file, std::uint64_t at) {
    std::uint32_t frames = 0;
    std::array<std::uint8_t, 12> header{};
    while (at + chunkHeaderSize <= file.size() && frames < UINT32_MAX) {
        const std::optional<std::size_t> got = file.readAt(at, header);
        if (!got || *got < chunkHeaderSize)
            break;
        const std::string_view id = code(header, 0);
        const std::uint32_t size = le32(header, 4);
        if (id == "RIFF" || (id == "LIST" && *got == 12 && code(header, 8) == "movi")) {
            at += 12;
            continue;
        }
        const std::uint64_t next = at + chunkHeaderSize + padded(size);
        const bool whole = at + chunkHeaderSize + size <= file.size();
        if (isFrame(id) && whole)
            ++frames;
        else if (!whole || (!id.starts_with("ix") && id != "idx1" && id != "JUNK"))
            break;
        at = next;
    }
    return frames;
}

} // namespace

std::optional<AviContents> readAviContents(const platform::ReadOnlyFile& file) {
    std::array<std::uint8_t, 12> head{};
    if (file.readAt(0, head) != head.size() || code(head, 0) != "RIFF" || code(head, 8) != "AVI ")
        return std::nullopt;
    AviContents contents;
    std::uint64_t at = head.size();
    while (at + 12 <= file.size()) {
        if (file.readAt(at, head) != head.size())
            break;
        const std::uint32_t size = le32(head, 4);
        if (code(head, 0) == "LIST" && code(head, 8) == "movi") {
            contents.presentFrames = countFrames(file, at);
            break;
        }
        if (code(head, 0) == "LIST" && code(head, 8) == "hdrl" && size >= 4 &&
            size <= largestHeaderList) {
            std::vector<std::uint8_t> list(size - 4);
            const std::optional<std::size_t> got = file.readAt(at + 12, list);
            if (!got)
                break;
            list.resize(*got);
            readHeaderList(list, contents);
        }
        at += chunkHeaderSize + padded(size);
    }
    return contents;
}

} // namespace video
