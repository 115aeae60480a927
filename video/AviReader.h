#pragma once

#include "platform/ReadOnlyFile.h"

#include <cstdint>
#include <optional>

namespace video {

// What a recording's file holds, read from its headers and its frame data.
struct AviContents {
    // The headers' count: the OpenDML total when there is one, else the main header's.
    std::optional<std::uint32_t> declaredFrames;
    // The main header's frame period; 0 when it gives none.
    std::uint32_t microsecondsPerFrame = 0;
    // Whole frame chunks in the file's 'movi' lists, indexed or not; nothing without a 'movi'.
    std::optional<std::uint32_t> presentFrames;

    // The frames a reader can get: those present, which a file cut off before its headers
    // were last patched has more of than it declares.
    std::optional<std::uint32_t> readableFrames() const {
        return presentFrames ? presentFrames : declaredFrames;
    }
};

// Reads an AVI file as our writer lays it out; nothing when it is not a RIFF AVI. Reads are
// bounded: the headers up to a fixed size, then one chunk header per chunk.
std::optional<AviContents> readAviContents(const platform::ReadOnlyFile& file);

} // namespace video
