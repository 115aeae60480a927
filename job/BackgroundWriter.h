#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace job {

// Runs file work on a thread of its own, in the order given, so that the GUI thread never
// waits on the disk. The destructor finishes every task handed over before it returns.
class BackgroundWriter {
public:
    using Task = std::function<void()>;

    BackgroundWriter();
    ~BackgroundWriter();
    BackgroundWriter(const BackgroundWriter&) = delete;
    BackgroundWriter& operator=(const BackgroundWriter&) = delete;

    void post(Task task);
    // Waits until every task posted so far has run (for the end of a session and tests).
    void drain();

private:
    void run();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<Task> tasks_;
    bool busy_ = false;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace job
