#include "job/Observation.h"
#include "job/Csv.h"

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

namespace {

Observation at(Tag tag, const char* location) {
    Observation o = observation(tag);
    o.location = QString::fromUtf8(location);
    return o;
}

// What a spreadsheet or a browser would take for something else than text.
const char* const hostileTexts[] = {
    "dijo \"alto\", y siguió",
    "línea uno\nlínea dos\r\nfin",
    "<b>negrita</b> & <script>x</script>",
    "=SUMA(A1:A9)",
    "+34 600",
    "-1",
    "@cmd",
    "'ya citado",
    ",",
    "\"",
    "",
};

} // namespace

TEST(Observation, LocationFindingAndSeverityReadBackWhateverTheyHold) {
    for (const char* text : hostileTexts) {
        SCOPED_TRACE(text);
        for (const Finding finding : findings) {
            for (int severity = leastSeverity; severity <= greatestSeverity; ++severity) {
                Observation o = observation(Tag::Before, QString::fromUtf8(text));
                o.location = QString::fromUtf8(text);
                o.finding = finding;
                o.severity = severity;
                const QString row = observationCsvRow(o);
                if (text[0] == '=' || text[0] == '@') {
                    EXPECT_TRUE(row.contains(QStringLiteral("\"'") + QString::fromUtf8(text)));
                }
                const ObservationList list = parseObservations(observationsCsvHeader() + row);
                ASSERT_EQ(list.observations.size(), 1u);
                const Observation& read = list.observations[0];
                EXPECT_EQ(read.note, o.note);
                EXPECT_EQ(read.location, o.location);
                EXPECT_EQ(read.finding, finding);
                EXPECT_EQ(read.severity, severity);
                EXPECT_EQ(read.picture, o.picture) << "the columns before stay in place";
            }
        }
    }
}

