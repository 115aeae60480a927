#include "input/CameraWatch.h"

namespace input {

namespace {

const QString noPictureText = QStringLiteral("Cámara sin imagen");
const QString pausedText = QStringLiteral("Grabación en pausa: cámara sin imagen");

} // namespace

void CameraWatch::started() {
    ++run_;
    noPicture_ = false;
    clearConditions();
}

void CameraWatch::pictureLost(int run, bool recording) {
    if (run != run_)
        return;
    noPicture_ = true;
    status_.raise(StatusLine::Condition::CameraNoPicture, noPictureText);
    recordingChanged(recording);
}

void CameraWatch::pictureBack(int run) {
    if (run != run_ || !noPicture_)
        return;
    noPicture_ = false;
    clearConditions();
}

// The line keeps the last text shown; a camera text no longer true is wiped.
void CameraWatch::clearConditions() {
    status_.clear(StatusLine::Condition::RecordingPaused);
    status_.clear(StatusLine::Condition::CameraNoPicture);
    if (status_.text() == noPictureText || status_.text() == pausedText)
        status_.show(QString());
}

void CameraWatch::recordingChanged(bool recording) {
    if (recording && noPicture_)
        status_.raise(StatusLine::Condition::RecordingPaused, pausedText);
    else
        status_.clear(StatusLine::Condition::RecordingPaused);
    if (!noPicture_ && status_.text() == pausedText)
        status_.show(QString());
}

} // namespace input
