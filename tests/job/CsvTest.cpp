#include "job/Csv.h"
#include "job/Observation.h"
#include "job/TrackFormat.h"

#include <gtest/gtest.h>

using namespace job;

// What a field is written as, and that a table of such fields reads back as typed.
TEST(Csv, FormulasAreNeutralisedBehindAnApostropheAndEveryFieldReadsBackAsTyped) {
    const std::pair<QString, QString> table[] = {
        {QStringLiteral("=HYPERLINK(\"http://x\",\"abrir\")"),
         QStringLiteral("\"'=HYPERLINK(\"\"http://x\"\",\"\"abrir\"\")\"")},
        {QStringLiteral("=1+1"), QStringLiteral("\"'=1+1\"")},
        {QStringLiteral("+34 600 000 000"), QStringLiteral("\"'+34 600 000 000\"")},
        {QStringLiteral("-2+3"), QStringLiteral("\"'-2+3\"")},
        {QStringLiteral("@SUM(A1:A9)"), QStringLiteral("\"'@SUM(A1:A9)\"")},
        {QStringLiteral("\t=1"), QStringLiteral("\"'\t=1\"")},
        {QStringLiteral("\r=1"), QStringLiteral("\"'\r=1\"")},
        {QStringLiteral("'hola"), QStringLiteral("\"''hola\"")},
        {QStringLiteral("'"), QStringLiteral("\"''\"")},
        {QStringLiteral("''=1"), QStringLiteral("\"'''=1\"")},
        {QStringLiteral("codo, norte"), QStringLiteral("\"codo, norte\"")},
        {QStringLiteral("dijo \"sí\""), QStringLiteral("\"dijo \"\"sí\"\"\"")},
        {QStringLiteral("grieta\ncon agua"), QStringLiteral("\"grieta\ncon agua\"")},
        {QStringLiteral("=a,\nb"), QStringLiteral("\"'=a,\nb\"")},
        {QStringLiteral("nota = 3 - 1 @ junta"), QStringLiteral("nota = 3 - 1 @ junta")},
        {QStringLiteral("-5"), QStringLiteral("-5")},
        {QStringLiteral("+2.5"), QStringLiteral("+2.5")},
        {QStringLiteral("--"), QStringLiteral("--")},
        {QStringLiteral("-"), QStringLiteral("-")},
        {QString(), QString()},
    };
    QStringList typed;
    for (const auto& [value, written] : table) {
        EXPECT_EQ(csvField(value), written) << value.toStdString();
        EXPECT_EQ(parseCsvLine(written), QStringList{value}) << value.toStdString();
        typed << value;
    }
    const QString text = csvLine(typed) + csvLine(typed);
    const QStringList lines = splitCsvLines(text);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(parseCsvLine(lines[1]), typed);
    EXPECT_EQ(splitCsvLines(QStringLiteral("a\n\n \r\nb")), (QStringList{"a", "b"}));
}

TEST(Csv, AnOperatorsNoteAndATextFieldAreNeutralisedInTheFilesAndReadBack) {
    Observation o;
    o.when = QDateTime(QDate(2026, 12, 9), QTime(10, 20, 30));
    o.note = QStringLiteral("=cmd|' /C calc'!A0");
    o.reading.temperature = -5;
    o.reading.humidity = 67;
    o.reading.drive = QStringLiteral("@avance");
    const QString row = observationCsvRow(o);
    EXPECT_TRUE(row.endsWith(QStringLiteral(",\"'=cmd|' /C calc'!A0\",,,\n"))) << row.toStdString();
    EXPECT_TRUE(row.contains(QStringLiteral(",-5,67,\"'@avance\","))) << row.toStdString();
    const ObservationList read = parseObservations(observationsCsvHeader() + row);
    ASSERT_EQ(read.observations.size(), 1u);
    EXPECT_EQ(read.observations[0].note, o.note);
    EXPECT_EQ(read.observations[0].reading.drive, o.reading.drive);
    EXPECT_EQ(read.observations[0].reading.temperature, -5);

    Reading reading;
    reading.time = QTime(14, 3, 5);
    reading.temperature = -5;
    reading.drive = QStringLiteral("=avance");
    const QString track = trackCsvRow(3, reading);
    EXPECT_EQ(track, QStringLiteral("14:03:05,3,-5,--,\"'=avance\",0,0,no\n"));
    const std::optional<TrackRow> back = parseTrackCsvRow(track);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->reading.temperature, -5);
    EXPECT_EQ(back->reading.humidity, std::nullopt);
    EXPECT_EQ(back->reading.drive, reading.drive);
}

TEST(Csv, EachTableStartsWithItsHeaderLine) {
    EXPECT_EQ(trackCsvHeader(), QStringLiteral("hora,segundo,temperatura_c,humedad_pct,marcha,"
                                               "velocidad_pct,luces_pct,motor_limpieza\n"));
    EXPECT_EQ(observationsCsvHeader(),
              QStringLiteral("fecha_hora,grabacion,segundo,temperatura_c,humedad_pct,marcha,"
                             "velocidad_pct,luces_pct,motor_limpieza,etiqueta,foto,nota,"
                             "ubicacion,hallazgo,gravedad\n"));
}
