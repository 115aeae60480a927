#include "widgets/Vrthreads.h"

#include "tests/support/ScriptedDialogs.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

#ifdef __linux__
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace {

using namespace std::chrono_literals;
using Handler = TVrTimerEvent::Handler;

constexpr int kPatienceMs = 5000;

bool eventually(const std::function<bool()>& condition, int timeoutMs = kPatienceMs) {
    return QTest::qWaitFor(condition, timeoutMs);
}

bool onGuiThread() {
    return QThread::currentThread() == QCoreApplication::instance()->thread();
}

// Counts every expiry of the driver, including the silent ones of a disabled timer.
class ProbeTimer : public TVrTimer {
public:
    std::atomic<int> expiries = 0;

protected:
    void Timer() override {
        ++expiries;
        TVrTimer::Timer();
    }
};

template <typename T = TVrTimer>
std::unique_ptr<T> loadedTimer(TVrTimerType type, unsigned interval, Handler handler) {
    auto timer = std::make_unique<T>();
    timer->BeginLoading();
    timer->SetTimerType(type);
    timer->SetInterval(interval);
    if (handler)
        timer->OnTimer = std::move(handler);
    timer->Loaded();
    return timer;
}

// Aborts the test program if the guarded block outlives its limit: a deadlock fails
// loudly instead of hanging the run.
class Watchdog {
public:
    Watchdog(std::chrono::seconds limit, const char* what)
        : thread_([this, limit, what] {
              std::unique_lock lock(mutex_);
              if (!finished_.wait_for(lock, limit, [this] { return done_; })) {
                  std::fprintf(stderr, "Watchdog: %s did not finish, deadlock\n", what);
                  std::abort();
              }
          }) {}

    ~Watchdog() {
        {
            std::lock_guard lock(mutex_);
            done_ = true;
        }
        finished_.notify_all();
        thread_.join();
    }

private:
    std::mutex mutex_;
    std::condition_variable finished_;
    bool done_ = false;
    std::thread thread_;
};

class EveryDriver : public ::testing::TestWithParam<TVrTimerType> {};

INSTANTIATE_TEST_SUITE_P(Timer, EveryDriver, ::testing::Values(ttThread, ttSystem),
                         [](const auto& info) {
                             return std::string(info.param == ttThread ? "Thread" : "System");
                         });

TEST(Timer, DefaultsAndProperties) {
    TVrTimer timer;
    EXPECT_TRUE(timer.Enabled());
    EXPECT_EQ(timer.Interval(), 1000u);
    EXPECT_TRUE(timer.SyncEvent());
    EXPECT_EQ(timer.TimerType(), ttThread);
    EXPECT_EQ(timer.Priority(), tpNormal);
    EXPECT_FALSE(timer.OnTimer);
    EXPECT_EQ(timer.Version(), "1.3");
    EXPECT_TRUE(timer.setProperty("TimerType", QVariant::fromValue(ttSystem)));
    EXPECT_TRUE(timer.setProperty("Interval", 250u));
    EXPECT_EQ(timer.TimerType(), ttSystem);
    EXPECT_EQ(timer.property("Interval").toUInt(), 250u);
}

TEST_P(EveryDriver, IntervalZeroNeverRuns) {
    std::atomic<int> ticks = 0;
    auto timer = loadedTimer<ProbeTimer>(GetParam(), 0, [&](TVrTimer*) { ++ticks; });
    timer->SetEnabled(false);
    timer->SetEnabled(true);
    QTest::qWait(300);
    EXPECT_EQ(timer->expiries, 0);
    EXPECT_EQ(ticks, 0);
}

TEST_P(EveryDriver, NoHandlerAtTheLastUpdateKeepsItStoppedUntilASetterRuns) {
    std::atomic<int> ticks = 0;
    auto timer = loadedTimer<ProbeTimer>(GetParam(), 10, nullptr);
    QTest::qWait(200);
    timer->OnTimer = [&](TVrTimer*) { ++ticks; };
    QTest::qWait(200);
    EXPECT_EQ(timer->expiries, 0);
    EXPECT_EQ(ticks, 0);

    timer->SetInterval(20);
    EXPECT_TRUE(eventually([&] { return ticks >= 2; }));
}

TEST_P(EveryDriver, HandlerThatDisablesItsTimerStopsTicksUntilReenabled) {
    std::atomic<int> ticks = 0;
    auto timer = loadedTimer(GetParam(), 100, [&](TVrTimer* self) {
        ++ticks;
        self->SetEnabled(false);
    });
    ASSERT_TRUE(eventually([&] { return ticks == 1; }));
    QTest::qWait(400);
    EXPECT_EQ(ticks, 1);

    timer->SetEnabled(true);
    EXPECT_TRUE(eventually([&] { return ticks == 2; }, 2000));
    QTest::qWait(400);
    EXPECT_EQ(ticks, 2);
}

TEST_P(EveryDriver, HandlersRunOnTheGuiThreadAndNeverOverlap) {
    int ticks = 0;
    int active = 0;
    int mostActive = 0;
    bool allOnGuiThread = true;
    // Longer than the interval, and spinning the event loop as a modal box would.
    auto timer = loadedTimer(GetParam(), 5, [&](TVrTimer*) {
        allOnGuiThread = allOnGuiThread && onGuiThread();
        mostActive = std::max(mostActive, ++active);
        QElapsedTimer busy;
        busy.start();
        while (busy.elapsed() < 30)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        --active;
        ++ticks;
    });
    EXPECT_TRUE(eventually([&] { return ticks >= 4; }));
    EXPECT_TRUE(allOnGuiThread);
    EXPECT_EQ(mostActive, 1);
}

TEST_P(EveryDriver, ExceptionInTheHandlerIsShownAndTickingGoesOn) {
    testing_support::ScriptedDialogs dialogs;
    int ticks = 0;
    auto timer = loadedTimer(GetParam(), 10, [&](TVrTimer*) {
        if (++ticks == 1)
            throw std::runtime_error("Puerto cerrado");
    });
    EXPECT_TRUE(eventually([&] { return ticks >= 3; }));
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].text, "Puerto cerrado");
    EXPECT_EQ(dialogs.messages()[0].icon, platform::MessageIcon::Error);
}

