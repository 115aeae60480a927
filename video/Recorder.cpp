#include "video/Recorder.h"

#include "video/DibCheck.h"
#include "video/MotionJpeg.h"
#include "video/RecordingWatch.h"

#include <algorithm>
#include <cstring>
#include <thread>
#include <utility>

namespace video {

namespace {

using Failure = Recorder::Failure;
using Clock = Recorder::Clock;

// How often the worker looks at the file and the disk between frames.
constexpr auto idleWake = std::chrono::milliseconds(250);
constexpr std::size_t chunkOverhead = 8 + 16 + 8; // chunk header and both index entries

struct QueuedFrame {
    std::vector<std::uint8_t> pixels;
    DibSection dib;
    Clock::time_point arrived;

    void copy(const DibSection& frame, std::vector<std::uint8_t> buffer, Clock::time_point at) {
        pixels = std::move(buffer);
        const std::size_t size = dibPixelBytes(frame);
        pixels.resize(size);
        std::memcpy(pixels.data(), frame.bits, size);
        dib = frame;
        dib.bits = pixels.data();
        dib.imageSize = size;
        arrived = at;
    }
};

Failure failureFor(const VideoWriter& writer) {
    return writer.diskError() == platform::DiskError::Full ? Failure::DiskFull
                                                           : Failure::WriteFailed;
}

// H.264 spends about a JPEG of the picture on a key frame and far less on the frames between,
// so until the rate is measured a JPEG a frame bounds an MP4 recording's from above.
std::uint64_t bytesPerFrame(bool compress, const DibSection* surface) {
    if (surface == nullptr || !isCompleteDib(*surface))
        return dibPixelBytes(DibSection{352, 288}) + chunkOverhead;
    if (compress) {
        MotionJpeg encoder;
        if (encoder.encode(*surface))
            return encoder.bytes().size() + chunkOverhead;
    }
    return dibPixelBytes(*surface) + chunkOverhead;
}

int secondsOfRecording(std::uint64_t freeBytes, double bytesPerSecond) {
    const double seconds = static_cast<double>(freeBytes) / std::max(bytesPerSecond, 1.0);
    return static_cast<int>(std::min(seconds, 1e9));
}

} // namespace

class Recorder::Session {
public:
    Session(std::unique_ptr<VideoWriter> writer, std::filesystem::path fileName,
            const platform::Disk& disk, const Limits& limits, double bytesPerSecond,
            QObject& context, platform::Worker::Failed failed)
        : writer_(std::move(writer)), fileName_(std::move(fileName)), disk_(disk), limits_(limits),
          estimatedRate_(bytesPerSecond), worker_(limits.queueFrames, context, std::move(failed)) {}

    // Completes the file with whatever was queued before it goes.
    ~Session() {
        accepting_ = false;
        while (
            !worker_.post([this] { return writer_ ? end(Failure::None) : platform::JobOutcome{}; }))
            worker_.drain();
    }

    void setUpFrom(const DibSection* surface) {
        if (surface != nullptr && isCompleteDib(*surface)) {
            setUpFrame_.emplace();
            setUpFrame_->copy(*surface, {}, Clock::now());
        }
    }

    void noteSpace(int secondsLeft) {
        lowSeconds_ = secondsLeft < limits_.warnBelow.count() ? secondsLeft : -1;
    }

    // The set-up goes first; then the worker looks at the file and the disk even while no
    // frame comes.
    void begin() {
        static_cast<void>(worker_.post([this]() -> platform::JobOutcome {
            lastCheck_ = Clock::now();
            if (setUpFrame_ && !writer_->setUpFrom(setUpFrame_->dib))
                return end(failureFor(*writer_));
            return {};
        }));
        worker_.repeat(idleWake, [this] { return look(); });
    }

    // Capture thread: the copy is made outside any lock, which is held only to take a buffer.
    void push(const DibSection& frame) {
        if (!accepting_ || !isCompleteDib(frame))
            return;
        const auto now = Clock::now();
        if (queueFull(now)) {
            ++dropped_;
            return;
        }
        ++copying_;
        auto queued = std::make_shared<QueuedFrame>();
        queued->copy(frame, spareBuffer(), now);
        if (!worker_.post([this, queued] { return write(*queued); }))
            ++dropped_;
        --copying_;
    }

