#include "platform/Worker.h"

#include "platform/Post.h"

#include <QCoreApplication>

#include <algorithm>
#include <exception>

namespace platform {

namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(Worker)
};

} // namespace

Worker::Worker(std::size_t capacity, QObject& context, Failed failed)
    : capacity_(std::max<std::size_t>(capacity, 1)), context_(context), failed_(std::move(failed)),
      thread_([this] { run(); }) {}

Worker::~Worker() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

bool Worker::post(Job job) {
    {
        std::lock_guard lock(mutex_);
        if (jobs_.size() >= capacity_)
            return false;
        jobs_.push_back({std::move(job), Clock::now()});
    }
    wake_.notify_one();
    return true;
}

void Worker::drain() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return jobs_.empty() && !busy_; });
}

bool Worker::full() const {
    std::lock_guard lock(mutex_);
    return jobs_.size() >= capacity_;
}

std::optional<Worker::Clock::time_point> Worker::oldestPosted() const {
    std::lock_guard lock(mutex_);
    if (jobs_.empty())
        return std::nullopt;
    return jobs_.front().at;
}

void Worker::repeat(Clock::duration period, Job job) {
    {
        std::lock_guard lock(mutex_);
        repeated_ = std::move(job);
        period_ = period;
        nextRepeat_ = Clock::now() + period;
    }
    wake_.notify_one();
}

bool Worker::repeatDue() const {
    return repeated_ && !stopping_ && Clock::now() >= nextRepeat_;
}

void Worker::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        while (!stopping_ && jobs_.empty() && !repeatDue()) {
            if (repeated_)
                wake_.wait_until(lock, nextRepeat_);
            else
                wake_.wait(lock);
        }
        Job job;
        if (repeatDue()) {
            job = repeated_;
            nextRepeat_ = Clock::now() + period_;
        } else if (!jobs_.empty()) {
            job = std::move(jobs_.front().job);
            jobs_.pop_front();
        } else if (stopping_) {
            return;
        } else {
            continue;
        }
        busy_ = true;
        lock.unlock();
        runOne(job);
        lock.lock();
        busy_ = false;
        if (jobs_.empty())
            idle_.notify_all();
    }
}

// A failure is never swallowed here: whatever the job could not do is told on the GUI thread.
void Worker::runOne(const Job& job) {
    JobOutcome failure;
    try {
        failure = job();
    } catch (const std::exception& error) {
        failure = QString::fromLocal8Bit(error.what());
    } catch (...) {
        failure = Texts::tr("error desconocido");
    }
    if (failure)
        postTo(&context_, [failed = failed_, reason = *failure] { failed(reason); });
}

} // namespace platform
