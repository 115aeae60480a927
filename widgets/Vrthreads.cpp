#include "widgets/Vrthreads.h"

#include "platform/Application.h"
#include "platform/Post.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThread>
#include <QTimerEvent>

#include <algorithm>
#include <array>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <optional>
#include <string>
#include <thread>

#ifdef __linux__
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace {

using Clock = std::chrono::steady_clock;

// One tick handed to the GUI thread. Shared with the queued call, so either side may go
// away first.
struct HandOver {
    std::mutex mutex;
    std::condition_variable finished;
    bool served = false;
    bool cancelled = false;

    // Notified under the lock: the waiter may destroy this as soon as it sees the outcome.
    void settle(bool HandOver::*outcome) {
        std::lock_guard lock(mutex);
        this->*outcome = true;
        finished.notify_all();
    }
};

void applyToCurrentThread(TThreadPriority priority) {
#ifdef __linux__
    static constexpr std::array<int, 7> niceValues{19, 10, 5, 0, -5, -10, -20};
    const auto tid = static_cast<id_t>(syscall(SYS_gettid));
    // Raising needs privileges; a refusal leaves the worker at its current priority.
    (void)setpriority(PRIO_PROCESS, tid, niceValues.at(static_cast<std::size_t>(priority)));
#else
    (void)priority;
#endif
}

bool onGuiThread() {
    const auto* application = QCoreApplication::instance();
    return application == nullptr || QThread::currentThread() == application->thread();
}

// The error box belongs to the GUI thread; a worker tick sends its report there.
void reportException(TVrTimer* sender, const std::exception& error) {
    if (onGuiThread()) {
        platform::Application::handleException(sender, error);
        return;
    }
    platform::postTo(sender, [sender, text = std::string(error.what())] {
        platform::Application::handleException(sender, std::runtime_error(text));
    });
}

void reportUnknownException(TVrTimer* sender) {
    if (onGuiThread()) {
        platform::Application::handleUnknownException(sender);
        return;
    }
    platform::postTo(sender, [sender] { platform::Application::handleUnknownException(sender); });
}

} // namespace

// The worker of a ttThread timer. It starts parked; Run arms its wait, Pause lets the
// current wait expire without a tick. Every wait is a condition-variable wait, so shutdown
// wakes it at once.
class TVrTimerThread {
public:
    explicit TVrTimerThread(TVrTimer& owner) : owner_(owner), thread_([this] { Execute(); }) {}

    ~TVrTimerThread() {
        std::shared_ptr<HandOver> pending;
        {
            std::lock_guard lock(mutex_);
            terminated_ = true;
            pending = pending_;
        }
        wake_.notify_all();
        // The GUI thread is here, so it cannot serve the hand-over; cancel it instead of
        // letting the join wait for a worker that waits for us.
        if (pending)
            pending->settle(&HandOver::cancelled);
        thread_.join();
    }

    TVrTimerThread(const TVrTimerThread&) = delete;
    TVrTimerThread& operator=(const TVrTimerThread&) = delete;

    void Pause() {
        std::lock_guard lock(mutex_);
        running_ = false;
    }

    // The wait in progress keeps going but never ends later than one new period from now.
    void Run(unsigned periodMs, TThreadPriority priority) {
        {
            std::lock_guard lock(mutex_);
            running_ = true;
            period_ = std::chrono::milliseconds(periodMs);
            requestedPriority_ = priority;
            const auto latest = Clock::now() + period_;
            if (!deadline_ || latest < *deadline_)
                deadline_ = latest;
        }
        wake_.notify_all();
    }

private:
    void Execute() {
        std::unique_lock lock(mutex_);
        while (!terminated_) {
            if (!deadline_) {
                wake_.wait(lock);
                continue;
            }
            if (Clock::now() < *deadline_) {
                wake_.wait_until(lock, *deadline_);
                continue;
            }
            deadline_.reset();
            if (!running_)
                continue;
            ApplyRequestedPriority();
            Tick(lock);
            if (running_ && !deadline_)
                deadline_ = Clock::now() + period_;
        }
    }

    void ApplyRequestedPriority() {
        if (appliedPriority_ == requestedPriority_)
            return;
        applyToCurrentThread(requestedPriority_);
        appliedPriority_ = requestedPriority_;
    }

    // Called with the lock held and termination not requested.
    void Tick(std::unique_lock<std::mutex>& lock) {
        if (owner_.ApplicationTerminating())
            return;
        if (owner_.SyncEvent()) {
            HandOverTick(lock);
            return;
        }
        lock.unlock();
        owner_.DeliverTick();
        lock.lock();
    }

    void HandOverTick(std::unique_lock<std::mutex>& lock) {
        auto handOver = std::make_shared<HandOver>();
        pending_ = handOver;
        lock.unlock();
        platform::postTo(&owner_, [handOver, owner = &owner_] { Serve(*owner, *handOver); });
        {
            std::unique_lock wait(handOver->mutex);
            handOver->finished.wait(wait, [&] { return handOver->served || handOver->cancelled; });
        }
        lock.lock();
        pending_.reset();
    }

