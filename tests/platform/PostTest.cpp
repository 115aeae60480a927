#include "platform/Post.h"

#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <memory>
#include <thread>

namespace {

struct Ran {
    QThread* thread = nullptr;
    int seen = 0;
};

// Work posted from another thread runs on the context's thread and sees what the poster
// wrote just before posting, though the poster is not joined until the work has run.
TEST(PostTo, RunsOnTheContextThreadAfterThePostersWrites) {
    QObject context;
    Ran ran;
    auto written = std::make_unique<int>(0);
    std::thread poster([&] {
        *written = 42;
        platform::postTo(&context, [&ran, value = written.get()] {
            ran.thread = QThread::currentThread();
            ran.seen = *value;
        });
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return ran.thread != nullptr; }, 10000));
    poster.join();
    EXPECT_EQ(ran.thread, context.thread());
    EXPECT_EQ(ran.seen, 42);
}

TEST(PostTo, DropsTheWorkWhenTheContextIsGoneFirst) {
    bool ran = false;
    QObject witness;
    bool witnessRan = false;
    {
        QObject context;
        platform::postTo(&context, [&ran] { ran = true; });
    }
    platform::postTo(&witness, [&witnessRan] { witnessRan = true; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return witnessRan; }, 10000));
    EXPECT_FALSE(ran);
}

} // namespace