TEST_P(EveryDriver, DestroyingMidWaitDoesNotWaitOutThePeriod) {
    auto timer = loadedTimer(GetParam(), 10000, [](TVrTimer*) {});
    QTest::qWait(50);
    QElapsedTimer elapsed;
    elapsed.start();
    timer.reset();
    EXPECT_LT(elapsed.elapsed(), 1000);
}

TEST(ThreadTimer, DisabledTimerKeepsWakingSilentlyAndStoresTheInterval) {
    std::atomic<int> ticks = 0;
    auto timer = loadedTimer<ProbeTimer>(ttThread, 20, [&](TVrTimer*) { ++ticks; });
    ASSERT_TRUE(eventually([&] { return ticks >= 1; }));

    timer->SetEnabled(false);
    timer->SetEnabled(false);
    timer->SetInterval(0);
    const int ticksWhenDisabled = ticks;
    const int expiriesWhenDisabled = timer->expiries;
    EXPECT_TRUE(eventually([&] { return timer->expiries >= expiriesWhenDisabled + 3; }));
    EXPECT_EQ(ticks, ticksWhenDisabled);

    // Enabling applies the stored interval 0: the worker stops.
    timer->SetEnabled(true);
    QTest::qWait(100);
    const int expiriesWhenStopped = timer->expiries;
    QTest::qWait(300);
    EXPECT_EQ(timer->expiries, expiriesWhenStopped);
}

TEST(ThreadTimer, WithoutSyncEventTicksRunOnTheWorkerOneAtATime) {
    std::atomic<int> ticks = 0;
    std::atomic<int> active = 0;
    std::atomic<bool> overlapped = false;
    std::atomic<bool> onGui = false;
    auto timer = std::make_unique<TVrTimer>();
    timer->SetSyncEvent(false);
    timer->OnTimer = [&](TVrTimer*) {
        overlapped = overlapped || ++active > 1;
        onGui = onGui || onGuiThread();
        std::this_thread::sleep_for(20ms);
        --active;
        ++ticks;
    };
    timer->SetInterval(1);
    EXPECT_TRUE(eventually([&] { return ticks >= 4; }));
    timer.reset();
    EXPECT_FALSE(overlapped);
    EXPECT_FALSE(onGui);
}

