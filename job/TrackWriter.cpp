#include "job/TrackWriter.h"

#include "job/TrackFormat.h"

#include <QDir>
#include <QFileInfo>

namespace job {

struct TrackWriter::Files {
    using File = std::unique_ptr<platform::DiskFile>;

    File srt;
    File csv;
    QString reason;
    std::atomic<bool> failed{false};

    bool append(const File& file, const QString& text) {
        return !file || file->append(platform::bytesOf(text.toUtf8()));
    }
    bool close(File& file) {
        const bool closed = !file || file->close();
        file.reset();
        return closed;
    }
    platform::JobOutcome outcome(bool done) {
        if (done)
            return {};
        failed = true;
        return reason;
    }
};

QString besideVideo(const std::filesystem::path& video, const QString& suffix) {
    const QFileInfo info(QString::fromStdString(video.string()));
    return info.dir().filePath(info.completeBaseName() + suffix);
}

TrackWriter::TrackWriter(platform::Worker& worker, const std::filesystem::path& video,
                         platform::Disk disk)
    : worker_(worker), srtPath_(besideVideo(video, QStringLiteral(".srt"))),
      csvPath_(besideVideo(video, QStringLiteral(".csv"))), files_(std::make_shared<Files>()) {
    files_->reason = QFileInfo(srtPath_).fileName();
    post([files = files_, srt = srtPath_, csv = csvPath_, disk = std::move(disk)] {
        files->srt = disk.open(srt.toStdString(), platform::OpenMode::New);
        files->csv = disk.open(csv.toStdString(), platform::OpenMode::New);
        const bool opened = files->srt && files->csv;
        return files->outcome(files->append(files->csv, trackCsvHeader()) && opened);
    });
}

bool TrackWriter::finish(qint64 position, const Reading& reading) {
    if (finished_)
        return true;
    bool handed = tick(position, reading);
    if (position > static_cast<qint64>(secondsWritten_) * 1000)
        handed = writeSecond(reading) && handed;
    finished_ = true;
    return post([files = files_] {
               const bool srt = files->close(files->srt);
               return files->outcome(files->close(files->csv) && srt);
           }) &&
           handed;
}

bool TrackWriter::tick(qint64 position, const Reading& reading) {
    if (finished_)
        return true;
    const qint64 whole = position / 1000;
    bool handed = true;
    while (secondsWritten_ < whole)
        handed = writeSecond(reading) && handed;
    return handed;
}

void TrackWriter::addNote(const QString& note) {
    pendingNotes_ << note;
}

bool TrackWriter::failed() const {
    return files_->failed;
}

QString TrackWriter::failureReason() const {
    return files_->reason;
}

bool TrackWriter::writeSecond(const Reading& reading) {
    ++secondsWritten_;
    const bool handed = post([files = files_, cue = srtCue(secondsWritten_, reading, pendingNotes_),
                              row = trackCsvRow(secondsWritten_, reading)] {
        const bool srt = files->append(files->srt, cue);
        return files->outcome(files->append(files->csv, row) && srt);
    });
    pendingNotes_.clear();
    return handed;
}

// A second the worker has no room for is lost: the track has failed.
bool TrackWriter::post(platform::Worker::Job job) {
    if (worker_.post(std::move(job)))
        return true;
    files_->failed = true;
    return false;
}

} // namespace job
