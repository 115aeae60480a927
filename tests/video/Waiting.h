#pragma once

#include <chrono>
#include <thread>

namespace video_test {

// Generous, so a loaded machine slows a test down without failing it.
constexpr auto patience = std::chrono::seconds(20);

// Polls until the condition holds; false when the time ran out first.
template <typename Done>
bool waitFor(Done done, std::chrono::steady_clock::duration timeout = patience) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

} // namespace video_test
