#include "platform/Worker.h"

#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <stdexcept>
#include <vector>

using platform::JobOutcome;
using platform::Worker;

namespace {

// The failures told, with the thread each was told on.
struct Told {
    QObject context;
    std::vector<QString> reasons;
    std::vector<QThread*> threads;
    Worker::Failed failed() {
        return [this](const QString& reason) {
            reasons.push_back(reason);
            threads.push_back(QThread::currentThread());
        };
    }
    bool waitFor(std::size_t count) {
        return QTest::qWaitFor([&] { return reasons.size() >= count; }, 10000);
    }
};

// Holds the worker in its first job until released.
struct Hold {
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::promise<void> entered;
    Worker::Job job() {
        return [this, wait = released] {
            entered.set_value();
            wait.wait();
            return JobOutcome{};
        };
    }
};

} // namespace

TEST(Worker, RunsJobsInTheOrderPostedAndFinishesThemBeforeItGoes) {
    Told told;
    std::vector<int> order;
    {
        Worker worker(100, told.context, told.failed());
        for (int i = 0; i < 100; ++i)
            ASSERT_TRUE(worker.post([&order, i] {
                order.push_back(i);
                return JobOutcome{};
            }));
    }
    ASSERT_EQ(order.size(), 100u);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(order[i], i);
}

TEST(Worker, DrainWaitsForEveryJobPosted) {
    Told told;
    Worker worker(8, told.context, told.failed());
    std::atomic<int> done = 0;
    for (int i = 0; i < 8; ++i)
        ASSERT_TRUE(worker.post([&done] {
            QThread::msleep(5);
            ++done;
            return JobOutcome{};
        }));
    worker.drain();
    EXPECT_EQ(done, 8);
}

// The bound counts the jobs waiting, not the one running; both sides of it.
TEST(Worker, TakesCapacityJobsWaitingAndRefusesTheNext) {
    for (const std::size_t capacity : {std::size_t{1}, std::size_t{3}, std::size_t{30}}) {
        SCOPED_TRACE(capacity);
        Told told;
        Hold hold;
        std::atomic<int> ran = 0;
        Worker worker(capacity, told.context, told.failed());
        ASSERT_TRUE(worker.post(hold.job()));
        hold.entered.get_future().wait();
        auto counted = [&ran] {
            ++ran;
            return JobOutcome{};
        };
        for (std::size_t i = 0; i < capacity; ++i) {
            EXPECT_FALSE(worker.full());
            EXPECT_TRUE(worker.post(counted));
        }
        EXPECT_TRUE(worker.full());
        EXPECT_FALSE(worker.post(counted));
        hold.release.set_value();
        worker.drain();
        EXPECT_EQ(ran, static_cast<int>(capacity));
        EXPECT_FALSE(worker.full());
        EXPECT_TRUE(worker.post(counted)) << "room again once the queue has run";
    }
}

TEST(Worker, TellsWhenTheOldestWaitingJobWasPosted) {
    Told told;
    Hold hold;
    Worker worker(4, told.context, told.failed());
    EXPECT_FALSE(worker.oldestPosted());
    ASSERT_TRUE(worker.post(hold.job()));
    hold.entered.get_future().wait();
    EXPECT_FALSE(worker.oldestPosted()) << "the running job no longer waits";
    const auto before = Worker::Clock::now();
    ASSERT_TRUE(worker.post([] { return JobOutcome{}; }));
    ASSERT_TRUE(worker.post([] { return JobOutcome{}; }));
    ASSERT_TRUE(worker.oldestPosted());
    EXPECT_GE(*worker.oldestPosted(), before);
    EXPECT_LE(*worker.oldestPosted(), Worker::Clock::now());
    hold.release.set_value();
    worker.drain();
    EXPECT_FALSE(worker.oldestPosted());
}

// Every way a job can fail is told once, with its reason, on the context's thread, and the
// jobs after it still run.
TEST(Worker, TellsEachFailedJobOnTheGuiThreadAndRunsTheNext) {
    struct Case {
        const char* name;
        Worker::Job job;
        QString reason;
    };
    const std::vector<Case> cases{
        {"a failure returned", [] { return JobOutcome{QStringLiteral("disco lleno")}; },
         QStringLiteral("disco lleno")},
        {"a standard exception",
         []() -> JobOutcome { throw std::runtime_error("sin memoria para la fila"); },
         QStringLiteral("sin memoria para la fila")},
        {"anything else thrown", []() -> JobOutcome { throw 42; },
         QStringLiteral("error desconocido")},
    };
    for (const Case& failing : cases) {
        SCOPED_TRACE(failing.name);
        Told told;
        std::atomic<bool> nextRan = false;
        Worker worker(4, told.context, told.failed());
        ASSERT_TRUE(worker.post([] { return JobOutcome{}; }));
        ASSERT_TRUE(worker.post(failing.job));
        ASSERT_TRUE(worker.post([&nextRan] {
            nextRan = true;
            return JobOutcome{};
        }));
        worker.drain();
        EXPECT_TRUE(nextRan);
        ASSERT_TRUE(told.waitFor(1));
        EXPECT_EQ(told.reasons, std::vector<QString>{failing.reason});
        EXPECT_EQ(told.threads.front(), told.context.thread());
        QCoreApplication::processEvents();
        EXPECT_EQ(told.reasons.size(), 1u) << "told once";
    }
}

TEST(Worker, JobsThatWentWellTellNothing) {
    Told told;
    Worker worker(2, told.context, told.failed());
    ASSERT_TRUE(worker.post([] { return JobOutcome{}; }));
    ASSERT_TRUE(worker.post([] { return JobOutcome{QStringLiteral("x")}; }));
    worker.drain();
    ASSERT_TRUE(told.waitFor(1));
    QCoreApplication::processEvents();
    EXPECT_EQ(told.reasons, std::vector<QString>{QStringLiteral("x")});
}

// A repeated job runs on its own while nothing is posted, between posted jobs, tells its
// failures like any job.
TEST(Worker, RepeatsAJobEveryPeriodAndTellsItsFailures) {
    Told told;
    std::atomic<int> runs = 0;
    {
        Worker worker(4, told.context, told.failed());
        worker.repeat(std::chrono::milliseconds(10), [&runs]() -> JobOutcome {
            if (++runs == 3)
                return QStringLiteral("tercera vez");
            return {};
        });
        ASSERT_TRUE(told.waitFor(1));
        EXPECT_EQ(told.reasons.front(), QStringLiteral("tercera vez"));
        const int before = runs;
        EXPECT_TRUE(QTest::qWaitFor([&] { return runs > before + 2; }, 10000));
        std::atomic<bool> posted = false;
        ASSERT_TRUE(worker.post([&posted] {
            posted = true;
            return JobOutcome{};
        }));
        worker.drain();
        EXPECT_TRUE(posted);
    }
}
