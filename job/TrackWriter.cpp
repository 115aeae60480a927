#include "job/TrackWriter.h"

#include "job/TrackFormat.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>

namespace job {

struct TrackWriter::Files {
    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    using File = std::unique_ptr<std::FILE, Closer>;

    File srt;
    File csv;
    std::atomic<bool> failed{false};

    // Exclusive: a track never replaces a file that is already there.
    static File create(const QString& path) {
        return File(std::fopen(QFile::encodeName(path).constData(), "wbx"));
    }
    void append(File& file, const QString& text) {
        if (!file)
            return;
        const QByteArray bytes = text.toUtf8();
        if (std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), file.get()) !=
                static_cast<std::size_t>(bytes.size()) ||
            std::fflush(file.get()) != 0)
            failed = true;
    }
};

QString besideVideo(const std::filesystem::path& video, const QString& suffix) {
    const QFileInfo info(QString::fromStdString(video.string()));
    return info.dir().filePath(info.completeBaseName() + suffix);
}

TrackWriter::TrackWriter(BackgroundWriter& writer, const std::filesystem::path& video)
    : writer_(writer), srtPath_(besideVideo(video, QStringLiteral(".srt"))),
      csvPath_(besideVideo(video, QStringLiteral(".csv"))), files_(std::make_shared<Files>()) {
    writer_.post([files = files_, srt = srtPath_, csv = csvPath_] {
        files->srt = Files::create(srt);
        files->csv = Files::create(csv);
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
        files->srt.reset();
        files->csv.reset();
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
