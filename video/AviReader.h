#pragma once

#include "platform/ReadOnlyFile.h"

#include <array>
#include <cstdint>
#include <optional>

namespace video {

// The header values as written, of the first stream; 0 where a header is missing.
struct AviHeaders {
    // 'avih'
    std::uint32_t microsecondsPerFrame = 0;
    std::optional<std::uint32_t> mainTotalFrames;
    // 'strh'
    std::uint32_t handler = 0;
    std::uint32_t scale = 0;
    std::uint32_t rate = 0;
    std::uint32_t length = 0;
    std::uint32_t suggestedBufferSize = 0;
    // left | top << 16, right | bottom << 16
    std::array<std::uint32_t, 2> frame{};
    // 'strf'
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = 0;
    // 'indx': the entries in use and the frames of those the chunk holds
    std::uint32_t indexEntries = 0;
    std::uint64_t indexedFrames = 0;
    // 'dmlh'
    std::optional<std::uint32_t> odmlTotalFrames;
};

// What a recording's file holds, read from its headers and its frame data.
struct AviContents {
    AviHeaders headers;
    // Whole frame chunks in the file's 'movi' lists, indexed or not; nothing without a 'movi'.
    std::optional<std::uint32_t> presentFrames;

    // The headers' count: the OpenDML total when there is one, else the main header's.
    std::optional<std::uint32_t> declaredFrames() const {
        return headers.odmlTotalFrames ? headers.odmlTotalFrames : headers.mainTotalFrames;
    }
    // The frames a reader can get: those present, which a file cut off before its headers
    // were last patched has more of than it declares.
    std::optional<std::uint32_t> readableFrames() const {
        return presentFrames ? presentFrames : declaredFrames();
    }
    // Frames a second: the stream header's rate over its scale, else the main header's
    // period; nothing when neither gives a rate a camera could have.
    std::optional<double> framesPerSecond() const;
    // Seconds of video: the readable frames at that rate.
    std::optional<double> seconds() const;
};

// Reads an AVI file as our writer lays it out; nothing when it is not a RIFF AVI. Reads are
// bounded: the headers up to a fixed size, then one chunk header per chunk.
std::optional<AviContents> readAviContents(const platform::ReadOnlyFile& file);

} // namespace video