    // The worker ends the recording once every frame queued before is written.
    void finish() {
        accepting_ = false;
        finishing_ = true;
        static_cast<void>(worker_.post([this] { return look(); }));
    }

    bool accepting() const { return accepting_; }
    bool closed() const { return closed_; }
    bool ended() const { return closed_ || failure_ != Failure::None; }
    Failure failure() const { return failure_; }
    std::uint32_t written() const { return written_; }
    std::uint32_t dropped() const { return dropped_; }
    std::optional<int> lowSeconds() const {
        const int seconds = lowSeconds_;
        return seconds < 0 ? std::nullopt : std::optional<int>(seconds);
    }

private:
    bool queueFull(Clock::time_point now) const {
        const auto oldest = worker_.oldestPosted();
        return worker_.full() || (oldest && now - *oldest >= limits_.queueSpan);
    }

    std::vector<std::uint8_t> spareBuffer() {
        const std::lock_guard lock(mutex_);
        if (spare_.empty())
            return {};
        std::vector<std::uint8_t> buffer = std::move(spare_.back());
        spare_.pop_back();
        return buffer;
    }

    // The first frame fixes the recording's picture size; one of another size ends it.
    platform::JobOutcome write(QueuedFrame& frame) {
        if (!writer_)
            return {};
        if (!size_)
            size_ = {frame.dib.width, frame.dib.height};
        if (*size_ != std::pair{frame.dib.width, frame.dib.height})
            return end(Failure::SizeChanged);
        if (writer_->addFrame(frame.dib))
            written_ = writer_->framesWritten();
        {
            const std::lock_guard lock(mutex_);
            spare_.push_back(std::move(frame.pixels));
        }
        return check();
    }

    // Between frames: the frames written so far are forced onto the device, and a stopped
    // recording ends once nothing is left to write.
    platform::JobOutcome look() {
        if (!writer_)
            return {};
        if (finishing_ && !worker_.oldestPosted() && copying_ == 0)
            return end(Failure::None);
        writer_->flush();
        return check();
    }

    platform::JobOutcome check() {
        if (writer_->failed())
            return end(failureFor(*writer_));
        if (spaceRunsOut())
            return end(Failure::SpaceLow);
        return {};
    }

    // Every check period, the free space against the rate of the last period (the estimate
    // while no frame came, since the frames will come at about that rate).
    bool spaceRunsOut() {
        const auto now = Clock::now();
        if (now - lastCheck_ < limits_.spaceCheckPeriod)
            return false;
        const double elapsed = std::chrono::duration<double>(now - lastCheck_).count();
        const std::uint64_t bytes = writer_->bytesWritten();
        const double measured = static_cast<double>(bytes - lastBytes_) / elapsed;
        lastCheck_ = now;
        lastBytes_ = bytes;
        const auto free = disk_.freeBytes(fileName_.parent_path());
        if (!free)
            return false;
        const int seconds = secondsOfRecording(*free, measured > 0 ? measured : estimatedRate_);
        noteSpace(seconds);
        return seconds < limits_.stopBelow.count();
    }

    // A failure is told before the close, which on a failing device may take a while.
    platform::JobOutcome end(Failure failure) {
        accepting_ = false;
        failure_ = failure;
        {
            const std::lock_guard lock(mutex_);
            spare_.clear();
        }
        const bool completed = writer_->close();
        if (failure == Failure::None && !completed)
            failure = failureFor(*writer_);
        written_ = writer_->framesReadable();
        writer_.reset();
        if (written_ == 0)
            disk_.remove(fileName_);
        lowSeconds_ = -1;
        failure_ = failure;
        closed_ = true;
        if (failure == Failure::None)
            return {};
        return recordingFailureText(failure, QString::fromStdString(fileName_.string()));
    }

    // Worker thread only, apart from construction.
    std::unique_ptr<VideoWriter> writer_;
    const std::filesystem::path fileName_;
    const platform::Disk disk_;
    const Limits limits_;
    const double estimatedRate_;
    std::optional<QueuedFrame> setUpFrame_;
    std::optional<std::pair<int, int>> size_;
    Clock::time_point lastCheck_;
    std::uint64_t lastBytes_ = 0;

    // Guards the spare buffers only.
    std::mutex mutex_;
    std::vector<std::vector<std::uint8_t>> spare_;