namespace {

// What a worker tick saw of its timer's life.
struct TickWitness {
    std::atomic<bool> entered = false;
    std::atomic<bool> destroyed = false;
    std::atomic<bool> tickOutlivedTheTimer = false;
};

// Ticks on the worker through its own members, as a subclass may.
class MemberTickingTimer : public TVrTimer {
public:
    explicit MemberTickingTimer(TickWitness& witness) : witness_(witness) {
        SetSyncEvent(false);
        OnTimer = [](TVrTimer*) {};
    }
    ~MemberTickingTimer() override { witness_.destroyed = true; }

protected:
    void Timer() override {
        witness_.entered = true;
        std::this_thread::sleep_for(5ms);
        if (witness_.destroyed)
            witness_.tickOutlivedTheTimer = true;
        samples_.push_back(samples_.size());
    }

private:
    TickWitness& witness_;
    std::vector<std::size_t> samples_;
};

} // namespace

TEST(ThreadTimer, DeletingASubclassWaitsForTheTickOnTheWorker) {
    for (int round = 0; round < 20; ++round) {
        TickWitness witness;
        auto timer = std::make_unique<MemberTickingTimer>(witness);
        timer->SetInterval(1);
        ASSERT_TRUE(eventually([&] { return witness.entered.load(); }));
        timer.reset();
        EXPECT_FALSE(witness.tickOutlivedTheTimer) << "round " << round;
    }
}

TEST(ThreadTimer, WorkerExceptionIsShownOnTheGuiThread) {
    testing_support::ScriptedDialogs dialogs;
    std::atomic<int> ticks = 0;
    auto timer = std::make_unique<TVrTimer>();
    timer->SetSyncEvent(false);
    timer->OnTimer = [&](TVrTimer*) {
        if (++ticks == 1)
            throw std::runtime_error("Sin respuesta");
    };
    timer->SetInterval(10);
    EXPECT_TRUE(eventually([&] { return ticks >= 3 && !dialogs.messages().empty(); }));
    timer.reset();
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].text, "Sin respuesta");
}

#ifdef __linux__
TEST(ThreadTimer, PriorityIsGivenToTheWorker) {
    std::atomic<int> niceValue = 0;
    auto timer = std::make_unique<TVrTimer>();
    timer->SetSyncEvent(false);
    timer->OnTimer = [&](TVrTimer*) {
        niceValue = getpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)));
    };
    timer->SetInterval(10);
    timer->SetPriority(tpIdle);
    EXPECT_EQ(timer->Priority(), tpIdle);
    EXPECT_TRUE(eventually([&] { return niceValue == 19; }));
}
#endif

TEST(Timer, TypeChangeWhileEnabledReplacesTheDriver) {
    struct Tick {
        int phase;
        bool onGui;
    };
    std::mutex mutex;
    std::vector<Tick> ticks;
    int phase = 0;
    auto countIn = [&](int wanted) {
        std::lock_guard lock(mutex);
        return std::count_if(ticks.begin(), ticks.end(),
                             [&](const Tick& tick) { return tick.phase == wanted; });
    };
    auto timer = std::make_unique<TVrTimer>();
    timer->SetSyncEvent(false);
    timer->OnTimer = [&](TVrTimer*) {
        std::lock_guard lock(mutex);
        ticks.push_back({phase, onGuiThread()});
    };
    timer->SetInterval(10);
    ASSERT_TRUE(eventually([&] { return countIn(0) >= 3; }));

    timer->SetTimerType(ttSystem);
    {
        std::lock_guard lock(mutex);
        phase = 1;
    }
    ASSERT_TRUE(eventually([&] { return countIn(1) >= 3; }));

    timer->SetTimerType(ttThread);
    {
        std::lock_guard lock(mutex);
        phase = 2;
    }
    ASSERT_TRUE(eventually([&] { return countIn(2) >= 3; }));
    timer.reset();

    for (const Tick& tick : ticks)
        EXPECT_EQ(tick.onGui, tick.phase == 1) << "phase " << tick.phase;
}

