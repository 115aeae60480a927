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
// Longest location kept, in characters ("Planta 2, impulsión, tramo 3").
inline constexpr int longestLocation = 120;

// What the operator found at the place observed.
enum class Finding { None, Clean, Dust, Debris, Grease, Growth, Damage, Obstruction, Other };
// Every finding the operator may choose, in the order offered.
inline constexpr Finding findings[] = {Finding::Clean,       Finding::Dust,   Finding::Debris,
                                       Finding::Grease,      Finding::Growth, Finding::Damage,
                                       Finding::Obstruction, Finding::Other};
// "Limpio", "Polvo", ...; empty for none.
QString findingText(Finding finding);
// The same in the console's language, for the screen; the files keep the Spanish word.
QString findingLabel(Finding finding);
// The finding of its label; none for any other text.
Finding findingFromText(const QString& text);
inline constexpr int leastSeverity = 1;
inline constexpr int greatestSeverity = 3;

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
    QString location;
    Finding finding = Finding::None;
    // leastSeverity..greatestSeverity with a finding, 0 without one.
    int severity = 0;
    // File name of the still picture, in the job folder; empty when none was saved.
    QString picture;
};

inline const QString observationsFile = QStringLiteral("observations.csv");

QString observationsCsvHeader();
QString observationCsvRow(const Observation& observation);
// Reads a file written with the two functions above, or by the console before rows had a
// location and a finding; malformed rows are skipped and counted. A severity outside its
// range is taken as the nearest end of it, one that is no number as none, and neither is kept
// without a finding.
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

// Each "después" with the latest "antes" before it of the same location (spaces and case aside)
// not yet paired, else with the latest "antes" before it not yet paired; a later "antes" of a
// location closes the earlier one's, and a mark is in one pair at most.
struct Pair {
    std::size_t before;
    std::size_t after;
};
std::vector<Pair> beforeAfterPairs(const std::vector<Observation>& observations);

// What a recording's cue says of an observation: "antes: note", then its location and finding
// when it has them.
QString observationCueText(const Observation& observation);
// The same in the console's language, for a viewer of the remote view.
QString observationLine(const Observation& observation);

} // namespace job
