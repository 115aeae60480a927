#include "video/Mp4Reader.h"

#include <algorithm>
#include <array>
#include <bit>
#include <limits>

namespace video {
namespace {

// Ours are a few kilobytes; a second of frames at the fastest camera needs well under this.
constexpr std::uint64_t largestMoov = 1 << 20;
constexpr std::uint64_t largestMoof = 4 << 20;
// Ours hold a second of frames, at most a thousand of them.
constexpr std::uint64_t longestRun = 1 << 20;

using Bytes = std::span<const std::uint8_t>;

constexpr std::uint32_t boxType(const char (&name)[5]) {
    return std::uint32_t(std::uint8_t(name[0])) << 24 | std::uint32_t(std::uint8_t(name[1])) << 16 |
           std::uint32_t(std::uint8_t(name[2])) << 8 | std::uint32_t(std::uint8_t(name[3]));
}

std::uint32_t be32(Bytes bytes, std::size_t at) {
    return std::uint32_t(bytes[at]) << 24 | std::uint32_t(bytes[at + 1]) << 16 |
           std::uint32_t(bytes[at + 2]) << 8 | std::uint32_t(bytes[at + 3]);
}

std::uint64_t be64(Bytes bytes, std::size_t at) {
    return std::uint64_t(be32(bytes, at)) << 32 | be32(bytes, at + 4);
}

// A box header at the start of bytes (8 or 16 of them); size 0 stands for "to the end".
struct BoxHeader {
    std::uint32_t type = 0;
    std::uint64_t size = 0;
    std::size_t length = 0;
};

std::optional<BoxHeader> boxHeader(Bytes bytes) {
    if (bytes.size() < 8)
        return std::nullopt;
    BoxHeader header{be32(bytes, 4), be32(bytes, 0), 8};
    if (header.size == 1) {
        if (bytes.size() < 16)
            return std::nullopt;
        header.size = be64(bytes, 8);
        header.length = 16;
    }
    if (header.size != 0 && header.size < header.length)
        return std::nullopt;
    return header;
}

// Calls found(type, payload) for each whole box in payload.
template <typename Found> void forEachBox(Bytes payload, Found found) {
    while (const std::optional<BoxHeader> header = boxHeader(payload)) {
        const std::uint64_t size = header->size == 0 ? payload.size() : header->size;
        if (size > payload.size())
            return;
        found(header->type, payload.subspan(header->length, size - header->length));
        payload = payload.subspan(size);
    }
}

std::uint64_t saturatingAdd(std::uint64_t a, std::uint64_t b) {
    return a > std::numeric_limits<std::uint64_t>::max() - b
               ? std::numeric_limits<std::uint64_t>::max()
               : a + b;
}

struct Track {
    std::uint32_t id = 0;
    std::uint32_t timescale = 0;
    std::uint32_t defaultDuration = 0;
};

// The first track's number and timescale, and its default sample duration from 'mvex'.
std::optional<Track> readMoov(Bytes moov) {
    std::optional<Track> track;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> durations; // track, duration
    forEachBox(moov, [&](std::uint32_t type, Bytes box) {
        if (type == boxType("trak") && !track) {
            Track found;
            forEachBox(box, [&](std::uint32_t inner, Bytes part) {
                if (inner == boxType("tkhd") && part.size() >= 4) {
                    const std::size_t at = part[0] == 1 ? 20 : 12;
                    if (part.size() >= at + 4)
                        found.id = be32(part, at);
                }
                if (inner != boxType("mdia"))
                    return;
                forEachBox(part, [&](std::uint32_t media, Bytes mdhd) {
                    if (media != boxType("mdhd") || mdhd.size() < 4)
                        return;
                    const std::size_t at = mdhd[0] == 1 ? 20 : 12;
                    if (mdhd.size() >= at + 4)
                        found.timescale = be32(mdhd, at);
                });
            });
            if (found.timescale != 0)
                track = found;
        }
        if (type == boxType("mvex"))
            forEachBox(box, [&](std::uint32_t inner, Bytes trex) {
                if (inner == boxType("trex") && trex.size() >= 16)
                    durations.emplace_back(be32(trex, 4), be32(trex, 12));
            });
    });
    if (track)
        for (const auto& [id, duration] : durations)
            if (id == track->id)
                track->defaultDuration = duration;
    return track;
}

struct Fragment {
    std::uint32_t frames = 0;
    std::uint64_t duration = 0;
};

// The samples of one track's runs in a 'moof' (of every track when none is given); nothing
// when a run claims more samples than its box holds.
std::optional<Fragment> readMoof(Bytes moof, const std::optional<Track>& track) {
    Fragment fragment;
    bool broken = false;
    forEachBox(moof, [&](std::uint32_t type, Bytes traf) {
        if (type != boxType("traf"))
            return;
        std::optional<std::uint32_t> id;
        std::uint32_t defaultDuration = track ? track->defaultDuration : 0;
        forEachBox(traf, [&](std::uint32_t inner, Bytes box) {
            if (inner == boxType("tfhd") && box.size() >= 8) {
                const std::uint32_t flags = be32(box, 0) & 0xffffff;
                id = be32(box, 4);
                std::size_t at = 8 + (flags & 0x01 ? 8 : 0) + (flags & 0x02 ? 4 : 0);
                if (flags & 0x08 && box.size() >= at + 4)
                    defaultDuration = be32(box, at);
            }
            if (inner != boxType("trun") || (track && id != track->id))
                return;
            if (box.size() < 8) {
                broken = true;
                return;
            }
            const std::uint32_t flags = be32(box, 0) & 0xffffff;
            const std::uint64_t count = be32(box, 4);
            const std::size_t start = 8 + (flags & 0x01 ? 4 : 0) + (flags & 0x04 ? 4 : 0);
            const std::size_t each = std::size_t(std::popcount(flags & 0xf00)) * 4;
            if (start > box.size() || count > longestRun ||
                (each != 0 && count > (box.size() - start) / each)) {
                broken = true;
                return;
            }
            fragment.frames = std::uint32_t(std::min<std::uint64_t>(
                fragment.frames + count, std::numeric_limits<std::uint32_t>::max()));
            if (!(flags & 0x100))
                fragment.duration = saturatingAdd(fragment.duration, count * defaultDuration);
            for (std::uint64_t n = 0; flags & 0x100 && n < count; ++n)
                fragment.duration =
                    saturatingAdd(fragment.duration, be32(box, start + std::size_t(n) * each));
        });
    });
    if (broken)
        return std::nullopt;
    return fragment;
}

std::optional<std::vector<std::uint8_t>> readPayload(const platform::ReadOnlyFile& file,
                                                     std::uint64_t at, std::uint64_t size) {
    std::vector<std::uint8_t> bytes(size);
    if (file.readAt(at, bytes) != size)
        return std::nullopt;
    return bytes;
}

} // namespace

std::optional<double> Mp4Contents::seconds() const {
    if (timescale == 0)
        return std::nullopt;
    return double(duration) / timescale;
}

std::optional<Mp4Contents> readMp4Contents(const platform::ReadOnlyFile& file) {
    const std::uint64_t end = file.size();
    std::optional<Track> track;
    std::optional<Fragment> pending;
    Mp4Contents contents;
    bool first = true;
    for (std::uint64_t at = 0; end - at >= 8;) {
        std::array<std::uint8_t, 16> head{};
        const std::optional<std::size_t> got = file.readAt(at, head);
        const std::optional<BoxHeader> header =
            got ? boxHeader(Bytes(head).first(*got)) : std::nullopt;
        if (!header || (first && header->type != boxType("ftyp")))
            break;
        first = false;
        const std::uint64_t size = header->size == 0 ? end - at : header->size;
        if (size > end - at)
            break;
        const std::uint64_t payload = size - header->length;
        if (header->type == boxType("moov")) {
            const auto bytes = payload <= largestMoov
                                   ? readPayload(file, at + header->length, payload)
                                   : std::nullopt;
            track = bytes ? readMoov(*bytes) : std::nullopt;
            if (!track)
                return std::nullopt;
        } else if (header->type == boxType("moof")) {
            const auto bytes = track && payload <= largestMoof
                                   ? readPayload(file, at + header->length, payload)
                                   : std::nullopt;
            pending = bytes ? readMoof(*bytes, track) : std::nullopt;
            if (!pending)
                break;
        } else if (header->type == boxType("mdat") && pending) {
            contents.frames = std::uint32_t(
                std::min<std::uint64_t>(std::uint64_t(contents.frames) + pending->frames,
                                        std::numeric_limits<std::uint32_t>::max()));
            contents.duration = saturatingAdd(contents.duration, pending->duration);
            pending.reset();
        }
        at += size;
    }
    if (!track)
        return std::nullopt;
    contents.timescale = track->timescale;
    return contents;
}

void Mp4FragmentCounter::feed(std::span<const std::uint8_t> bytes) {
    while (!bytes.empty() && !lost_) {
        if (left_ > 0) {
            const std::size_t take = std::size_t(std::min<std::uint64_t>(left_, bytes.size()));
            if (keep_)
                moof_.insert(moof_.end(), bytes.begin(), bytes.begin() + std::ptrdiff_t(take));
            left_ -= take;
            bytes = bytes.subspan(take);
        } else {
            header_.push_back(bytes.front());
            bytes = bytes.subspan(1);
            const std::optional<BoxHeader> header = boxHeader(header_);
            if (!header) {
                lost_ = header_.size() >= 16 || (header_.size() >= 8 && be32(header_, 0) != 1);
                continue;
            }
            header_.clear();
            // A box "to the end" or a fragment too large to hold: nothing after it is counted.
            keep_ = header->type == boxType("moof");
            isMdat_ = header->type == boxType("mdat");
            lost_ = header->size == 0 || (keep_ && header->size > largestMoof);
            left_ = header->size - header->length;
            moof_.clear();
        }
        if (left_ > 0 || lost_ || !header_.empty())
            continue;
        if (keep_) {
            const std::optional<Fragment> fragment = readMoof(moof_, std::nullopt);
            lost_ = !fragment;
            pending_ = fragment ? fragment->frames : 0;
        } else if (isMdat_) {
            frames_ = std::uint32_t(std::min<std::uint64_t>(
                std::uint64_t(frames_) + pending_, std::numeric_limits<std::uint32_t>::max()));
            pending_ = 0;
        }
        keep_ = isMdat_ = false;
    }
}

} // namespace video
