#include "tests/support/FloodServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace testing_support {

FloodServer::FloodServer(std::uint64_t bytesPerSecond) : bytesPerSecond_(bytesPerSecond) {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(listener_, 1) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("flood server: no port on 127.0.0.1");
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { run(); });
}

FloodServer::~FloodServer() {
    stopping_ = true;
    thread_.join();
    ::close(listener_);
}

QString FloodServer::address() const {
    return QStringLiteral("tcp://127.0.0.1:%1").arg(port_);
}

std::optional<FloodServer::Clock::time_point>
FloodServer::firstByteAfter(Clock::time_point since) const {
    const std::lock_guard lock(mutex_);
    for (const auto& [time, byte] : received_)
        if (time >= since)
            return time;
    return std::nullopt;
}

std::vector<std::uint8_t> FloodServer::received() const {
    const std::lock_guard lock(mutex_);
    std::vector<std::uint8_t> bytes;
    for (const auto& entry : received_)
        bytes.push_back(entry.second);
    return bytes;
}

// Polls every few milliseconds, so the end of the test is never waited on for long.
void FloodServer::run() {
    constexpr int pollMs = 2;
    int connection = -1;
    const std::vector<char> chunk(4096, 'Z');
    const auto start = Clock::now();
    while (!stopping_) {
        if (connection < 0) {
            pollfd waiting{listener_, POLLIN, 0};
            if (::poll(&waiting, 1, pollMs) > 0) {
                connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
                connected_ = connection >= 0;
            }
            continue;
        }
        const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        const bool mayFlood = sent_ < static_cast<std::uint64_t>(elapsed * bytesPerSecond_);
        pollfd ends{connection, static_cast<short>(POLLIN | (mayFlood ? POLLOUT : 0)), 0};
        if (::poll(&ends, 1, pollMs) <= 0)
            continue;
        if (ends.revents & POLLIN) {
            char bytes[256];
            const ssize_t got = ::read(connection, bytes, sizeof bytes);
            const auto now = Clock::now();
            if (got <= 0)
                break;
            const std::lock_guard lock(mutex_);
            for (ssize_t i = 0; i < got; ++i)
                received_.emplace_back(now, static_cast<std::uint8_t>(bytes[i]));
        }
        if (ends.revents & POLLOUT) {
            const ssize_t put = ::write(connection, chunk.data(), chunk.size());
            if (put > 0)
                sent_ += static_cast<std::uint64_t>(put);
        }
    }
    connected_ = false;
    if (connection >= 0)
        ::close(connection);
}

} // namespace testing_support
