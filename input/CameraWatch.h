#pragma once

#include "input/StatusLine.h"

#include <atomic>

namespace input {

// Keeps the operator told, for as long as it lasts, that the camera delivers no pictures,
// and that a recording running meanwhile is paused. The capture reports from its own
// thread; each report carries the camera run it belongs to, so a report of a camera
// already stopped never marks the next one.
class CameraWatch {
public:
    explicit CameraWatch(StatusLine& status) : status_(status) {}

    // A camera starts: a new run, with pictures assumed until it says otherwise.
    void started();
    // The run in progress; safe from any thread.
    int run() const { return run_.load(); }

    void pictureLost(int run, bool recording);
    void pictureBack(int run);
    void recordingChanged(bool recording);

    bool noPicture() const { return noPicture_; }

private:
    void clearConditions();

    StatusLine& status_;
    std::atomic<int> run_{0};
    bool noPicture_ = false;
};

} // namespace input
