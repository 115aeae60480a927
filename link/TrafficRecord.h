#pragma once

#include "platform/Disk.h"
#include "platform/Worker.h"
#include "robot/Grammar.h"

#include <QByteArrayView>
#include <QObject>
#include <QString>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace robot {

// Every byte on the robot's line, in both directions, and the link's events, one line each:
// milliseconds since the record began (monotonic), '>' sent, '<' received or '!' event,
// the byte in hex, and for a sent byte that completes a command its name as marlo-sim
// prints it. The GUI thread only queues; a background writer writes and flushes at least
// once a second. One file per run, named by its start, at most fileLimit bytes each (a new
// file follows), and at most filesKept files in the folder (the oldest go).
//
// One run's received bytes take at most a quarter of one file; beyond that they are only
// counted, and the record says how many ("N bytes recibidos no registrados"), so a robot
// that floods the line never pushes the earlier records out. A record that cannot be kept
// (no folder, no permission, a full disk) says why in problem() and is tried again every
// retryEvery on the writer thread; a full disk ends the file at its last whole line. Lines
// lost, and a record that ends, are told on the GUI thread with that reason.
class TrafficRecord {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr int filesKept = 10;
    static constexpr std::uintmax_t defaultFileLimit = 10 * 1024 * 1024;
    static constexpr auto writeEvery = std::chrono::milliseconds(250);
    static constexpr auto retryEvery = std::chrono::seconds(2);
    // The count of bytes not recorded is written at most this often while it grows.
    static constexpr auto countEvery = std::chrono::seconds(5);

    // $XDG_STATE_HOME/marlo-consola, or ~/.local/state/marlo-consola.
    static std::filesystem::path defaultFolder();

    explicit TrafficRecord(std::filesystem::path folder,
                           std::uintmax_t fileLimit = defaultFileLimit,
                           platform::Disk disk = platform::localDisk());
    ~TrafficRecord();
    TrafficRecord(const TrafficRecord&) = delete;
    TrafficRecord& operator=(const TrafficRecord&) = delete;

    // False while the record cannot be kept; nothing is recorded then.
    bool ok() const { return ok_; }
    // Why the record cannot be kept, in a few words for the operator; empty while it is.
    QString problem() const;
    std::filesystem::path currentFile() const;
    // Received bytes one run records at most: a received byte's line is at most 16 bytes
    // long (times of up to ten digits), so they take at most a quarter of one file.
    std::uintmax_t receivedBytesKept() const { return fileLimit_ / 4 / 16; }
    // Received bytes past this run's share, counted and not recorded.
    std::uint64_t unrecordedBytes() const { return unrecorded_; }

    void sent(std::uint8_t byte);
    void received(QByteArrayView bytes);
    void event(const std::string& text);

    // Waits until everything queued so far is written or lost (tests and the end of a run);
    // true when all of it is on disk.
    bool flush();

    using Failed = std::function<void(const QString& reason)>;
    // Called on the GUI thread when lines could not be written or the record ended.
    void onFailure(Failed failed) { failed_ = std::move(failed); }

private:
    void queue(std::vector<std::string> lines);
    platform::JobOutcome writeBatch(bool now);
    // Returns how many of the lines are on disk.
    std::size_t writeOut(const std::vector<std::string>& lines);
    bool writeChunk(const std::string& chunk, const std::vector<std::string>& lines,
                    std::size_t first, std::size_t end, std::size_t& written);
    void endOnFailure();
    void noteUnrecorded(bool now);
    void retry();
    bool openNewFile(const std::string& firstLine);
    void fail(const QString& reason);
    void removeOldFiles() const;
    long long elapsedMs() const;

    std::filesystem::path folder_;
    std::uintmax_t fileLimit_;
    platform::Disk disk_;
    Clock::time_point start_ = Clock::now();
    robot::Decoder decoder_;
    std::atomic<bool> ok_{false};

    // GUI thread only.
    std::uintmax_t receivedBytesRecorded_ = 0;
    std::atomic<std::uint64_t> unrecorded_{0};

    Failed failed_;
    std::atomic<bool> closing_{false};

    mutable std::mutex mutex_;
    std::vector<std::string> pending_;
    QString problem_;
    std::filesystem::path path_;

    // Writer thread only, apart from construction and destruction.
    std::unique_ptr<platform::DiskFile> file_;
    std::atomic<std::uint64_t> lost_ = 0;
    std::uintmax_t fileBytes_ = 0;
    std::uint64_t unrecordedNoted_ = 0;
    Clock::time_point notedAt_{};
    Clock::time_point nextTry_{};

    // Last: its jobs use everything above.
    QObject context_;
    platform::Worker writer_;
};

} // namespace robot
