#include "tests/sim/LineEnd.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#include <utility>

namespace sim_test {

using Clock = std::chrono::steady_clock;

namespace {

int remainingMs(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

} // namespace

LineEnd::LineEnd(const std::string& path)
    : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) {
    EXPECT_GE(fd_, 0) << "cannot open " << path << ": errno " << errno;
}

LineEnd LineEnd::adopt(int fd) {
    LineEnd end;
    end.fd_ = fd;
    return end;
}

LineEnd::~LineEnd() {
    if (fd_ >= 0)
        ::close(fd_);
}

LineEnd::LineEnd(LineEnd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

void LineEnd::write(const std::vector<std::uint8_t>& bytes) const {
    ASSERT_EQ(::write(fd_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
}

void LineEnd::write(const std::string& text) const {
    write(std::vector<std::uint8_t>(text.begin(), text.end()));
}

std::vector<std::uint8_t> LineEnd::read(std::size_t count,
                                        std::chrono::milliseconds timeout) const {
    std::vector<std::uint8_t> bytes;
    const auto deadline = Clock::now() + timeout;
    while (bytes.size() < count) {
        pollfd watched{fd_, POLLIN, 0};
        if (::poll(&watched, 1, remainingMs(deadline)) <= 0)
            break;
        std::uint8_t chunk[64];
        const auto wanted = std::min(sizeof chunk, count - bytes.size());
        const ssize_t got = ::read(fd_, chunk, wanted);
        if (got <= 0)
            break;
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    return bytes;
}

std::string LineEnd::readText(std::size_t count, std::chrono::milliseconds timeout) const {
    const auto bytes = read(count, timeout);
    return {bytes.begin(), bytes.end()};
}

LineEnd::HangUp LineEnd::waitForHangUp(std::chrono::milliseconds timeout) const {
    HangUp seen;
    const auto deadline = Clock::now() + timeout;
    while (!seen.endOfFile && Clock::now() < deadline) {
        pollfd watched{fd_, POLLIN, 0};
        if (::poll(&watched, 1, remainingMs(deadline)) <= 0)
            break;
        seen.pollHangUp = seen.pollHangUp || (watched.revents & POLLHUP);
        std::uint8_t byte = 0;
        const ssize_t got = ::read(fd_, &byte, 1);
        seen.endOfFile = got == 0 || (got < 0 && errno == EIO);
    }
    return seen;
}

} // namespace sim_test
