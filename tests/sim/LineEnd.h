#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace sim_test {

// The console's side of the line, opened with plain POSIX calls. Every read is bounded.
class LineEnd {
public:
    explicit LineEnd(const std::string& path);
    // Takes over an already open descriptor, e.g. a pseudo-terminal master.
    static LineEnd adopt(int fd);
    ~LineEnd();
    LineEnd(LineEnd&& other) noexcept;
    LineEnd(const LineEnd&) = delete;
    LineEnd& operator=(const LineEnd&) = delete;
    LineEnd& operator=(LineEnd&&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    void write(const std::vector<std::uint8_t>& bytes) const;
    void write(const std::string& text) const;
    // Collects bytes until `count` have arrived or `timeout` has passed.
    std::vector<std::uint8_t> read(std::size_t count, std::chrono::milliseconds timeout) const;
    std::string readText(std::size_t count, std::chrono::milliseconds timeout) const;

    struct HangUp {
        bool pollHangUp = false;
        bool endOfFile = false;
    };
    // Waits for the far end to vanish; both flags stay false if it did not within `timeout`.
    HangUp waitForHangUp(std::chrono::milliseconds timeout) const;

private:
    LineEnd() = default;
    int fd_ = -1;
};

} // namespace sim_test
