#pragma once

#include "platform/Disk.h"
#include "platform/Worker.h"
#include "video/AviWriter.h"
#include "video/Dib.h"
#include "video/VideoWriter.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace video {

// When the recorder warns, stops and drops frames.
struct RecorderLimits {
    // The free space is told in seconds of recording at the recording's own rate.
    std::chrono::seconds warnBelow{60};
    std::chrono::seconds stopBelow{5};
    std::chrono::steady_clock::duration spaceCheckPeriod = std::chrono::seconds(10);
    // The queue holds at most this span of frames, and at most queueFrames of them.
    std::chrono::steady_clock::duration queueSpan = std::chrono::seconds(1);
    std::size_t queueFrames = 30;
    // The rate the space before the first frames is reckoned at: the fastest camera's.
    int assumedFramesPerSecond = 30;
};

// The recording of the main window: started and stopped on the GUI thread, fed on the capture
// thread. Frames are copied into the short queue of a worker that writes them onto the disk,
// so neither the capture thread nor the GUI thread ever waits on the disk; a frame that finds
// the queue full is dropped and counted. The worker also forces the file onto the device once
// a second, checks the free space of its folder, and closes the recording by itself when the
// disk fails or is about to fill, telling the failure's text on the GUI thread. A recording
// that never got a frame leaves no file. Destroying a recorder completes its files. Made on
// the GUI thread.
class Recorder final : public FrameSink {
public:
    using Clock = std::chrono::steady_clock;

    enum class Failure {
        None,
        CannotCreate, // the file could not be created
        NoSpace,      // refused at the start: the folder has room for too little
        SpaceLow,     // closed while recording: the folder was about to fill
        DiskFull,     // a write found the disk full
        WriteFailed,  // any other write failure (input/output error, device gone)
        SizeChanged,  // a frame came at another size than the first
    };

    using Limits = RecorderLimits;

    explicit Recorder(platform::Disk disk = platform::localDisk(), Limits limits = {});
    ~Recorder() override;
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    // The disk of the next recordings.
    void useDisk(platform::Disk disk);

    // Checks the space, creates the file and starts the writer, which for AVI sets Motion-JPEG
    // up from the surface when compress is set (or from the first frame when no surface is
    // given). Does nothing while recording. Returns whether the recording runs; when not,
    // failure() says why and no file is left.
    bool start(const std::filesystem::path& fileName, int intervalMs, bool compress,
               const DibSection* surface, VideoFormat format = VideoFormat::Avi);
    void addFrame(const DibSection& frame) override;
    // Ends the recording: the frames queued are written and the file closed on the writer
    // thread. Does nothing while idle.
    void stop();
    // Waits until every stopped recording's file is complete; false when the time ran out.
    bool waitUntilClosed(std::chrono::milliseconds timeout);

    // False again once the writer has closed the recording by itself.
    bool recording() const;
    // The last recording's file is complete (or was never made).
    bool closed() const;
    // Of the running or last recording.
    Failure failure() const;
    std::uint32_t framesWritten() const;
    std::uint32_t framesDropped() const;
    // Seconds of recording the free space holds, when under warnBelow.
    std::optional<int> secondsLeftWhenLow() const;

    using Failed = std::function<void(const QString& text)>;
    // Called on the GUI thread with the text of a recording's failure as the writer meets it.
    void onFailure(Failed failed) { failed_ = std::move(failed); }

private:
    class Session;

    void reapClosed();

    platform::Disk disk_;
    Limits limits_;
    Failed failed_;
    QObject context_;
    // Guards the pointers only, never a disk operation.
    mutable std::mutex mutex_;
    std::shared_ptr<Session> running_;
    std::shared_ptr<Session> last_;
    std::atomic<Failure> startFailure_ = Failure::None;
    // Recordings whose files are still being completed.
    std::vector<std::shared_ptr<Session>> writers_;
};

} // namespace video
