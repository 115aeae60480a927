#pragma once

#include "job/JobFolder.h"
#include "job/Observation.h"
#include "job/Reading.h"
#include "job/Report.h"
#include "job/TrackWriter.h"
#include "platform/Disk.h"
#include "platform/Worker.h"
#include "video/BitmapFile.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

namespace job {

// Why a file could not be written, for the status line: "disco lleno" or "no se pudo escribir
// <file>".
QString diskFailureText(platform::DiskError error, const QString& file);

// The key that marks an observation: "O", which the key table leaves free.
inline constexpr int observationKey = 'O';

// The inspection job of the running console. Without a job every name is the one the
// console always used; with one, pictures, recordings, their tracks and the observations go
// to the job's folder. The file work runs in the background: tracks, observations and reports
// each on a worker of their own, so a long report never holds up a track's seconds.
class Session : public QObject {
    Q_OBJECT
public:
    using Readings = std::function<Reading()>;
    using Status = std::function<void(const QString&)>;

    // readings: the values of the moment; status: where passing texts go; lasting: where an
    // observation that could not be saved whole is told until the next one (an empty text
    // ends it), else status.
    Session(Readings readings, Status status, QString root = jobsRoot(), Status lasting = {});
    ~Session() override;

    bool active() const { return folder_.has_value(); }
    QString name() const { return folder_ ? folder_->name() : QString(); }
    QString folder() const { return folder_ ? folder_->path() : QString(); }
    // Every file of the job goes through this disk (tests script full disks).
    void useDisk(platform::Disk disk) { disk_ = std::move(disk); }
    // Sets the job; false (and a status text) when its folder cannot be made, leaving the
    // job as it was. A running recording keeps its folder. The details go into the job file.
    bool start(const QString& name, const JobDetails& details = {});

    // The recording's name: the job's, else "00" + number + "video.avi" in the working folder
    // (".mp4" for MP4).
    std::optional<video::GeneratedName>
    videoName(int number, video::VideoFormat format = video::VideoFormat::Avi) const;
    // A still picture's name: the job's, else base + number + ".bmp".
    std::optional<video::GeneratedName> snapshotName(const std::string& base, int number) const;

    // The tracks of a recording begin and end with it; position tells how many milliseconds
    // of video it holds.
    using Position = std::function<qint64()>;
    void recordingStarted(const std::filesystem::path& video, Position position);
    void recordingStopped();
    bool trackRunning() const { return track_ != nullptr; }

    // The moment the observation key was pressed, with the picture saved for it (empty when
    // none could be); completed by record() once the operator has written the note.
    Observation markNow(const std::filesystem::path& picture) const;
    // The same, with the picture taken by `take` under the job's next free name; noPicture
    // says why there is none, for record().
    struct Marked {
        Observation observation;
        QString noPicture;
    };
    using TakePicture = std::function<platform::DiskError(const std::filesystem::path&)>;
    Marked markWithPicture(const TakePicture& take) const;
    // Writes the observation in the background and then tells how that went: saved, saved
    // without its picture (noPicture says why it is missing), or not saved.
    void record(Observation observation, const QString& noPicture = {});

    // Writes the report of the current job in the background; the outcome goes to status.
    void writeReport(const ReportOptions& options = {});

    void tick();
    // Waits for the background file work (end of the session, tests).
    void drain();

private:
    void trackFailed(const QString& file);
    void observationFailed(const QString& reason);
    void observationWritten(const QString& noPicture);

    Readings readings_;
    Status status_;
    Status lasting_;
    platform::Disk disk_ = platform::localDisk();
    QString root_;
    std::optional<JobFolder> folder_;
    QString recordingName_;
    std::unique_ptr<TrackWriter> track_;
    Position position_;
    QString trackFailureShown_;
    QTimer seconds_;
    // Last: their jobs may post back to this object, so they finish them before the rest goes.
    platform::Worker tracks_;
    platform::Worker observations_;
    platform::Worker reports_;
};

} // namespace job
