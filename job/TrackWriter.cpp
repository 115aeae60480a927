#include "job/TrackWriter.h"

#include "job/TrackFormat.h"

#include <QDir>
#include <QFileInfo>

namespace job {

struct TrackWriter::Files {
    using File = std::unique_ptr<platform::DiskFile>;

    File srt;
    File csv;
    std::atomic<bool> failed{false};

    void append(const File& file, const QString& text) {
        if (file && !file->append(platform::bytesOf(text.toUtf8())))
            failed = true;
    }
    void close(File& file) {
        if (file && !file->close())
            failed = true;
        file.reset();
    }
};

QString besideVideo(const std::filesystem::path& video, const QString& suffix) {
    const QFileInfo info(QString::fromStdString(video.string()));
    return info.dir().filePath(info.completeBaseName() + suffix);
}

TrackWriter::TrackWriter(BackgroundWriter& writer, const std::filesystem::path& video,
                         platform::Disk disk)
    : writer_(writer), srtPath_(besideVideo(video, QStringLiteral(".srt"))),
      csvPath_(besideVideo(video, QStringLiteral(".csv"))), files_(std::make_shared<Files>()) {
    writer_.post([files = files_, srt = srtPath_, csv = csvPath_, disk = std::move(disk)] {
        files->srt = disk.open(srt.toStdString(), platform::OpenMode::New);
        files->csv = disk.open(csv.toStdString(), platform::OpenMode::New);
        if (!files->srt || !files->csv)
            files->failed = true;
        files->append(files->csv, trackCsvHeader());
    });
}

void TrackWriter::finish(qint64 position, const Reading& reading) {
    if (finished_)
        return;
    tick(position, reading);
    if (position > static_cast<qint64>(secondsWritten_) * 1000)
        writeSecond(reading);
    finished_ = true;
    writer_.post([files = files_] {
        files->close(files->srt);
        files->close(files->csv);
    });
}

void TrackWriter::tick(qint64 position, const Reading& reading) {
    if (finished_)
        return;
    const qint64 whole = position / 1000;
    while (secondsWritten_ < whole)
        writeSecond(reading);
}

void TrackWriter::addNote(const QString& note) {
    pendingNotes_ << note;
}

bool TrackWriter::failed() const {
    return files_->failed;
}

void TrackWriter::writeSecond(const Reading& reading) {
    ++secondsWritten_;
    writer_.post([files = files_, cue = srtCue(secondsWritten_, reading, pendingNotes_),
                  row = trackCsvRow(secondsWritten_, reading)] {
        files->append(files->srt, cue);
        files->append(files->csv, row);
    });
    pendingNotes_.clear();
}

} // namespace job
