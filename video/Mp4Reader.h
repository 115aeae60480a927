#pragma once

#include "platform/ReadOnlyFile.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace video {

// The frames of a fragmented MP4 file's first track in its whole fragments: a fragment cut
// off by a crash (its 'moof' or its 'mdat' short) is not counted.
struct Mp4Contents {
    std::uint32_t frames = 0;
    // In the track's own units, timescale of them a second.
    std::uint64_t duration = 0;
    std::uint32_t timescale = 0;

    std::optional<double> seconds() const;
};

// Nothing when the file is no MP4 with a readable 'moov'. Reads are bounded: the header boxes
// and each 'moof' up to a fixed size, one box header for every other box.
std::optional<Mp4Contents> readMp4Contents(const platform::ReadOnlyFile& file);

// Counts the frames of whole fragments in an MP4 stream as it is written, box by box.
class Mp4FragmentCounter {
public:
    void feed(std::span<const std::uint8_t> bytes);
    std::uint32_t frames() const { return frames_; }

private:
    std::vector<std::uint8_t> header_;
    std::vector<std::uint8_t> moof_;
    std::uint64_t left_ = 0;
    bool keep_ = false;
    bool isMdat_ = false;
    std::uint32_t pending_ = 0;
    std::uint32_t frames_ = 0;
    // A stream this counter cannot follow counts nothing more.
    bool lost_ = false;
};

} // namespace video