TEST_P(EveryDriver, NoTicksOnceTheApplicationIsQuitting) {
    std::atomic<int> ticks = 0;
    auto timer = loadedTimer(GetParam(), 10, [&](TVrTimer*) { ++ticks; });
    ASSERT_TRUE(eventually([&] { return ticks >= 1; }));
    // Only the timers alive now hear it; the shared application object carries on.
    ASSERT_TRUE(QMetaObject::invokeMethod(QCoreApplication::instance(), "aboutToQuit"));
    EXPECT_TRUE(timer->ApplicationTerminating());
    QTest::qWait(50);
    const int ticksWhenQuitting = ticks;
    QTest::qWait(200);
    EXPECT_EQ(ticks, ticksWhenQuitting);
}

TEST(SystemTimer, EnablingAnEnabledTimerDoesNotRestartItsPeriod) {
    int ticks = 0;
    auto timer = loadedTimer(ttSystem, 300, [&](TVrTimer*) { ++ticks; });
    QElapsedTimer elapsed;
    elapsed.start();
    while (ticks == 0 && elapsed.elapsed() < kPatienceMs) {
        timer->SetEnabled(true);
        QTest::qWait(20);
    }
    EXPECT_GE(ticks, 1);
}

TEST(SystemTimer, ReenablingRestartsThePeriod) {
    int ticks = 0;
    auto timer = loadedTimer(ttSystem, 1500, [&](TVrTimer*) { ++ticks; });
    QElapsedTimer elapsed;
    elapsed.start();
    while (elapsed.elapsed() < 1000) {
        timer->SetEnabled(false);
        timer->SetEnabled(true);
        QTest::qWait(50);
    }
    EXPECT_EQ(ticks, 0);
    EXPECT_TRUE(eventually([&] { return ticks == 1; }));
}

TEST(SystemTimer, RefusedTimerRaisesOutOfResources) {
    QThread elsewhere;
    TVrTimer timer;
    timer.OnTimer = [](TVrTimer*) {};
    // Qt refuses a timer for an object whose thread has no running event loop.
    timer.moveToThread(&elsewhere);
    try {
        timer.SetTimerType(ttSystem);
        timer.Loaded();
        FAIL() << "no exception";
    } catch (const EOutOfResources& error) {
        EXPECT_STREQ(error.what(), "No timer resources left.");
    }
}

TEST(ThreadTimerShutdown, DestroyingDuringHandOversNeverDeadlocks) {
    std::atomic<int> ticks = 0;
    const Handler count = [&](TVrTimer*) { ++ticks; };
    Watchdog watchdog(60s, "create/destroy loop");

    // One at a time: the worker has usually queued its tick and blocks in the hand-over.
    for (int i = 0; i < 300; ++i) {
        auto timer = loadedTimer(ttThread, 1, count);
        std::this_thread::sleep_for(2ms);
        if (i % 3 == 0)
            QCoreApplication::processEvents();
        if (i % 5 == 0)
            timer->SetTimerType(ttSystem);
    }

    // Many at once, destroyed with their hand-overs pending.
    for (int round = 0; round < 4; ++round) {
        std::vector<std::unique_ptr<TVrTimer>> timers;
        for (int i = 0; i < 50; ++i)
            timers.push_back(loadedTimer(ttThread, 1, count));
        std::this_thread::sleep_for(5ms);
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(5ms);
    }
    QCoreApplication::processEvents();
    EXPECT_GT(ticks, 0);
}

TEST(ThreadTimerShutdown, HandlerMayDestroyOrRetypeItsOwnTimer) {
    Watchdog watchdog(60s, "handler tearing down its own timer");
    for (int i = 0; i < 50; ++i) {
        std::unique_ptr<TVrTimer> timer;
        timer = loadedTimer(ttThread, 1, [&](TVrTimer*) { timer.reset(); });
        ASSERT_TRUE(eventually([&] { return timer == nullptr; }));
    }
    int systemTicks = 0;
    auto timer = loadedTimer(ttThread, 1, [&](TVrTimer* self) {
        if (self->TimerType() == ttThread)
            self->SetTimerType(ttSystem);
        else
            ++systemTicks;
    });
    EXPECT_TRUE(eventually([&] { return systemTicks >= 2; }));
}

} // namespace
