#pragma once

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace video_test {

// The first RIFF's main and stream headers of a recording, read from its bytes.
struct StreamHeader {
    std::uint32_t microSecPerFrame = 0;
    std::uint32_t handler = 0;
    std::uint32_t scale = 0;
    std::uint32_t rate = 0;
    std::uint32_t length = 0;
    std::uint32_t suggestedBufferSize = 0;
    std::int16_t frame[4] = {};
    std::uint32_t compression = 0;

    static StreamHeader read(const std::filesystem::path& file) {
        std::ifstream in(file, std::ios::binary);
        std::string bytes(4096, '\0');
        in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        bytes.resize(static_cast<std::size_t>(in.gcount()));
        StreamHeader h;
        const auto avih = bytes.find("avih"), strh = bytes.find("strh"), strf = bytes.find("strf");
        if (avih == std::string::npos || strh == std::string::npos || strf == std::string::npos)
            return h;
        auto at = [&bytes](std::size_t offset, auto& value) {
            std::memcpy(&value, bytes.data() + offset, sizeof value);
        };
        at(avih + 8, h.microSecPerFrame);
        at(strh + 12, h.handler);
        at(strh + 28, h.scale);
        at(strh + 32, h.rate);
        at(strh + 40, h.length);
        at(strh + 44, h.suggestedBufferSize);
        at(strh + 56, h.frame);
        at(strf + 24, h.compression);
        return h;
    }
};

} // namespace video_test
