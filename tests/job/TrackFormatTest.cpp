#include "job/TrackFormat.h"

#include <gtest/gtest.h>

using namespace job;

namespace {

Reading sampleReading() {
    Reading reading;
    reading.time = QTime(14, 3, 5);
    reading.temperature = 31;
    reading.humidity = 67;
    reading.drive = QStringLiteral("avance");
    reading.speedPercent = 80;
    reading.lightsPercent = 40;
    reading.cleaningMotor = true;
    return reading;
}

} // namespace

TEST(TrackFormat, SubtitleTimesCarryIntoSecondsMinutesAndHours) {
    const std::pair<qint64, const char*> table[] = {
        {-5, "00:00:00,000"},        {0, "00:00:00,000"},         {999, "00:00:00,999"},
        {1000, "00:00:01,000"},      {59'999, "00:00:59,999"},    {60'000, "00:01:00,000"},
        {3'599'999, "00:59:59,999"}, {3'600'000, "01:00:00,000"}, {360'000'000, "100:00:00,000"},
    };
    for (const auto& [ms, text] : table)
        EXPECT_EQ(srtTimestamp(ms), QString::fromLatin1(text)) << ms;
}

TEST(TrackFormat, CueCoversItsSecondAndShowsEveryValueAndNote) {
    EXPECT_EQ(srtCue(3, sampleReading(), {QStringLiteral("antes: grieta\ncon agua")}),
              QStringLiteral("3\n00:00:02,000 --> 00:00:03,000\n"
                             "14:03:05  31 ºC  67 %  avance 80 %  luces 40 %  limpieza sí\n"
                             "Observación: antes: grieta con agua\n\n"));
    Reading idle = sampleReading();
    idle.temperature = idle.humidity = std::nullopt;
    idle.cleaningMotor = false;
    EXPECT_EQ(srtCue(1, idle), QStringLiteral("1\n00:00:00,000 --> 00:00:01,000\n14:03:05  -- ºC  "
                                              "-- %  avance 80 %  luces 40 %  limpieza no\n\n"));
}

TEST(TrackFormat, FieldsAreQuotedOnlyWhenTheyMustBe) {
    EXPECT_EQ(csvField(QStringLiteral("junta limpia")), QStringLiteral("junta limpia"));
    EXPECT_EQ(csvField(QStringLiteral("codo, norte")), QStringLiteral("\"codo, norte\""));
    EXPECT_EQ(csvField(QStringLiteral("dijo \"sí\"")), QStringLiteral("\"dijo \"\"sí\"\"\""));
    EXPECT_EQ(csvField(QStringLiteral("a\nb")), QStringLiteral("\"a\nb\""));
    const QStringList fields{QStringLiteral("codo, norte"), QString(), QStringLiteral("\"x\""),
                             QStringLiteral("a\nb")};
    QStringList quoted;
    for (const QString& field : fields)
        quoted << csvField(field);
    EXPECT_EQ(parseCsvLine(quoted.join(',')), fields);
    EXPECT_FALSE(parseCsvLine(QStringLiteral("a,\"open")));
}

TEST(TrackFormat, RowsReadBackAndOutOfRangeRowsAreRefused) {
    const QString row = trackCsvRow(12, sampleReading());
    EXPECT_EQ(row, QStringLiteral("14:03:05,12,31,67,avance,80,40,sí\n"));
    const std::optional<TrackRow> read = parseTrackCsvRow(row);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->second, 12);
    EXPECT_EQ(read->reading.temperature, 31);
    EXPECT_EQ(read->reading.speedPercent, 80);
    EXPECT_TRUE(read->reading.cleaningMotor);
    EXPECT_EQ(trackCsvHeader().count(','), row.count(','));

    EXPECT_TRUE(parseTrackCsvRow(QStringLiteral("14:03:05,0,--,--,parado,100,0,no")));
    EXPECT_FALSE(parseTrackCsvRow(QStringLiteral("14:03:05,0,--,--,parado,101,0,no")));
    EXPECT_FALSE(parseTrackCsvRow(QStringLiteral("14:03:05,0,--,--,parado,0,-1,no")));
    EXPECT_FALSE(parseTrackCsvRow(QStringLiteral("14:03:05,-1,--,--,parado,0,0,no")));
    EXPECT_FALSE(parseTrackCsvRow(QStringLiteral("25:03:05,1,--,--,parado,0,0,no")));
    EXPECT_FALSE(parseTrackCsvRow(QStringLiteral("14:03:05,1,--,--,parado,0,0")));
}

TEST(TrackFormat, NotesBecomeOneLine) {
    EXPECT_EQ(oneLine(QStringLiteral(" a\r\n\r\nb\rc\n")), QStringLiteral("a  b c"));
}
