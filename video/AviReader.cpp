#include "video/AviReader.h"

#include <algorithm>
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

std::uint16_t le16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

// The super index's entries in use, and the frames of those the chunk holds.
void readSuperIndex(std::span<const std::uint8_t> data, AviHeaders& headers) {
    constexpr std::size_t entriesAt = 24;
    constexpr std::size_t entrySize = 16;
    headers.indexEntries = le32(data, 4);
    const std::size_t held = data.size() < entriesAt ? 0 : (data.size() - entriesAt) / entrySize;
    const std::size_t entries = std::min<std::size_t>(headers.indexEntries, held);
    for (std::size_t e = 0; e < entries; ++e)
        headers.indexedFrames += le32(data, entriesAt + entrySize * e + 12);
}

// The values of the chunks of 'hdrl', stepping into its 'strl' and 'odml' lists. Of the
// stream headers only the first stream's are taken.
void readHeaderList(std::span<const std::uint8_t> list, AviHeaders& headers) {
    bool streamRead = false;
    bool inStream = false;
    std::size_t streamEnd = 0;
    std::size_t at = 0;
    while (at + chunkHeaderSize <= list.size()) {
        if (inStream && at >= streamEnd) {
            inStream = false;
            streamRead = true;
        }
        const std::string_view id = code(list, at);
        const std::uint32_t size = le32(list, at + 4);
        const std::size_t data = at + chunkHeaderSize;
        const auto holds = [&](std::uint32_t bytes) {
            return size >= bytes && data + bytes <= list.size();
        };
        const std::string_view listType = id == "LIST" && holds(4) ? code(list, data) : "";
        const bool stream = listType == "strl" && !inStream && !streamRead;
        if (stream || listType == "odml") {
            inStream = stream;
            if (stream)
                streamEnd = data + padded(size);
            at = data + 4;
            continue;
        }
        const std::span<const std::uint8_t> body =
            list.subspan(data, std::min<std::size_t>(size, list.size() - data));
        if (id == "avih" && holds(20)) {
            headers.microsecondsPerFrame = le32(list, data);
            headers.mainTotalFrames = le32(list, data + 16);
        } else if (id == "dmlh" && holds(4)) {
            headers.odmlTotalFrames = le32(list, data);
        } else if (inStream && id == "strh" && holds(56)) {
            headers.handler = le32(body, 4);
            headers.scale = le32(body, 20);
            headers.rate = le32(body, 24);
            headers.length = le32(body, 32);
            headers.suggestedBufferSize = le32(body, 36);
            headers.frame = {le32(body, 48), le32(body, 52)};
        } else if (inStream && id == "strf" && holds(20)) {
            headers.width = le32(body, 4);
            headers.height = le32(body, 8);
            headers.bitCount = le16(body, 14);
            headers.compression = le32(body, 16);
        } else if (inStream && id == "indx" && holds(24)) {
            readSuperIndex(body, headers);
        }
        at = data + padded(size);
    }
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

namespace {

// Seconds a frame, as a fraction of two header values, when it is one a camera could give.
struct FramePeriod {
    double numerator;
    double denominator;
};

std::optional<FramePeriod> framePeriod(const AviHeaders& headers) {
    constexpr double slowest = 1.0 / 3600;
    constexpr double fastest = 1000;
    const auto camera = [](FramePeriod period) -> std::optional<FramePeriod> {
        if (!(period.numerator > 0))
            return std::nullopt;
        const double rate = period.denominator / period.numerator;
        if (rate < slowest || rate > fastest)
            return std::nullopt;
        return period;
    };
    if (headers.rate > 0)
        if (const auto period = camera({double(headers.scale), double(headers.rate)}))
            return period;
    return camera({double(headers.microsecondsPerFrame), 1e6});
}

} // namespace

std::optional<double> AviContents::framesPerSecond() const {
    const std::optional<FramePeriod> period = framePeriod(headers);
    if (!period)
        return std::nullopt;
    return period->denominator / period->numerator;
}

std::optional<double> AviContents::seconds() const {
    const std::optional<FramePeriod> period = framePeriod(headers);
    const std::optional<std::uint32_t> frames = readableFrames();
    if (!period || !frames)
        return std::nullopt;
    return double(*frames) * period->numerator / period->denominator;
}

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
            readHeaderList(list, contents.headers);
        }
        at += chunkHeaderSize + padded(size);
    }
    return contents;
}

} // namespace video
