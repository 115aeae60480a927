#pragma once

#include <QString>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace testing_support {

// A robot gone wild behind tcp://127.0.0.1: it takes one connection and sends bytes as fast
// as the console takes them (at most bytesPerSecond), while noting when each byte from the
// console arrived. Ends with the object.
class FloodServer {
public:
    using Clock = std::chrono::steady_clock;

    explicit FloodServer(std::uint64_t bytesPerSecond = 1024 * 1024);
    ~FloodServer();
    FloodServer(const FloodServer&) = delete;
    FloodServer& operator=(const FloodServer&) = delete;

    // The console's "Puerto Comm" for it.
    QString address() const;
    bool connected() const { return connected_; }
    std::uint64_t bytesSent() const { return sent_; }
    // When the first byte from the console after the given time arrived, if one did.
    std::optional<Clock::time_point> firstByteAfter(Clock::time_point since) const;
    std::vector<std::uint8_t> received() const;

private:
    void run();

    int listener_ = -1;
    int port_ = 0;
    std::uint64_t bytesPerSecond_;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> connected_{false};
    std::atomic<std::uint64_t> sent_{0};
    mutable std::mutex mutex_;
    std::vector<std::pair<Clock::time_point, std::uint8_t>> received_;
    std::thread thread_;
};

} // namespace testing_support
