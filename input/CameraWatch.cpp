#include "input/CameraWatch.h"

namespace input {

namespace {

const QString noPictureText = QStringLiteral("Cámara sin imagen");
const QString pausedText = QStringLiteral("Grabación en pausa: cámara sin imagen");

} // namespace

void CameraWatch::started() {
    // Runs are counted within what the report's packing holds.
    run_ = run_ < 1000000 ? run_ + 1 : 1;
    report_ = run_ * 2;
    noPicture_ = false;
    clearConditions();
}

void CameraWatch::update(bool recording) {
    const int latest = report_;
    if (latest / 2 != run_)
        return;
    const bool missing = latest % 2 == 1;
    if (missing == noPicture_)
        return;
    noPicture_ = missing;
    if (!missing) {
        clearConditions();
        return;
    }
    status_.raise(StatusLine::Condition::CameraNoPicture, noPictureText);
    recordingChanged(recording);
}

void CameraWatch::recordingChanged(bool recording) {
    if (recording && noPicture_)
        status_.raise(StatusLine::Condition::RecordingPaused, pausedText);
    else
        status_.clear(StatusLine::Condition::RecordingPaused);
    if (!noPicture_ && status_.text() == pausedText)
        status_.show(QString());
}

// The line keeps the last text shown; a camera text no longer true is wiped.
void CameraWatch::clearConditions() {
    status_.clear(StatusLine::Condition::RecordingPaused);
    status_.clear(StatusLine::Condition::CameraNoPicture);
    if (status_.text() == noPictureText || status_.text() == pausedText)
        status_.show(QString());
}

RecordingLampLook recordingLamp(bool recording, bool noPicture) {
    if (!recording)
        return {false, 1, false};
    if (noPicture)
        return {false, 2, true};
    return {true, 1, true};
}

} // namespace input
