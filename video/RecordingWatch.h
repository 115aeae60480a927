#pragma once

#include "video/Recorder.h"

#include <QString>

#include <functional>
#include <optional>

namespace video {

QString recordingFailureText(Recorder::Failure failure, const QString& fileName);
QString diskLowText(int secondsLeft);
QString framesDroppedText(std::uint32_t frames);

// Keeps the operator told about the recording: a failure stays until the next recording
// starts, the low-space warning while it lasts, the frames lost to a slow disk until the next
// recording. Looked at periodically on the GUI thread; a failure is told as soon as it happens.
class RecordingWatch {
public:
    enum class Notice { Failed, DiskLow, FramesDropped };
    using Raise = std::function<void(Notice, const QString&)>;
    using Clear = std::function<void(Notice)>;

    RecordingWatch(Recorder& recorder, Raise raise, Clear clear);

    // The last recording's notices go; a start that fails raises its failure. Returns whether
    // the recording runs.
    bool start(const std::filesystem::path& fileName, int intervalMs, bool compress,
               const DibSection* surface, VideoFormat format = VideoFormat::Avi);
    void stop();
    // True once, when the recording has ended by itself since the last look.
    bool look();

private:
    void lookAtQueueAndSpace();
    void reportFailure();

    Recorder& recorder_;
    Raise raise_;
    Clear clear_;
    QString fileName_;
    bool running_ = false;
    // Stopped by the operator, its file still being completed.
    bool closing_ = false;
    std::uint32_t dropped_ = 0;
    std::optional<int> secondsLeft_;
};

} // namespace video