    // Runs on the GUI thread. The tick may destroy the timer, and with it this worker, so
    // only the shared hand-over is touched afterwards.
    static void Serve(TVrTimer& owner, HandOver& handOver) {
        {
            std::lock_guard lock(handOver.mutex);
            if (handOver.cancelled)
                return;
        }
        struct MarkServed {
            HandOver& handOver;
            ~MarkServed() { handOver.settle(&HandOver::served); }
        } markServed{handOver};
        owner.DeliverTick();
    }

    TVrTimer& owner_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool terminated_ = false;
    bool running_ = false;
    Clock::duration period_ = std::chrono::milliseconds(1000);
    std::optional<Clock::time_point> deadline_;
    TThreadPriority requestedPriority_ = tpNormal;
    std::optional<TThreadPriority> appliedPriority_;
    std::shared_ptr<HandOver> pending_;
    // Last: the worker starts only once every other member is ready.
    std::thread thread_;
};

TVrTimerEvent& TVrTimerEvent::operator=(Handler handler) {
    std::lock_guard lock(mutex_);
    handler_ = std::move(handler);
    return *this;
}

TVrTimerEvent::operator bool() const {
    std::lock_guard lock(mutex_);
    return static_cast<bool>(handler_);
}

TVrTimerEvent::Handler TVrTimerEvent::handler() const {
    std::lock_guard lock(mutex_);
    return handler_;
}

TVrTimer::TVrTimer(QObject* owner) : TVrComponent(owner) {
    if (auto* application = QCoreApplication::instance())
        connect(application, &QCoreApplication::aboutToQuit, this, [this] { terminating_ = true; });
}

TVrTimer::~TVrTimer() {
    enabled_ = false;
    OnTimer = nullptr;
    DestroyTimer();
}

void TVrTimer::operator delete(TVrTimer* timer, std::destroying_delete_t) {
    timer->enabled_ = false;
    timer->DestroyTimer();
    void* storage = dynamic_cast<void*>(timer);
    timer->~TVrTimer();
    ::operator delete(storage);
}

void* TVrTimer::operator new(std::size_t size) {
    return ::operator new(size);
}

void* TVrTimer::operator new(std::size_t, void* where) noexcept {
    return where;
}

void TVrTimer::operator delete(void* storage) noexcept {
    ::operator delete(storage);
}

void TVrTimer::operator delete(void*, void*) noexcept {}

void TVrTimer::SetEnabled(bool enabled) {
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    if (enabled)
        UpdateTimer();
}

void TVrTimer::SetInterval(unsigned interval) {
    if (interval == interval_)
        return;
    interval_ = interval;
    if (enabled_)
        UpdateTimer();
}

void TVrTimer::SetTimerType(TVrTimerType timerType) {
    if (timerType == timerType_)
        return;
    DestroyTimer();
    timerType_ = timerType;
    if (enabled_)
        UpdateTimer();
}

void TVrTimer::SetPriority(TThreadPriority priority) {
    if (priority == priority_)
        return;
    priority_ = priority;
    if (timerType_ == ttThread && enabled_)
        UpdateTimer();
}

void TVrTimer::Loaded() {
    TVrComponent::Loaded();
    UpdateTimer();
}

void TVrTimer::Timer() {
    if (!enabled_ || terminating_)
        return;
    const auto handler = OnTimer.handler();
    if (!handler)
        return;
    // A handler that spins an event loop must not get its own timer's next tick inside it.
    if (ticking_.exchange(true))
        return;
    const QPointer<TVrTimer> alive(this);
    try {
        handler(this);
    } catch (const std::exception& error) {
        reportException(alive, error);
    } catch (...) {
        reportUnknownException(alive);
    }
    if (alive)
        ticking_ = false;
}

void TVrTimer::DeliverTick() noexcept {
    try {
        Timer();
    } catch (const std::exception& error) {
        reportException(this, error);
    } catch (...) {
        reportUnknownException(this);
    }
}

void TVrTimer::timerEvent(QTimerEvent* event) {
    if (systemTimerId_ != 0 && event->timerId() == systemTimerId_) {
        DeliverTick();
        return;
    }
    TVrComponent::timerEvent(event);
}

bool TVrTimer::ShouldRun() const {
    return interval_ != 0 && enabled_ && OnTimer;
}

void TVrTimer::CreateTimer() {
    if (timerType_ == ttThread)
        thread_ = std::make_unique<TVrTimerThread>(*this);
    created_ = true;
}

void TVrTimer::DestroyTimer() {
    if (!created_)
        return;
    if (timerType_ == ttThread)
        thread_.reset();
    else
        KillSystemTimer();
    created_ = false;
}

void TVrTimer::UpdateTimer() {
    if (!created_)
        CreateTimer();
    if (timerType_ == ttThread) {
        thread_->Pause();
        if (ShouldRun())
            thread_->Run(interval_, priority_);
        return;
    }
    KillSystemTimer();
    if (ShouldRun())
        StartSystemTimer();
}

void TVrTimer::StartSystemTimer() {
    // Periods beyond the longest Qt timer are clamped to it.
    const auto periodMs = std::min<unsigned>(interval_, INT_MAX);
    systemTimerId_ = startTimer(std::chrono::milliseconds(periodMs), Qt::PreciseTimer);
    if (systemTimerId_ == 0)
        throw EOutOfResources("No timer resources left.");
}

void TVrTimer::KillSystemTimer() {
    if (systemTimerId_ == 0)
        return;
    killTimer(systemTimerId_);
    systemTimerId_ = 0;
}
