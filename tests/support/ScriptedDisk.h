#pragma once

#include "platform/Disk.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <mutex>

namespace testing_support {

// A disk for recording tests: real files, so independent readers can check them, with a free
// space the test sets, a device that fails once a number of bytes has been written, and a
// gate that holds every write until it is opened (a disk that cannot keep up).
class ScriptedDisk {
public:
    static constexpr std::uint64_t unlimited = std::numeric_limits<std::uint64_t>::max();

    // Reported by the free-space probe; none when the folder cannot be asked.
    std::atomic<std::uint64_t> freeBytes{unlimited};
    std::atomic<bool> freeSpaceKnown{true};
    // Writes fail, with this reason, once they would take the files past this many bytes.
    std::atomic<std::uint64_t> writableBytes{unlimited};
    std::atomic<platform::DiskError> failure{platform::DiskError::Full};

    void closeGate();
    void openGate();
    // Writes that have reached the gate since it was closed.
    int writesAtGate() const;
    int syncs() const { return syncs_; }

    platform::Disk disk();

private:
    class File;

    bool admit(std::uint64_t bytes);

    std::atomic<std::uint64_t> written_{0};
    std::atomic<int> syncs_{0};
    mutable std::mutex gateMutex_;
    std::condition_variable gateChanged_;
    bool gateOpen_ = true;
    int writesAtGate_ = 0;
};

} // namespace testing_support
