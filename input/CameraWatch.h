#pragma once

#include "input/StatusLine.h"
#include "platform/FrameSource.h"

#include <atomic>

namespace input {

// Keeps the operator told, for as long as it lasts, that the camera delivers no pictures
// and why, when the source says, and that a recording running meanwhile is paused. The capture
// thread only reports, and each report carries the camera run it belongs to, so a report of a
// camera already stopped never marks the next one; the GUI thread takes the latest report in
// update().
class CameraWatch {
public:
    // How many reasons a report can carry.
    static constexpr int faultKinds = 6;

    explicit CameraWatch(StatusLine& status) : status_(status) {}

    // A camera starts: a new run, with pictures assumed until it says otherwise.
    void started();
    // The run in progress; safe from any thread.
    int run() const { return run_.load(); }
    // From the capture thread: pictures of that run stopped, or came again.
    void report(int run, bool missing) { report_ = run * 2 + (missing ? 1 : 0); }
    // From the capture thread: the source's reason for giving no pictures.
    void reportFault(int run, platform::SourceFault fault) {
        fault_ = run * faultKinds + static_cast<int>(fault);
    }

    // On the GUI thread: brings the status line in line with the latest report.
    void update(bool recording);
    void recordingChanged(bool recording);

    bool noPicture() const { return noPicture_; }

    // "Cámara sin imagen", with the reason in a few words when there is one.
    static QString noPictureText(platform::SourceFault fault);

private:
    void clearConditions();

    StatusLine& status_;
    std::atomic<int> run_{0};
    std::atomic<int> report_{0};
    std::atomic<int> fault_{0};
    bool noPicture_ = false;
    platform::SourceFault shownFault_ = platform::SourceFault::None;
};

// The recording lamp: blinking in its first palette while frames are recorded, steadily lit
// in its second while a recording waits for pictures, dark in its first when none runs.
struct RecordingLampLook {
    bool blinking = false;
    int palette = 1;
    bool lit = false;
};

RecordingLampLook recordingLamp(bool recording, bool noPicture);

} // namespace input
