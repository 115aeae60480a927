#include "job/Session.h"

#include "job/Report.h"
#include "job/TrackFormat.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace job {
namespace {

// The header goes with the first row, so a table never lacks it; a new table whose first row
// could not be written is removed.
platform::DiskError appendObservation(const platform::Disk& disk, const std::filesystem::path& path,
                                      const QString& row) {
    QByteArray bytes = row.toUtf8();
    std::unique_ptr<platform::DiskFile> file = disk.open(path, platform::OpenMode::New);
    const bool fresh = file != nullptr;
    if (fresh)
        bytes.prepend(observationsCsvHeader().toUtf8());
    else
        file = disk.open(path, platform::OpenMode::Append);
    if (!file)
        return platform::DiskError::Failed;
    const bool written = file->append(platform::bytesOf(bytes));
    if (file->close() && written)
        return platform::DiskError::None;
    if (fresh)
        disk.remove(path);
    return file->error() == platform::DiskError::None ? platform::DiskError::Failed : file->error();
}

} // namespace

QString diskFailureText(platform::DiskError error, const QString& file) {
    return error == platform::DiskError::Full ? QStringLiteral("disco lleno")
                                              : QStringLiteral("no se pudo escribir ") + file;
}

Session::Session(Readings readings, Status status, QString root, Status lasting)
    : readings_(std::move(readings)), status_(std::move(status)), lasting_(std::move(lasting)),
      root_(std::move(root)) {
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
    std::optional<JobFolder> folder =
        JobFolder::open(name, root_, QDateTime::currentDateTime(), disk_);
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
    track_ = std::make_unique<TrackWriter>(writer_, video, disk_);
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

void Session::record(Observation observation, const QString& noPicture) {
    if (!folder_)
        return;
    observation.note = oneLine(observation.note).left(longestNote);
    if (track_ && observation.recording == recordingName_) {
        const QString tag = tagText(observation.tag);
        track_->addNote(tag.isEmpty() ? observation.note
                                      : tag + QStringLiteral(": ") + observation.note);
    }
    writer_.post([self = this, disk = disk_,
                  path = QDir(folder_->path()).filePath(observationsFile).toStdString(),
                  row = observationCsvRow(observation), noPicture] {
        const platform::DiskError error = appendObservation(disk, path, row);
        QMetaObject::invokeMethod(
            self, [self, error, noPicture] { self->observationWritten(error, noPicture); },
            Qt::QueuedConnection);
    });
}

// Told once the row is on the disk, never before: a failure stays until the next observation.
void Session::observationWritten(platform::DiskError error, const QString& noPicture) {
    const Status& failure = lasting_ ? lasting_ : status_;
    if (error != platform::DiskError::None) {
        failure(QStringLiteral("Observación no guardada: ") +
                diskFailureText(error, observationsFile));
    } else if (!noPicture.isEmpty()) {
        failure(QStringLiteral("Observación sin foto: ") + noPicture);
    } else {
        if (lasting_)
            lasting_({});
        status_(QStringLiteral("Observación guardada"));
    }
}

void Session::writeReport() {
    if (!folder_) {
        status_(QStringLiteral("Informe: no hay trabajo abierto"));
        return;
    }
    status_(QStringLiteral("Informe en preparación..."));
    writer_.post([self = this, status = status_, folder = folder_->path(), disk = disk_] {
        const ReportOutcome outcome = writeReportFiles(folder, {}, disk);
        QMetaObject::invokeMethod(
            self, [status, text = outcome.message()] { status(text); }, Qt::QueuedConnection);
    });
}

} // namespace job
