#pragma once

#include "job/Reading.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

namespace job {

enum class Tag { None, Before, After };

// "antes", "después" or empty.
QString tagText(Tag tag);
Tag tagFromText(const QString& text);

// Longest note kept, in characters.
inline constexpr int longestNote = 500;

// What the operator marked at one moment of the job.
struct Observation {
    QDateTime when;
    // File name of the recording running then, empty when none was.
    QString recording;
    // Milliseconds into that recording.
    qint64 intoRecording = 0;
    Reading reading;
    Tag tag = Tag::None;
    QString note;
    // File name of the still picture, in the job folder; empty when none was saved.
    QString picture;
};

inline const QString observationsFile = QStringLiteral("observations.csv");

QString observationsCsvHeader();
QString observationCsvRow(const Observation& observation);
// Reads a file written with the two functions above; malformed rows are skipped and counted.
// Only the first `mostKept` observations are kept; the others are counted and their times
// still widen the span.
struct ObservationList {
    std::vector<Observation> observations;
    int skippedRows = 0;
    std::size_t notKept = 0;
    // The first and last moment of every observation read, kept or not.
    QDateTime earliest;
    QDateTime latest;
};
ObservationList parseObservations(QStringView csvText, std::size_t mostKept = SIZE_MAX);

// Each "después" with the latest "antes" before it not yet paired; a mark is in one pair at most.
struct Pair {
    std::size_t before;
    std::size_t after;
};
std::vector<Pair> beforeAfterPairs(const std::vector<Observation>& observations);

} // namespace job
