#pragma once

#include "job/BackgroundWriter.h"
#include "job/Reading.h"
#include "platform/Disk.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <filesystem>
#include <memory>

namespace job {

// The subtitle (.srt) and table (.csv) files beside one recording: one cue and one row for
// every second of it, handed to the background writer as each second ends and flushed
// there, so a console killed mid-recording leaves both complete to the last second. Seconds
// are the recording's own (its frames times the declared frame period), so the cues run
// with the video whatever the camera's rate.
class TrackWriter {
public:
    // The writer must outlive every track that uses it. Both files are new: a track never
    // replaces a file, nor writes through a link, that is already there.
    TrackWriter(BackgroundWriter& writer, const std::filesystem::path& video,
                platform::Disk disk = platform::localDisk());
    // Writes the last, partial second and closes both files; position: milliseconds of
    // video recorded.
    void finish(qint64 position, const Reading& reading);

    // Writes a cue and a row for each whole second recorded since the last one written.
    void tick(qint64 position, const Reading& reading);
    // Shown in the cue of the second being recorded.
    void addNote(const QString& note);

    // True once a file could not be made or written.
    bool failed() const;
    const QString& subtitlePath() const { return srtPath_; }
    const QString& tablePath() const { return csvPath_; }

    struct Files;

private:
    void writeSecond(const Reading& reading);

    BackgroundWriter& writer_;
    QString srtPath_;
    QString csvPath_;
    std::shared_ptr<Files> files_;
    int secondsWritten_ = 0;
    bool finished_ = false;
    QStringList pendingNotes_;
};

// "<folder>/<stem>.srt" and ".csv" beside "<folder>/<stem>.avi".
QString besideVideo(const std::filesystem::path& video, const QString& suffix);

} // namespace job
