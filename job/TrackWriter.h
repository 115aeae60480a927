#pragma once

#include "job/Reading.h"
#include "platform/Disk.h"
#include "platform/Worker.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <filesystem>
#include <memory>

namespace job {

// The subtitle (.srt) and table (.csv) files beside one recording: one cue and one row for
// every second of it, handed to the worker as each second ends and flushed there, so a
// console killed mid-recording leaves both complete to the last second. A job that fails tells
// the worker the subtitle file's name as its reason. Seconds
// are the recording's own (its frames times the declared frame period), so the cues run
// with the video whatever the camera's rate.
class TrackWriter {
public:
    // The worker must outlive every track that uses it. Both files are new: a track never
    // replaces a file, nor writes through a link, that is already there.
    TrackWriter(platform::Worker& worker, const std::filesystem::path& video,
                platform::Disk disk = platform::localDisk());
    // Writes the last, partial second and closes both files; position: milliseconds of
    // video recorded. False when the worker had no room for some of it (the track then has
    // failed).
    bool finish(qint64 position, const Reading& reading);

    // Writes a cue and a row for each whole second recorded since the last one written; false
    // as for finish().
    bool tick(qint64 position, const Reading& reading);
    // Shown in the cue of the second being recorded.
    void addNote(const QString& note);

    // True once a file could not be made or written, or a second was refused by the worker.
    bool failed() const;
    // The reason its failed jobs give.
    QString failureReason() const;
    const QString& subtitlePath() const { return srtPath_; }
    const QString& tablePath() const { return csvPath_; }

    struct Files;

private:
    bool writeSecond(const Reading& reading);
    bool post(platform::Worker::Job job);

    platform::Worker& worker_;
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
