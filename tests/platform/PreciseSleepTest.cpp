#include "platform/PreciseSleep.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST(PreciseSleep, NeverEndsBeforeTheDeadlineAndAPastDeadlineReturnsAtOnce) {
    for (const auto ahead : {0ms, 1ms, 3ms, 7ms}) {
        const auto deadline = Clock::now() + ahead;
        platform::sleepUntil(deadline);
        EXPECT_GE(Clock::now(), deadline) << ahead.count() << " ms";
    }
    const auto start = Clock::now();
    platform::sleepUntil(start - 1h);
    EXPECT_LT(Clock::now() - start, 1s);
}
