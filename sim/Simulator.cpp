#include "sim/Simulator.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/eventfd.h>
#include <system_error>
#include <termios.h>
#include <unistd.h>
#include <utility>

namespace sim {

namespace {

using Clock = std::chrono::steady_clock;

[[noreturn]] void throwErrno(const std::string& what) {
    throw std::system_error(errno, std::generic_category(), what);
}

class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() { reset(); }
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept {
        if (this != &other) {
            reset();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    void reset() {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_ = -1;
};

void makeRaw(int fd, const std::string& what) {
    termios settings{};
    if (::tcgetattr(fd, &settings) != 0)
        throwErrno("tcgetattr " + what);
    ::cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    if (::tcsetattr(fd, TCSANOW, &settings) != 0)
        throwErrno("tcsetattr " + what);
}

speed_t speedFor(int baudRate) {
    static constexpr std::array<std::pair<int, speed_t>, 12> speeds{{{300, B300},
                                                                     {600, B600},
                                                                     {1200, B1200},
                                                                     {2400, B2400},
                                                                     {4800, B4800},
                                                                     {9600, B9600},
                                                                     {19200, B19200},
                                                                     {38400, B38400},
                                                                     {57600, B57600},
                                                                     {115200, B115200},
                                                                     {230400, B230400},
                                                                     {460800, B460800}}};
    for (const auto& [rate, speed] : speeds)
        if (rate == baudRate)
            return speed;
    throw std::invalid_argument("unsupported baud rate " + std::to_string(baudRate));
}

void setSpeed(int fd, int baudRate, const std::string& what) {
    termios settings{};
    if (::tcgetattr(fd, &settings) != 0)
        throwErrno("tcgetattr " + what);
    ::cfsetspeed(&settings, speedFor(baudRate));
    if (::tcsetattr(fd, TCSANOW, &settings) != 0)
        throwErrno("tcsetattr " + what);
}

timespec durationUntil(Clock::time_point now, Clock::time_point due) {
    const auto wait = std::max(due - now, Clock::duration::zero());
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(wait);
    const auto nanos = std::chrono::duration_cast<std::chrono::nanoseconds>(wait - seconds);
    return {static_cast<time_t>(seconds.count()), static_cast<long>(nanos.count())};
}

} // namespace

// The descriptors the simulator's thread watches. For a pseudo-terminal the slave stays open
// here as well, so that its settings survive and the master never sees a hang-up between two
// opens by the console.
struct Simulator::Line {
    FileDescriptor io;
    FileDescriptor keptSlave;
    FileDescriptor wake;
};

Simulator::Simulator(SimulatorSettings settings)
    : line_(std::make_unique<Line>()), robot_(settings.robot), fault_(settings.fault),
      random_(settings.garbageSeed), lineHandler_(std::move(settings.onLine)) {
    FileDescriptor master(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!master.valid())
        throwErrno("posix_openpt");
    if (::grantpt(master.get()) != 0 || ::unlockpt(master.get()) != 0)
        throwErrno("grantpt/unlockpt");
    std::array<char, PATH_MAX> name{};
    if (::ptsname_r(master.get(), name.data(), name.size()) != 0)
        throwErrno("ptsname_r");
    devicePath_ = name.data();
    makeRaw(master.get(), devicePath_);
    FileDescriptor slave(::open(devicePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!slave.valid())
        throwErrno("open " + devicePath_);
    makeRaw(slave.get(), devicePath_);
    if (::fcntl(master.get(), F_SETFL, ::fcntl(master.get(), F_GETFL) | O_NONBLOCK) != 0)
        throwErrno("fcntl");
    line_->io = std::move(master);
    line_->keptSlave = std::move(slave);
    start();
}

Simulator::Simulator(const std::string& serialDevice, SimulatorSettings settings)
    : devicePath_(serialDevice), line_(std::make_unique<Line>()), robot_(settings.robot),
      fault_(settings.fault), random_(settings.garbageSeed),
      lineHandler_(std::move(settings.onLine)) {
    FileDescriptor device(::open(serialDevice.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!device.valid())
        throwErrno("open " + serialDevice);
    makeRaw(device.get(), serialDevice);
    setSpeed(device.get(), settings.baudRate, serialDevice);
    line_->io = std::move(device);
    start();
}

Simulator::~Simulator() {
    {
        std::lock_guard lock(mutex_);
        stopRequested_ = true;
    }
    wake();
    thread_.join();
}

void Simulator::start() {
    line_->wake = FileDescriptor(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC));
    if (!line_->wake.valid())
        throwErrno("eventfd");
    thread_ = std::thread([this] { run(); });
}

void Simulator::wake() const {
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = ::write(line_->wake.get(), &one, sizeof one);
}

void Simulator::run() {
    for (;;) {
        std::array<pollfd, 2> watched{};
        timespec timeout{};
        bool waitForever = false;
        {
            std::lock_guard lock(mutex_);
            if (stopRequested_)
                return;
            if (closeRequested_)
                closeLineLocked();
            watched[0] = {line_->wake.get(), POLLIN, 0};
            const short lineEvents = static_cast<short>(POLLIN | (pending_.empty() ? 0 : POLLOUT));
            watched[1] = {line_->io.valid() ? line_->io.get() : -1, lineEvents, 0};
            waitForever = scheduled_.empty();
            if (!waitForever)
                timeout = durationUntil(Clock::now(), scheduled_.begin()->first);
        }
        const int ready =
            ::ppoll(watched.data(), watched.size(), waitForever ? nullptr : &timeout, nullptr);
        if (ready < 0 && errno != EINTR) {
            std::lock_guard lock(mutex_);
            closeLineLocked();
            return;
        }
        if (watched[0].revents & POLLIN) {
            std::uint64_t count = 0;
            [[maybe_unused]] const auto drained = ::read(line_->wake.get(), &count, sizeof count);
        }
        std::vector<std::string> newLines;
        {
            std::lock_guard lock(mutex_);
            if (stopRequested_)
                return;
            const short events = watched[1].revents;
            // A hang-up with nothing left to read would wake the poll forever.
            if ((events & (POLLIN | POLLHUP | POLLERR)) && readLine(newLines) == 0 &&
                (events & (POLLHUP | POLLERR)))
                closeLineLocked();
            moveDueReplies(Clock::now());
            writePending();
        }
        if (!newLines.empty()) {
            std::lock_guard lock(handlerMutex_);
            if (lineHandler_)
                for (const auto& line : newLines)
                    lineHandler_(line);
        }
    }
}

std::size_t Simulator::readLine(std::vector<std::string>& newLines) {
    std::size_t total = 0;
    std::array<std::uint8_t, 256> buffer{};
    while (line_->io.valid()) {
        const ssize_t count = ::read(line_->io.get(), buffer.data(), buffer.size());
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        if (count <= 0) {
            // The far end is gone for good (a device unplugged); stop watching it.
            closeLineLocked();
            break;
        }
        total += static_cast<std::size_t>(count);
        const auto receipt = Clock::now();
        for (ssize_t i = 0; i < count; ++i) {
            const std::uint8_t byte = buffer[static_cast<std::size_t>(i)];
            received_.push_back({byte, receipt});
            const Reaction reaction = robot_.receive(byte);
            if (reaction.line) {
                lines_.push_back(*reaction.line);
                newLines.push_back(*reaction.line);
            }
            schedule(receipt, reaction);
        }
        recordChanged_.notify_all();
    }
    return total;
}

void Simulator::schedule(Clock::time_point receipt, const Reaction& reaction) {
    for (auto& reply : applyFault(fault_, reaction.replies, random_))
        if (!reply.bytes.empty())
            scheduled_.emplace(receipt + reply.delay, std::move(reply.bytes));
}

void Simulator::moveDueReplies(Clock::time_point now) {
    while (!scheduled_.empty() && scheduled_.begin()->first <= now) {
        const auto& bytes = scheduled_.begin()->second;
        pending_.insert(pending_.end(), bytes.begin(), bytes.end());
        scheduled_.erase(scheduled_.begin());
    }
}

void Simulator::writePending() {
    if (!line_->io.valid()) {
        pending_.clear();
        return;
    }
    while (!pending_.empty()) {
        const ssize_t written = ::write(line_->io.get(), pending_.data(), pending_.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return;
        const auto end = pending_.begin() + written;
        sent_.insert(sent_.end(), pending_.begin(), end);
        pending_.erase(pending_.begin(), end);
    }
}

void Simulator::closeLineLocked() {
    line_->io.reset();
    line_->keptSlave.reset();
    scheduled_.clear();
    pending_.clear();
    closeRequested_ = false;
    recordChanged_.notify_all();
}

std::vector<ReceivedByte> Simulator::receivedBytes() const {
    std::lock_guard lock(mutex_);
    return received_;
}

std::vector<std::uint8_t> Simulator::receivedValues() const {
    std::lock_guard lock(mutex_);
    std::vector<std::uint8_t> values;
    values.reserve(received_.size());
    for (const auto& byte : received_)
        values.push_back(byte.value);
    return values;
}

std::vector<std::string> Simulator::decodedLines() const {
    std::lock_guard lock(mutex_);
    return lines_;
}

std::vector<std::uint8_t> Simulator::sentBytes() const {
    std::lock_guard lock(mutex_);
    return sent_;
}

void Simulator::clearRecord() {
    std::lock_guard lock(mutex_);
    received_.clear();
    lines_.clear();
    sent_.clear();
}

bool Simulator::waitForBytes(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return recordChanged_.wait_for(lock, timeout, [&] { return received_.size() >= count; });
}

bool Simulator::waitForLines(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return recordChanged_.wait_for(lock, timeout, [&] { return lines_.size() >= count; });
}

RobotState Simulator::robotState() const {
    std::lock_guard lock(mutex_);
    return robot_.state();
}

Telemetry Simulator::telemetry() const {
    std::lock_guard lock(mutex_);
    return robot_.settings().telemetry;
}

void Simulator::setTelemetry(const Telemetry& telemetry) {
    std::lock_guard lock(mutex_);
    robot_.setTelemetry(telemetry);
}

void Simulator::setText(std::string text) {
    std::lock_guard lock(mutex_);
    robot_.setText(std::move(text));
}

Fault Simulator::fault() const {
    std::lock_guard lock(mutex_);
    return fault_;
}

void Simulator::setFault(const Fault& fault) {
    std::lock_guard lock(mutex_);
    fault_ = fault;
}

void Simulator::setLineHandler(LineHandler handler) {
    std::lock_guard lock(handlerMutex_);
    lineHandler_ = std::move(handler);
}

void Simulator::sendRaw(std::vector<std::uint8_t> bytes) {
    if (bytes.empty())
        return;
    {
        std::lock_guard lock(mutex_);
        if (!line_->io.valid())
            return;
        scheduled_.emplace(Clock::now(), std::move(bytes));
    }
    wake();
}

void Simulator::closeLine() {
    std::unique_lock lock(mutex_);
    if (!line_->io.valid())
        return;
    closeRequested_ = true;
    wake();
    recordChanged_.wait(lock, [&] { return !line_->io.valid(); });
}

bool Simulator::lineOpen() const {
    std::lock_guard lock(mutex_);
    return line_->io.valid();
}

} // namespace sim