TEST(Observation, NewColumnsComeLastAndRowsWithoutThemStillRead) {
    EXPECT_TRUE(
        observationsCsvHeader().endsWith(QStringLiteral(",nota,ubicacion,hallazgo,gravedad\n")));
    const QString older =
        QStringLiteral("fecha_hora,grabacion,segundo,temperatura_c,humedad_pct,marcha,"
                       "velocidad_pct,luces_pct,motor_limpieza,etiqueta,foto,nota\n"
                       "2026-12-09T10:20:30,v.avi,12.3,31,67,avance,80,40,sí,antes,f.bmp,"
                       "\"codo, norte\"\n");
    const ObservationList list = parseObservations(older);
    ASSERT_EQ(list.observations.size(), 1u);
    const Observation& o = list.observations[0];
    EXPECT_EQ(o.note, QStringLiteral("codo, norte"));
    EXPECT_EQ(o.tag, Tag::Before);
    EXPECT_EQ(o.intoRecording, 12'300);
    EXPECT_TRUE(o.location.isEmpty());
    EXPECT_EQ(o.finding, Finding::None);
    EXPECT_EQ(o.severity, 0);
    // Neither thirteen, fourteen nor sixteen fields are a row of either kind.
    const QString base = QStringLiteral("2026-12-09T10:20:30,,,31,67,avance,80,40,sí,,f.bmp,n");
    for (const QString& tail :
         {QStringLiteral(",a"), QStringLiteral(",a,Polvo"), QStringLiteral(",a,Polvo,2,x")}) {
        SCOPED_TRACE(tail.toStdString());
        EXPECT_EQ(parseObservations(older + base + tail + '\n').skippedRows, 1);
    }
    EXPECT_EQ(parseObservations(older + base + QStringLiteral(",a,Polvo,2\n")).skippedRows, 0);
}

TEST(Observation, FindingsAndSeveritiesOfAHostileFileHaveADefinedOutcome) {
    const struct {
        const char* finding;
        const char* severity;
        Finding found;
        int kept;
    } table[] = {
        {"Polvo", "1", Finding::Dust, 1},
        {"Polvo", "3", Finding::Dust, 3},
        {"Polvo", "0", Finding::Dust, 1},
        {"Polvo", "4", Finding::Dust, 3},
        {"Polvo", "-7", Finding::Dust, 1},
        {"Polvo", "2147483647", Finding::Dust, 3},
        {"Polvo", "99999999999", Finding::Dust, 0},
        {"Polvo", "dos", Finding::Dust, 0},
        {"Polvo", "", Finding::Dust, 0},
        {"Crecimiento biológico", "2", Finding::Growth, 2},
        {"polvo", "2", Finding::None, 0},
        {"", "2", Finding::None, 0},
        {"Limpio; DROP", "2", Finding::None, 0},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(std::string(row.finding) + " / " + row.severity);
        const QString csv =
            observationsCsvHeader() + csvLine({QStringLiteral("2026-12-09T10:20:30"),
                                               {},
                                               {},
                                               QStringLiteral("31"),
                                               QStringLiteral("67"),
                                               QStringLiteral("avance"),
                                               QStringLiteral("80"),
                                               QStringLiteral("40"),
                                               QStringLiteral("no"),
                                               {},
                                               {},
                                               QStringLiteral("n"),
                                               QStringLiteral("x"),
                                               QString::fromUtf8(row.finding),
                                               QString::fromUtf8(row.severity)});
        const ObservationList list = parseObservations(csv);
        ASSERT_EQ(list.observations.size(), 1u);
        EXPECT_EQ(list.observations[0].finding, row.found);
        EXPECT_EQ(list.observations[0].severity, row.kept);
    }
    Observation o = observation(Tag::None);
    o.finding = Finding::Grease;
    o.severity = 9;
    EXPECT_EQ(
        parseObservations(observationsCsvHeader() + observationCsvRow(o)).observations[0].severity,
        greatestSeverity)
        << "written within its range";
    o.finding = Finding::None;
    EXPECT_TRUE(observationCsvRow(o).endsWith(QStringLiteral(",,,\n")))
        << "no severity without a finding";
}

TEST(Observation, LocationsAreCutToTheirLongest) {
    for (const int length : {longestLocation, longestLocation + 1}) {
        Observation o = observation(Tag::None);
        o.location = QString(length, 'l');
        const QString csv = observationsCsvHeader() + observationCsvRow(o);
        EXPECT_EQ(parseObservations(csv).observations.at(0).location.size(), longestLocation);
    }
    // A hostile file with a longer one is cut as it is read.
    Observation o = observation(Tag::None);
    o.location = QStringLiteral("x");
    QString row = observationCsvRow(o);
    row.replace(QStringLiteral(",x,,\n"),
                QLatin1Char(',') + QString(5000, 'l') + QStringLiteral(",,\n"));
    EXPECT_EQ(parseObservations(observationsCsvHeader() + row).observations.at(0).location.size(),
              longestLocation);
}

TEST(Observation, FindingsHaveTheirSpanishNames) {
    const std::pair<Finding, const char*> table[] = {
        {Finding::Clean, "Limpio"},
        {Finding::Dust, "Polvo"},
        {Finding::Debris, "Residuos"},
        {Finding::Grease, "Grasa"},
        {Finding::Growth, "Crecimiento biológico"},
        {Finding::Damage, "Daño"},
        {Finding::Obstruction, "Obstrucción"},
        {Finding::Other, "Otro"},
    };
    ASSERT_EQ(std::size(table), std::size(findings));
    for (std::size_t i = 0; i < std::size(table); ++i) {
        EXPECT_EQ(findings[i], table[i].first);
        EXPECT_EQ(findingText(table[i].first), QString::fromUtf8(table[i].second));
        EXPECT_EQ(findingFromText(QString::fromUtf8(table[i].second)), table[i].first);
    }
    EXPECT_EQ(findingText(Finding::None), QString());
}

TEST(Observation, PairsMatchByLocationFirstThenByOrder) {
    using P = std::vector<std::pair<std::size_t, std::size_t>>;
    const auto pairs = [](std::initializer_list<Observation> marks) {
        P result;
        for (const Pair& p : beforeAfterPairs(std::vector<Observation>(marks)))
            result.emplace_back(p.before, p.after);
        return result;
    };
    const Tag B = Tag::Before;
    const Tag A = Tag::After;
    const struct {
        const char* what;
        std::initializer_list<Observation> marks;
        P expected;
    } table[] = {
        {"same place pairs over a later one elsewhere",
         {at(B, "Planta 2"), at(B, "Planta 3"), at(A, "Planta 2")},
         {{0, 2}}},
        {"then the other place pairs with what is left",
         {at(B, "Planta 2"), at(B, "Planta 3"), at(A, "Planta 2"), at(A, "Planta 3")},
         {{0, 2}, {1, 3}}},
        {"spaces and case aside",
         {at(B, " planta  2"), at(B, "Planta 3"), at(A, "PLANTA 2 ")},
         {{0, 2}}},
        {"no place of its own: the latest open before",
         {at(B, "Planta 2"), at(B, "Planta 3"), at(A, "Planta 9")},
         {{1, 2}}},
        {"without any location, as ever", {at(B, ""), at(B, ""), at(A, ""), at(A, "")}, {{1, 2}}},
        {"a location after none: by order", {at(B, ""), at(A, "Planta 2")}, {{0, 1}}},
        {"a before after its after never pairs", {at(A, "Planta 2"), at(B, "Planta 2")}, {}},
        {"a later before of a place closes the earlier",
         {at(B, "Planta 2"), at(B, "Planta 2"), at(A, "Planta 2"), at(A, "Planta 2")},
         {{1, 2}}},
        {"each before in one pair at most",
         {at(B, "Planta 2"), at(A, "Planta 2"), at(A, "Planta 2")},
         {{0, 1}}},
        {"an after with no match by place takes the one of another place",
         {at(B, "Planta 2"), at(A, ""), at(B, "Planta 2"), at(A, "Planta 2")},
         {{0, 1}, {2, 3}}},
    };
    for (const auto& row : table)
        EXPECT_EQ(pairs(row.marks), row.expected) << row.what;
}

TEST(Observation, CueTellsLocationAndFindingOnlyWhenGiven) {
    Observation o = observation(Tag::Before, QStringLiteral("junta"));
    EXPECT_EQ(observationCueText(o), QStringLiteral("antes: junta"));
    o.tag = Tag::None;
    EXPECT_EQ(observationCueText(o), QStringLiteral("junta"));
    o.location = QStringLiteral("Planta 2, impulsión, tramo 3");
    o.finding = Finding::Growth;
    o.severity = 3;
    EXPECT_EQ(observationCueText(o),
              QStringLiteral("junta | Ubicación: Planta 2, impulsión, tramo 3 | Hallazgo: "
                             "Crecimiento biológico | Gravedad: 3"));
    o.tag = Tag::After;
    EXPECT_EQ(observationLine(o), observationCueText(o)) << "a viewer's line, in Spanish";
    o.location.clear();
    o.finding = Finding::None;
    EXPECT_EQ(observationCueText(o), QStringLiteral("después: junta"));
}
