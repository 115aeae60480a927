#pragma once

#include "sim/Fault.h"
#include "sim/Robot.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace sim {

struct ReceivedByte {
    std::uint8_t value = 0;
    std::chrono::steady_clock::time_point time;
};

struct SimulatorSettings {
    RobotSettings robot;
    Fault fault;
    std::uint32_t garbageSeed = 1;
    int baudRate = 9600; // only for a real serial device
    // Receives every decoded line on the simulator's thread, from the very first byte on.
    std::function<void(const std::string&)> onLine;
};

// A simulated robot on a pseudo-terminal or a serial device. One thread reads the line,
// stamps and decodes every byte and writes the replies when they fall due; every accessor
// may be called from any other thread. Failures to open the line throw std::system_error.
class Simulator {
public:
    using LineHandler = std::function<void(const std::string&)>;

    // Opens a new pseudo-terminal; the console opens devicePath().
    explicit Simulator(SimulatorSettings settings = {});
    // Serves an existing serial device instead.
    Simulator(const std::string& serialDevice, SimulatorSettings settings);
    ~Simulator();

    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    const std::string& devicePath() const { return devicePath_; }

    std::vector<ReceivedByte> receivedBytes() const;
    std::vector<std::uint8_t> receivedValues() const;
    std::vector<std::string> decodedLines() const;
    std::vector<std::uint8_t> sentBytes() const;
    void clearRecord();
    bool waitForBytes(std::size_t count, std::chrono::milliseconds timeout) const;
    bool waitForLines(std::size_t count, std::chrono::milliseconds timeout) const;

    RobotState robotState() const;
    Telemetry telemetry() const;
    void setTelemetry(const Telemetry& telemetry);
    void setText(std::string text);
    Fault fault() const;
    void setFault(const Fault& fault);

    // Called on the simulator's thread for every decoded line; set it before the console talks.
    void setLineHandler(LineHandler handler);

    // Puts bytes on the line as they are, e.g. stray input the console has to purge.
    void sendRaw(std::vector<std::uint8_t> bytes);
    // Closes the simulator's end like a pulled USB adapter: the console sees a hang-up.
    void closeLine();
    bool lineOpen() const;

private:
    struct Line;

    void start();
    void run();
    std::size_t readLine(std::vector<std::string>& newLines);
    void schedule(std::chrono::steady_clock::time_point receipt, const Reaction& reaction);
    void moveDueReplies(std::chrono::steady_clock::time_point now);
    void writePending();
    void closeLineLocked();
    void wake() const;

    std::string devicePath_;
    std::unique_ptr<Line> line_;

    mutable std::mutex mutex_;
    mutable std::condition_variable recordChanged_;
    Robot robot_;
    Fault fault_;
    std::mt19937 random_;
    std::vector<ReceivedByte> received_;
    std::vector<std::string> lines_;
    std::vector<std::uint8_t> sent_;
    std::multimap<std::chrono::steady_clock::time_point, std::vector<std::uint8_t>> scheduled_;
    std::vector<std::uint8_t> pending_;
    bool closeRequested_ = false;
    bool stopRequested_ = false;
    LineHandler lineHandler_;
    std::mutex handlerMutex_;

    std::thread thread_;
};

} // namespace sim
