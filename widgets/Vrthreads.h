#pragma once

#include "widgets/Vrcontrols.h"

#include <QObject>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <new>
#include <stdexcept>

namespace Vrthreads {
Q_NAMESPACE

enum TVrTimerType { ttThread, ttSystem };
Q_ENUM_NS(TVrTimerType)

enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };
Q_ENUM_NS(TThreadPriority)

} // namespace Vrthreads

using Vrthreads::tpHigher;
using Vrthreads::tpHighest;
using Vrthreads::tpIdle;
using Vrthreads::tpLower;
using Vrthreads::tpLowest;
using Vrthreads::tpNormal;
using Vrthreads::tpTimeCritical;
using Vrthreads::TThreadPriority;
using Vrthreads::ttSystem;
using Vrthreads::ttThread;
using Vrthreads::TVrTimerType;

// Raised when the system refuses a timer.
class EOutOfResources : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TVrTimer;

// The OnTimer handler slot. Assigned like a std::function
// (`Timer2->OnTimer = [this](auto*) { Timer2Timer(); };`); guarded so that a worker thread
// ticking with SyncEvent false never sees a half-written handler.
class TVrTimerEvent {
public:
    using Handler = std::function<void(TVrTimer*)>;

    TVrTimerEvent& operator=(Handler handler);
    explicit operator bool() const;
    Handler handler() const;

private:
    mutable std::mutex mutex_;
    Handler handler_;
};

class TVrTimerThread;

// Periodic timer. ttThread: a worker thread of its own waits for each period and, with
// SyncEvent true, hands the tick to the GUI thread and waits until the handler has run.
// ttSystem: a precise Qt timer of this object, ticking through the GUI thread's event loop.
// Setters, construction and destruction belong to the GUI thread.
//
// Priority is applied by the worker to itself as a nice value on Linux (idle 19 .. normal 0
// .. time-critical -20). Raising it above normal needs privileges; when the system refuses,
// the worker quietly keeps its current priority. Elsewhere Priority is only stored.
class TVrTimer : public TVrComponent {
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(unsigned Interval READ Interval WRITE SetInterval)
    Q_PROPERTY(bool SyncEvent READ SyncEvent WRITE SetSyncEvent)
    Q_PROPERTY(Vrthreads::TVrTimerType TimerType READ TimerType WRITE SetTimerType)
    Q_PROPERTY(Vrthreads::TThreadPriority Priority READ Priority WRITE SetPriority)

public:
    explicit TVrTimer(QObject* owner = nullptr);
    ~TVrTimer() override;
    // Deleting a timer (as its owner and unique_ptr do) stops the worker, waiting for a tick
    // in progress, before any part of the object is torn down: a subclass's Timer running on
    // the worker never sees its members destroyed.
    static void operator delete(TVrTimer* timer, std::destroying_delete_t);
    // The allocation functions that go with it: plain ones, the in-place pair Qt's meta-type
    // system constructs with, and the plain delete that frees a timer whose construction threw.
    static void* operator new(std::size_t size);
    static void* operator new(std::size_t size, void* where) noexcept;
    static void operator delete(void* storage) noexcept;
    static void operator delete(void* storage, void* where) noexcept;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    unsigned Interval() const { return interval_; }
    void SetInterval(unsigned interval);
    // Read by the worker at each tick; no immediate effect.
    bool SyncEvent() const { return syncEvent_; }
    void SetSyncEvent(bool syncEvent) { syncEvent_ = syncEvent; }
    TVrTimerType TimerType() const { return timerType_; }
    void SetTimerType(TVrTimerType timerType);
    TThreadPriority Priority() const { return priority_; }
    void SetPriority(TThreadPriority priority);

    // Assigning a handler starts nothing: only Loaded and the setters re-evaluate.
    TVrTimerEvent OnTimer;

    void Loaded() override;

    // True once the application has begun to quit; no ticks are delivered from then on.
    bool ApplicationTerminating() const { return terminating_; }

protected:
    // The tick: calls OnTimer while Enabled, showing any exception it raises.
    virtual void Timer();
    void timerEvent(QTimerEvent* event) override;

private:
    friend class TVrTimerThread;

    void CreateTimer();
    void DestroyTimer();
    void UpdateTimer();
    bool ShouldRun() const;
    void StartSystemTimer();
    void KillSystemTimer();
    void DeliverTick() noexcept;

    std::atomic<bool> enabled_ = true;
    unsigned interval_ = 1000;
    std::atomic<bool> syncEvent_ = true;
    TVrTimerType timerType_ = ttThread;
    TThreadPriority priority_ = tpNormal;

    int systemTimerId_ = 0;
    std::unique_ptr<TVrTimerThread> thread_;
    bool created_ = false;
    std::atomic<bool> ticking_ = false;
    std::atomic<bool> terminating_ = false;
};
