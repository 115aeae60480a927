#pragma once

#include <chrono>

namespace platform {

// Sleeps until `deadline` and wakes as close after it as the system allows: an absolute
// deadline, so time lost before the sleep starts is not added, and the finest timer slack.
void sleepUntil(std::chrono::steady_clock::time_point deadline);

} // namespace platform
