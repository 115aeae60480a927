#include "job/Session.h"

#include "job/Report.h"
#include "job/TrackFormat.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace job {
namespace {

void appendObservation(const QString& path, const QString& row, const Session::Status& failed) {
    QFile file(path);
    const bool fresh = !file.exists();
    bool written = file.open(QIODevice::Append);
    if (written && fresh)
        written = file.write(observationsCsvHeader().toUtf8()) >= 0;
    written = written && file.write(row.toUtf8()) >= 0 && file.flush();
    if (!written)
        failed(path);
}

} // namespace

Session::Session(Readings readings, Status status, QString root)
    : readings_(std::move(readings)), status_(std::move(status)), root_(std::move(root)) {
    seconds_.setTimerType(Qt::PreciseTimer);
    seconds_.setInterval(250);
    connect(&seconds_, &QTimer::timeout, this, &Session::tick);
}

Session::~Session() {
    recordingStopped();
    writer_.drain();
}

bool Session::start(const QString& name) {
    if (cleanJobName(name).isEmpty()) {
        status_(QStringLiteral("Trabajo no abierto: falta el nombre"));
        return false;
    }
    std::optional<JobFolder> folder = JobFolder::open(name, root_, QDateTime::currentDateTime());
    if (!folder) {
        status_(QStringLiteral("Trabajo no abierto: ") + QDir(root_).path());
        return false;
    }
    folder_ = std::move(folder);
    status_(QStringLiteral("Trabajo: ") + folder_->name());
    return true;
}

std::optional<video::GeneratedName> Session::videoName(int number) const {
    if (!folder_)
        return video::nextVideoName(number);
    const auto file = folder_->newFile(QStringLiteral("video.avi"), QDateTime::currentDateTime());
    if (!file)
        return std::nullopt;
    return video::GeneratedName{*file, number};
}

std::optional<video::GeneratedName> Session::snapshotName(const std::string& base,
                                                          int number) const {
    if (!folder_)
        return video::nextSnapshotName(base, number);
    const auto file = folder_->newFile(QStringLiteral("foto.bmp"), QDateTime::currentDateTime());
    if (!file)
        return std::nullopt;
    return video::GeneratedName{*file, number};
}

void Session::recordingStarted(const std::filesystem::path& video, Position position) {
    recordingStopped();
    if (!folder_)
        return;
    recordingName_ = QFileInfo(QString::fromStdString(video.string())).fileName();
    track_ = std::make_unique<TrackWriter>(writer_, video);
    position_ = std::move(position);
    failureShown_ = false;
    seconds_.start();
}

void Session::recordingStopped() {
    if (!track_)
        return;
    seconds_.stop();
    track_->finish(position_(), readings_());
    reportTrackFailure();
    track_.reset();
    recordingName_.clear();
}

void Session::tick() {
    if (!track_)
        return;
    track_->tick(position_(), readings_());
    reportTrackFailure();
}

void Session::reportTrackFailure() {
    if (!track_->failed() || failureShown_)
        return;
    failureShown_ = true;
    status_(QStringLiteral("Telemetría no guardada: ") +
            QFileInfo(track_->subtitlePath()).fileName());
}

Observation Session::markNow(const std::filesystem::path& picture) const {
    Observation observation;
    observation.when = QDateTime::currentDateTime();
    observation.reading = readings_();
    if (track_) {
        observation.recording = recordingName_;
        observation.intoRecording = position_();
    }
    if (!picture.empty())
        observation.picture = QFileInfo(QString::fromStdString(picture.string())).fileName();
    return observation;
}

void Session::record(Observation observation) {
    if (!folder_)
        return;
    observation.note = oneLine(observation.note).left(longestNote);
    if (track_ && observation.recording == recordingName_) {
        const QString tag = tagText(observation.tag);
        track_->addNote(tag.isEmpty() ? observation.note
                                      : tag + QStringLiteral(": ") + observation.note);
    }
    Status status = [self = this, status = status_](const QString& path) {
        QMetaObject::invokeMethod(
            self, [status, path] { status(QStringLiteral("Observación no guardada: ") + path); },
            Qt::QueuedConnection);
    };
    writer_.post([path = QDir(folder_->path()).filePath(observationsFile),
                  row = observationCsvRow(observation),
                  status = std::move(status)] { appendObservation(path, row, status); });
    status_(QStringLiteral("Observación guardada"));
}

void Session::writeReport() {
    if (!folder_) {
        status_(QStringLiteral("Informe: no hay trabajo abierto"));
        return;
    }
    status_(QStringLiteral("Informe en preparación..."));
    writer_.post([self = this, status = status_, folder = folder_->path()] {
        const ReportOutcome outcome = writeReportFiles(folder);
        QMetaObject::invokeMethod(
            self, [status, text = outcome.message()] { status(text); }, Qt::QueuedConnection);
    });
}

} // namespace job
