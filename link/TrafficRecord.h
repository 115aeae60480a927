#pragma once

#include "sim/Robot.h"

#include <QByteArrayView>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace robot {

// Every byte on the robot's line, in both directions, and the link's events, one line each:
// milliseconds since the record began (monotonic), '>' sent, '<' received or '!' event,
// the byte in hex, and for a sent byte that completes a command its name as marlo-sim
// prints it. The GUI thread only queues; a background writer writes and flushes at least
// once a second. One file per run, named by its start, at most fileLimit bytes each (a new
// file follows), and at most filesKept files in the folder (the oldest go).
class TrafficRecord {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr int filesKept = 10;
    static constexpr std::uintmax_t defaultFileLimit = 10 * 1024 * 1024;
    static constexpr auto writeEvery = std::chrono::milliseconds(250);

    // $XDG_STATE_HOME/marlo-consola, or ~/.local/state/marlo-consola.
    static std::filesystem::path defaultFolder();

    explicit TrafficRecord(std::filesystem::path folder,
                           std::uintmax_t fileLimit = defaultFileLimit);
    ~TrafficRecord();
    TrafficRecord(const TrafficRecord&) = delete;
    TrafficRecord& operator=(const TrafficRecord&) = delete;

    // False when the folder or the file could not be made; nothing is recorded then.
    bool ok() const { return ok_; }
    std::filesystem::path currentFile() const;

    void sent(std::uint8_t byte);
    void received(QByteArrayView bytes);
    void event(const std::string& text);

    // Waits until everything queued so far is on disk (tests and the end of a run).
    void flush();

private:
    void queue(std::string line);
    void run();
    bool openNewFile();
    void removeOldFiles() const;
    void writeOut(std::vector<std::string>& lines);
    long long elapsedMs() const;

    std::filesystem::path folder_;
    std::uintmax_t fileLimit_;
    Clock::time_point start_ = Clock::now();
    sim::Robot decoder_;
    bool ok_ = false;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable written_;
    std::vector<std::string> pending_;
    std::uint64_t queued_ = 0;
    std::uint64_t done_ = 0;
    bool flushRequested_ = false;
    bool stopping_ = false;

    // Writer thread only, apart from construction.
    std::FILE* file_ = nullptr;
    std::filesystem::path path_;
    std::uintmax_t fileBytes_ = 0;

    std::thread writer_;
};

} // namespace robot
