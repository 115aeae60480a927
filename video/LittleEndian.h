#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace video {

// Builds the little-endian records of bitmap and AVI files.
class LittleEndian {
public:
    void put16(std::uint16_t value) { putBytes(value, 2); }
    void put32(std::uint32_t value) { putBytes(value, 4); }
    void put64(std::uint64_t value) { putBytes(value, 8); }
    void putZeros(std::size_t count) { bytes_.insert(bytes_.end(), count, 0); }
    void patch32(std::size_t at, std::uint32_t value) {
        for (std::size_t i = 0; i < 4; ++i)
            bytes_[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }

    std::size_t size() const { return bytes_.size(); }
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }

private:
    void putBytes(std::uint64_t value, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i)
            bytes_.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }

    std::vector<std::uint8_t> bytes_;
};

} // namespace video
