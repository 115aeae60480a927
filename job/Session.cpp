#include "job/Session.h"

#include "job/Report.h"
#include "job/TrackFormat.h"

#include "platform/Post.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace job {
namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(Session)
};

// Told in the main window's status line, in its translation context.
struct WindowTexts {
    Q_DECLARE_TR_FUNCTIONS(TForm1)
};

// About a minute of seconds may wait behind a slow disk; a few observations typed in a row.
constexpr std::size_t trackJobs = 64;
constexpr std::size_t observationJobs = 16;
// A report refused here finds one waiting, which reads the folder only once it runs.
constexpr std::size_t reportJobs = 1;

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
    return error == platform::DiskError::Full ? Texts::tr("disco lleno")
                                              : Texts::tr("no se pudo escribir %1").arg(file);
}

Session::Session(Readings readings, Status status, QString root, Status lasting)
    : readings_(std::move(readings)), status_(std::move(status)), lasting_(std::move(lasting)),
      root_(std::move(root)),
      tracks_(trackJobs, *this, [this](const QString& file) { trackFailed(file); }),
      observations_(observationJobs, *this,
                    [this](const QString& reason) { observationFailed(reason); }),
      reports_(reportJobs, *this, [this](const QString& reason) {
          status_(ReportOutcome{false, {}, reason, {}}.message());
      }) {
    seconds_.setTimerType(Qt::PreciseTimer);
    seconds_.setInterval(250);
    connect(&seconds_, &QTimer::timeout, this, &Session::tick);
}

Session::~Session() {
    recordingStopped();
    drain();
}

void Session::drain() {
    tracks_.drain();
    observations_.drain();
    reports_.drain();
}

bool Session::start(const QString& name, const JobDetails& details) {
    if (cleanJobName(name).isEmpty()) {
        status_(Texts::tr("Trabajo no abierto: falta el nombre"));
        return false;
    }
    std::optional<JobFolder> folder =
        JobFolder::open(name, root_, QDateTime::currentDateTime(), disk_, details);
    if (!folder) {
        status_(Texts::tr("Trabajo no abierto: %1").arg(QDir(root_).path()));
        return false;
    }
    folder_ = std::move(folder);
    status_(Texts::tr("Trabajo: %1").arg(folder_->name()));
    return true;
}

std::optional<video::GeneratedName> Session::videoName(int number,
                                                       video::VideoFormat format) const {
    if (!folder_)
        return video::nextVideoName(number, {}, format);
    const auto file =
        folder_->newFile(QStringLiteral("video") + QLatin1String(video::videoExtension(format)),
                         QDateTime::currentDateTime());
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
    track_ = std::make_unique<TrackWriter>(tracks_, video, disk_);
    position_ = std::move(position);
    seconds_.start();
}

void Session::recordingStopped() {
    if (!track_)
        return;
    seconds_.stop();
    if (!track_->finish(position_(), readings_()))
        trackFailed(track_->failureReason());
    track_.reset();
    recordingName_.clear();
}

void Session::tick() {
    if (!track_)
        return;
    if (!track_->tick(position_(), readings_()))
        trackFailed(track_->failureReason());
}

// Every failed second of a track says the same: it is shown once.
void Session::trackFailed(const QString& file) {
    if (file == trackFailureShown_)
        return;
    trackFailureShown_ = file;
    status_(Texts::tr("Telemetría no guardada: %1").arg(file));
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

Session::Marked Session::markWithPicture(const TakePicture& take) const {
    const std::optional<video::GeneratedName> picture = snapshotName({}, 0);
    if (!picture)
        return {markNow({}), WindowTexts::tr("sin nombre libre")};
    const platform::DiskError error = take(picture->fileName);
    if (error != platform::DiskError::None) {
        const QString file = QString::fromStdString(picture->fileName.string());
        return {markNow({}), diskFailureText(error, QFileInfo(file).fileName())};
    }
    return {markNow(picture->fileName), {}};
}

void Session::record(Observation observation, const QString& noPicture) {
    if (!folder_)
        return;
    observation.note = oneLine(observation.note).left(longestNote);
    observation.location = oneLine(observation.location).left(longestLocation);
    if (track_ && observation.recording == recordingName_)
        track_->addNote(observationCueText(observation));
    const bool handed = observations_.post(
        [self = this, disk = disk_,
         path = QDir(folder_->path()).filePath(observationsFile).toStdString(),
         row = observationCsvRow(observation), noPicture]() -> platform::JobOutcome {
            const platform::DiskError error = appendObservation(disk, path, row);
            if (error != platform::DiskError::None)
                return diskFailureText(error, observationsFile);
            platform::postTo(self, [self, noPicture] { self->observationWritten(noPicture); });
            return {};
        });
    if (!handed)
        observationFailed(diskFailureText(platform::DiskError::Failed, observationsFile));
}

// Told once the row is on the disk, never before: a failure stays until the next observation.
void Session::observationFailed(const QString& reason) {
    (lasting_ ? lasting_ : status_)(Texts::tr("Observación no guardada: %1").arg(reason));
}

void Session::observationWritten(const QString& noPicture) {
    const Status& failure = lasting_ ? lasting_ : status_;
    if (!noPicture.isEmpty()) {
        failure(Texts::tr("Observación sin foto: %1").arg(noPicture));
    } else {
        if (lasting_)
            lasting_({});
        status_(Texts::tr("Observación guardada"));
    }
}

void Session::writeReport(const ReportOptions& options) {
    if (!folder_) {
        status_(Texts::tr("Informe: no hay trabajo abierto"));
        return;
    }
    status_(Texts::tr("Informe en preparación..."));
    // Refused only while a report waits to start, which will hold all there is by then.
    static_cast<void>(reports_.post([self = this, status = status_, folder = folder_->path(),
                                     disk = disk_, options]() -> platform::JobOutcome {
        const ReportOutcome outcome = writeReportFiles(folder, {}, disk, options);
        if (!outcome.written)
            return outcome.failure;
        platform::postTo(self, [status, text = outcome.message()] { status(text); });
        return {};
    }));
}

} // namespace job
