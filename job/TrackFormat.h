#pragma once

#include "job/Csv.h"
#include "job/Reading.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace job {

// Text of the subtitle and table files written beside every recording.

// "00:01:02,345" for a time into the recording; negative times count as zero.
QString srtTimestamp(qint64 milliseconds);

// Cue `index` (1 upwards) covering second index-1 to index of the recording, with the notes
// taken in that second on lines of their own.
QString srtCue(int index, const Reading& reading, const QStringList& notes = {});

QString trackCsvHeader();
// One row a second: time of day, second of the recording, then the reading's values.
QString trackCsvRow(int second, const Reading& reading);
// The reading and second of a row written by trackCsvRow; nothing for a malformed row.
struct TrackRow {
    int second = 0;
    Reading reading;
};
std::optional<TrackRow> parseTrackCsvRow(const QString& line);

// "sí" or "no", as the tables write a switch.
QString yesNo(bool value);

// A note as one line: line ends become spaces, so that it cannot end a cue early.
QString oneLine(const QString& text);

} // namespace job
