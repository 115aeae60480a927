#include "video/RecordingWatch.h"

#include <QCoreApplication>

namespace video {

namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(RecordingWatch)
};

} // namespace

QString recordingFailureText(Recorder::Failure failure, const QString& fileName) {
    switch (failure) {
    case Recorder::Failure::None:
        return {};
    case Recorder::Failure::CannotCreate:
        if (fileName.isEmpty())
            return Texts::tr("Vídeo no grabado: sin nombre libre");
        return Texts::tr("Vídeo no grabado: no se pudo crear %1").arg(fileName);
    case Recorder::Failure::NoSpace:
        return Texts::tr("Vídeo no grabado: disco lleno");
    case Recorder::Failure::SpaceLow:
        return Texts::tr("Vídeo detenido: disco casi lleno");
    case Recorder::Failure::DiskFull:
        return Texts::tr("Vídeo incompleto: disco lleno");
    case Recorder::Failure::SizeChanged:
        return Texts::tr("La imagen cambió de tamaño: el vídeo sigue en otro archivo");
    case Recorder::Failure::WriteFailed:
        break;
    }
    return Texts::tr("Vídeo incompleto: fallo del grabador");
}

QString diskLowText(int secondsLeft) {
    return Texts::tr("Poco espacio en disco: quedan %1 s de vídeo").arg(secondsLeft);
}

QString framesDroppedText(std::uint32_t frames) {
    return Texts::tr("Vídeo: %1 fotogramas perdidos, el disco no da abasto").arg(frames);
}

RecordingWatch::RecordingWatch(Recorder& recorder, Raise raise, Clear clear)
    : recorder_(recorder), raise_(std::move(raise)), clear_(std::move(clear)) {
    // A failure is told the moment the writer meets it; the next look still ends the recording.
    recorder_.onFailure([this](const QString& text) { raise_(Notice::Failed, text); });
}

bool RecordingWatch::start(const std::filesystem::path& fileName, int intervalMs, bool compress,
                           const DibSection* surface, VideoFormat format) {
    for (const Notice notice : {Notice::Failed, Notice::DiskLow, Notice::FramesDropped})
        clear_(notice);
    fileName_ = QString::fromStdString(fileName.string());
    dropped_ = 0;
    secondsLeft_.reset();
    closing_ = false;
    running_ = recorder_.start(fileName, intervalMs, compress, surface, format);
    if (running_)
        lookAtQueueAndSpace();
    else
        reportFailure();
    return running_;
}

void RecordingWatch::stop() {
    if (!running_)
        return;
    running_ = false;
    closing_ = true;
    recorder_.stop();
    clear_(Notice::DiskLow);
}

bool RecordingWatch::look() {
    if (closing_ && recorder_.closed()) {
        closing_ = false;
        reportFailure();
    }
    if (!running_)
        return false;
    lookAtQueueAndSpace();
    if (recorder_.recording())
        return false;
    running_ = false;
    recorder_.stop();
    clear_(Notice::DiskLow);
    reportFailure();
    return true;
}

void RecordingWatch::lookAtQueueAndSpace() {
    if (const std::uint32_t dropped = recorder_.framesDropped(); dropped != dropped_) {
        dropped_ = dropped;
        raise_(Notice::FramesDropped, framesDroppedText(dropped));
    }
    const std::optional<int> secondsLeft = recorder_.secondsLeftWhenLow();
    if (secondsLeft == secondsLeft_)
        return;
    secondsLeft_ = secondsLeft;
    if (secondsLeft)
        raise_(Notice::DiskLow, diskLowText(*secondsLeft));
    else
        clear_(Notice::DiskLow);
}

void RecordingWatch::reportFailure() {
    if (const auto failure = recorder_.failure(); failure != Recorder::Failure::None)
        raise_(Notice::Failed, recordingFailureText(failure, fileName_));
}

} // namespace video
