#include "input/CameraWatch.h"

#include <QCoreApplication>

namespace input {

namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(CameraWatch)
};

QString pausedText() {
    return Texts::tr("Grabación en pausa: cámara sin imagen");
}

static_assert(static_cast<int>(platform::SourceFault::Other) + 1 == CameraWatch::faultKinds);

} // namespace

void CameraWatch::started() {
    // Runs are counted within what the report's packing holds.
    run_ = run_ < 1000000 ? run_ + 1 : 1;
    report_ = run_ * 2;
    fault_ = run_ * faultKinds;
    noPicture_ = false;
    shownFault_ = platform::SourceFault::None;
    clearConditions();
}

void CameraWatch::update(bool recording) {
    const int latest = report_;
    if (latest / 2 != run_)
        return;
    const bool missing = latest % 2 == 1;
    const int fault = fault_;
    const auto reason = fault / faultKinds == run_
                            ? static_cast<platform::SourceFault>(fault % faultKinds)
                            : platform::SourceFault::None;
    if (missing == noPicture_ && (!missing || reason == shownFault_))
        return;
    noPicture_ = missing;
    shownFault_ = reason;
    if (!missing) {
        clearConditions();
        return;
    }
    status_.raise(StatusLine::Condition::CameraNoPicture, noPictureText(reason));
    recordingChanged(recording);
}

QString CameraWatch::noPictureText(platform::SourceFault fault) {
    using platform::SourceFault;
    switch (fault) {
    case SourceFault::None:
        return Texts::tr("Cámara sin imagen");
    case SourceFault::Busy:
        return Texts::tr("Cámara sin imagen: dispositivo ocupado");
    case SourceFault::NotFound:
        return Texts::tr("Cámara sin imagen: no encontrada");
    case SourceFault::PermissionDenied:
        return Texts::tr("Cámara sin imagen: permiso denegado");
    case SourceFault::UnsupportedFormat:
        return Texts::tr("Cámara sin imagen: formato no admitido");
    case SourceFault::Other:
        return Texts::tr("Cámara sin imagen: error de lectura");
    }
    return Texts::tr("Cámara sin imagen");
}

void CameraWatch::recordingChanged(bool recording) {
    if (recording && noPicture_)
        status_.raise(StatusLine::Condition::RecordingPaused, pausedText());
    else
        status_.clear(StatusLine::Condition::RecordingPaused);
    if (!noPicture_ && status_.text() == pausedText())
        status_.show(QString());
}

// The line keeps the last text shown; a camera text no longer true is wiped.
void CameraWatch::clearConditions() {
    status_.clear(StatusLine::Condition::RecordingPaused);
    status_.clear(StatusLine::Condition::CameraNoPicture);
    if (status_.text().startsWith(noPictureText(platform::SourceFault::None)) ||
        status_.text() == pausedText())
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
