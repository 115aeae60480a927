#include "job/Observation.h"

#include <gtest/gtest.h>

using namespace job;

namespace {

Observation observation(Tag tag, const QString& note = QStringLiteral("nota")) {
    Observation o;
    o.when = QDateTime(QDate(2026, 12, 9), QTime(10, 20, 30));
    o.recording = QStringLiteral("Obra_2026-12-09_10-20-00_video.avi");
    o.intoRecording = 12'345;
    o.reading.time = o.when.time();
    o.reading.temperature = 31;
    o.reading.humidity = 67;
    o.reading.speedPercent = 80;
    o.reading.lightsPercent = 40;
    o.reading.cleaningMotor = true;
    o.tag = tag;
    o.note = note;
    o.picture = QStringLiteral("Obra_2026-12-09_10-20-30_foto.bmp");
    return o;
}

std::vector<Observation> marks(std::initializer_list<Tag> tags) {
    std::vector<Observation> list;
    for (Tag tag : tags)
        list.push_back(observation(tag));
    return list;
}

} // namespace

TEST(Observation, RowsReadBackWithTheirNoteWhateverItHolds) {
    const QString note = QStringLiteral("codo, \"norte\"\ncon óxido");
    const QString csv = observationsCsvHeader() + observationCsvRow(observation(Tag::After, note)) +
                        observationCsvRow(observation(Tag::None));
    const ObservationList list = parseObservations(csv);
    ASSERT_EQ(list.observations.size(), 2u);
    EXPECT_EQ(list.skippedRows, 0);
    const Observation& o = list.observations[0];
    EXPECT_EQ(o.note, note);
    EXPECT_EQ(o.tag, Tag::After);
    EXPECT_EQ(o.when, observation(Tag::None).when);
    EXPECT_EQ(o.intoRecording, 12'300) << "kept to a tenth of a second";
    EXPECT_EQ(o.reading.temperature, 31);
    EXPECT_TRUE(o.reading.cleaningMotor);
    EXPECT_EQ(o.picture, observation(Tag::None).picture);
    EXPECT_EQ(list.observations[1].tag, Tag::None);
}

TEST(Observation, WithoutARecordingTheTimeIntoItIsEmpty) {
    Observation o = observation(Tag::Before);
    o.recording.clear();
    const QString row = observationCsvRow(o);
    EXPECT_TRUE(row.contains(QStringLiteral("T10:20:30,,,31,")));
    const ObservationList list = parseObservations(observationsCsvHeader() + row);
    ASSERT_EQ(list.observations.size(), 1u);
    EXPECT_EQ(list.observations[0].intoRecording, 0);
}

TEST(Observation, MalformedRowsAreSkippedAndCounted) {
    const QString csv = observationsCsvHeader() + QStringLiteral("garbage\n") +
                        observationCsvRow(observation(Tag::None)) +
                        QStringLiteral("not-a-date,a,1,2,3,4,5,6,no,,f,n\n") +
                        QStringLiteral("2026-12-09T10:00:00,a,-1,2,3,4,5,6,no,,f,n\n\n");
    const ObservationList list = parseObservations(csv);
    EXPECT_EQ(list.observations.size(), 1u);
    EXPECT_EQ(list.skippedRows, 3);
}

TEST(Observation, NotesAreCutToTheirLongest) {
    const QString csv = observationsCsvHeader() +
                        observationCsvRow(observation(Tag::None, QString(longestNote + 1, 'n')));
    EXPECT_EQ(parseObservations(csv).observations.at(0).note.size(), longestNote);
}

TEST(Observation, TagsHaveTheirSpanishNames) {
    EXPECT_EQ(tagText(Tag::Before), QStringLiteral("antes"));
    EXPECT_EQ(tagText(Tag::After), QStringLiteral("después"));
    EXPECT_EQ(tagText(Tag::None), QString());
    EXPECT_EQ(tagFromText(QStringLiteral("después")), Tag::After);
    EXPECT_EQ(tagFromText(QStringLiteral("despues")), Tag::None);
}

TEST(Observation, EachAfterPairsWithTheLatestOpenBefore) {
    using P = std::vector<std::pair<std::size_t, std::size_t>>;
    const auto pairs = [](std::initializer_list<Tag> tags) {
        P result;
        for (const Pair& p : beforeAfterPairs(marks(tags)))
            result.emplace_back(p.before, p.after);
        return result;
    };
    EXPECT_EQ(pairs({Tag::Before, Tag::After}), (P{{0, 1}}));
    EXPECT_EQ(pairs({Tag::After, Tag::Before}), P{});
    EXPECT_EQ(pairs({Tag::Before, Tag::None, Tag::Before, Tag::After}), (P{{2, 3}}));
    EXPECT_EQ(pairs({Tag::Before, Tag::After, Tag::After}), (P{{0, 1}}));
    EXPECT_EQ(pairs({Tag::Before, Tag::After, Tag::Before, Tag::After}), (P{{0, 1}, {2, 3}}));
    EXPECT_EQ(pairs({}), P{});
}