    std::atomic<int> copying_ = 0;
    std::atomic<bool> finishing_ = false;
    std::atomic<bool> accepting_ = true;
    std::atomic<bool> closed_ = false;
    std::atomic<Failure> failure_ = Failure::None;
    std::atomic<std::uint32_t> written_ = 0;
    std::atomic<std::uint32_t> dropped_ = 0;
    std::atomic<int> lowSeconds_ = -1;

    // Last: its jobs use everything above.
    platform::Worker worker_;
};

Recorder::Recorder(platform::Disk disk, Limits limits) : disk_(std::move(disk)), limits_(limits) {}

void Recorder::useDisk(platform::Disk disk) {
    disk_ = std::move(disk);
}

Recorder::~Recorder() {
    stop();
    // Each recording finishes its file before its worker goes.
    writers_.clear();
}

bool Recorder::start(const std::filesystem::path& fileName, int intervalMs, bool compress,
                     const DibSection* surface, VideoFormat format) {
    {
        const std::lock_guard lock(mutex_);
        if (running_ && !running_->ended())
            return false;
    }
    stop();
    auto refuse = [this](Failure failure) {
        const std::lock_guard lock(mutex_);
        startFailure_ = failure;
        last_.reset();
        return false;
    };
    const bool jpegSized = compress || format == VideoFormat::Mp4;
    const double rate =
        static_cast<double>(bytesPerFrame(jpegSized, surface)) * limits_.assumedFramesPerSecond;
    std::optional<int> secondsLeft;
    if (const auto free = disk_.freeBytes(fileName.parent_path()))
        secondsLeft = secondsOfRecording(*free, rate);
    if (secondsLeft && *secondsLeft < limits_.stopBelow.count())
        return refuse(Failure::NoSpace);
    auto file = disk_.open(fileName, platform::OpenMode::Replace);
    const bool created = file != nullptr;
    auto writer = openVideoWriter(format, std::move(file), intervalMs, compress);
    if (!writer) {
        if (created)
            disk_.remove(fileName);
        return refuse(Failure::CannotCreate);
    }
    auto session = std::make_shared<Session>(std::move(writer), fileName, disk_, limits_, rate,
                                             context_, [this](const QString& text) {
                                                 if (failed_)
                                                     failed_(text);
                                             });
    if (compress)
        session->setUpFrom(surface);
    if (secondsLeft)
        session->noteSpace(*secondsLeft);
    session->begin();
    const std::lock_guard lock(mutex_);
    startFailure_ = Failure::None;
    running_ = session;
    last_ = session;
    writers_.push_back(std::move(session));
    return true;
}

void Recorder::addFrame(const DibSection& frame) {
    std::shared_ptr<Session> session;
    {
        const std::lock_guard lock(mutex_);
        session = running_;
    }
    if (session)
        session->push(frame);
}

void Recorder::stop() {
    std::shared_ptr<Session> session;
    {
        const std::lock_guard lock(mutex_);
        session = std::move(running_);
    }
    if (session)
        session->finish();
    reapClosed();
}

bool Recorder::waitUntilClosed(std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    auto allClosed = [this] {
        return std::all_of(writers_.begin(), writers_.end(),
                           [](const auto& writer) { return writer->closed(); });
    };
    while (!allClosed()) {
        if (Clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    reapClosed();
    return true;
}

// Lets the workers of the recordings that are complete go; never waits on a running one.
void Recorder::reapClosed() {
    std::erase_if(writers_, [](const auto& writer) { return writer->closed(); });
}

bool Recorder::recording() const {
    const std::lock_guard lock(mutex_);
    return running_ && !running_->ended();
}

bool Recorder::closed() const {
    const std::lock_guard lock(mutex_);
    return !last_ || last_->closed();
}

Recorder::Failure Recorder::failure() const {
    const std::lock_guard lock(mutex_);
    return last_ ? last_->failure() : startFailure_.load();
}

std::uint32_t Recorder::framesWritten() const {
    const std::lock_guard lock(mutex_);
    return last_ ? last_->written() : 0;
}

std::uint32_t Recorder::framesDropped() const {
    const std::lock_guard lock(mutex_);
    return last_ ? last_->dropped() : 0;
}

std::optional<int> Recorder::secondsLeftWhenLow() const {
    const std::lock_guard lock(mutex_);
    return last_ && last_->accepting() ? last_->lowSeconds() : std::nullopt;
}

} // namespace video
