#include "platform/PreciseSleep.h"

#ifdef __linux__
#include <sys/prctl.h>

#include <cerrno>
#include <ctime>
#else
#include <thread>
#endif

namespace platform {

#ifdef __linux__

namespace {

// The kernel's default slack lets a wake-up come 50 us late; this thread asks for none.
void useFineTimerSlack() {
    static thread_local const bool applied = prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL) == 0;
    (void)applied;
}

} // namespace

// steady_clock is CLOCK_MONOTONIC here.
void sleepUntil(std::chrono::steady_clock::time_point deadline) {
    useFineTimerSlack();
    const auto sinceEpoch = deadline.time_since_epoch();
    const auto seconds = std::chrono::floor<std::chrono::seconds>(sinceEpoch);
    const timespec wake{static_cast<time_t>(seconds.count()),
                        static_cast<long>(std::chrono::nanoseconds(sinceEpoch - seconds).count())};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &wake, nullptr) == EINTR) {
    }
}

#else

void sleepUntil(std::chrono::steady_clock::time_point deadline) {
    std::this_thread::sleep_until(deadline);
}

#endif

} // namespace platform
