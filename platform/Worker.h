#pragma once

#include <QObject>
#include <QString>

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

namespace platform {

// What a job tells: nothing when it went well, else why it failed, in words for the operator.
using JobOutcome = std::optional<QString>;

// Runs file work on a thread of its own, one job at a time in the order posted, so that
// neither the GUI thread nor a camera thread ever waits on the disk. At most `capacity` jobs
// wait besides the one running; post() refuses the one past that and the caller counts or
// tells it. A job that fails, by its outcome or by throwing, has its reason handed to
// `failed` on the thread of `context` (the GUI thread); the next job runs all the same.
// The destructor runs every job posted before it returns; `context` must outlive the worker.
class Worker {
public:
    using Clock = std::chrono::steady_clock;
    using Job = std::function<JobOutcome()>;
    using Failed = std::function<void(const QString& reason)>;

    Worker(std::size_t capacity, QObject& context, Failed failed);
    ~Worker();
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    // False, and the job is not run, when `capacity` jobs already wait.
    [[nodiscard]] bool post(Job job);
    // Waits until every job posted so far has run (the end of a session, tests).
    void drain();
    // Runs `job` again whenever `period` has passed since it last ran, between posted jobs and
    // while none waits (flushes, retries, checks); until the worker goes.
    void repeat(Clock::duration period, Job job);

    std::size_t capacity() const { return capacity_; }
    // Whether a post now would be refused.
    bool full() const;
    // When the oldest waiting job was posted; none while none waits.
    std::optional<Clock::time_point> oldestPosted() const;

private:
    struct Posted {
        Job job;
        Clock::time_point at;
    };

    void run();
    void runOne(const Job& job);
    bool repeatDue() const;

    const std::size_t capacity_;
    QObject& context_;
    const Failed failed_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<Posted> jobs_;
    Job repeated_;
    Clock::duration period_{};
    Clock::time_point nextRepeat_{};
    bool busy_ = false;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace platform
