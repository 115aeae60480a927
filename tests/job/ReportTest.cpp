#include "job/Report.h"
#include "job/JobFolder.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

using namespace job;

namespace {

const QDateTime start(QDate(2026, 12, 9), QTime(10, 0, 0));

void write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray chunk(const char* id, const QByteArray& body) {
    QByteArray size(4, '\0');
    qToLittleEndian<quint32>(quint32(body.size()), size.data());
    return QByteArray(id, 4) + size + body;
}

// The start of an AVI: its main header counts `frames`, its OpenDML header `total`, if any.
QByteArray aviHeader(quint32 frames, std::optional<quint32> total) {
    QByteArray avih(56, '\0');
    qToLittleEndian<quint32>(frames, avih.data() + 16);
    QByteArray list = QByteArray("hdrl") + chunk("avih", avih);
    if (total) {
        QByteArray dmlh(248, '\0');
        qToLittleEndian<quint32>(*total, dmlh.data());
        list += chunk("LIST", QByteArray("odml") + chunk("dmlh", dmlh));
    }
    return chunk("RIFF", QByteArray("AVI ") + chunk("LIST", list));
}

QByteArray table(const QDateTime& from, int seconds, int temperature) {
    QByteArray csv = trackCsvHeader().toUtf8();
    for (int s = 1; s <= seconds; ++s) {
        Reading r;
        r.time = from.time().addSecs(s);
        r.temperature = s == 2 ? noValue : QString::number(temperature);
        r.humidity = QStringLiteral("60");
        csv += trackCsvRow(s, r).toUtf8();
    }
    return csv;
}

Observation mark(Tag tag, const QString& note, const QString& picture, int minute) {
    Observation o;
    o.when = start.addSecs(60 * minute);
    o.tag = tag;
    o.note = note;
    o.picture = picture;
    o.reading.time = o.when.time();
    return o;
}

// "red" or "blue" where a line of that colour crosses x at the given fraction of the plot
// area's height (110..1490 x 50..520), empty where none does.
QString colourAt(const QImage& chart, double fraction, double x) {
    const int y = int(520 - 470 * fraction);
    for (int dy = -3; dy <= 3; ++dy) {
        const QColor c = chart.pixelColor(int(x), y + dy);
        if (c.red() > 200 && c.green() < 80 && c.blue() < 80)
            return QStringLiteral("red");
        if (c.blue() > 200 && c.red() < 80 && c.green() < 80)
            return QStringLiteral("blue");
    }
    return {};
}

// Ten seconds of one recording, every temperature the same.
JobRecord tenSeconds(const QString& temperature) {
    JobRecord job;
    job.start = start;
    job.end = start.addSecs(10);
    RecordingSummary recording;
    recording.start = start;
    for (int s = 1; s <= 10; ++s) {
        TrackRow row;
        row.second = s;
        row.reading.time = start.time().addSecs(s);
        row.reading.temperature = temperature;
        recording.rows.push_back(row);
    }
    job.recordings.push_back(recording);
    return job;
}

struct ReportFolder : ::testing::Test {
    QTemporaryDir root;
    QString folder;
    QDir dir;

    void SetUp() override {
        folder = JobFolder::open(QStringLiteral("Obra <Sur> & tramo"), root.path(), start)->path();
        dir = QDir(folder);
        const QString first = QStringLiteral("Obra-Sur-tramo_2026-12-09_10-01-00_video.avi");
        const QString second = QStringLiteral("Obra-Sur-tramo_2026-12-09_10-10-00-2_video.avi");
        write(dir.filePath(first), aviHeader(70, std::nullopt));
        write(dir.filePath(first).chopped(4) + ".csv", table(start.addSecs(60), 7, 30));
        write(dir.filePath(second), aviHeader(10, 5000));
        write(dir.filePath(second).chopped(4) + ".csv",
              table(start.addSecs(600), 3, 45) + "broken,row\n");
        QImage picture(352, 288, QImage::Format_RGB888);
        for (const char* name : {"a_foto.bmp", "b_foto.bmp", "c_foto.bmp"}) {
            picture.fill(Qt::darkGreen);
            ASSERT_TRUE(picture.save(dir.filePath(QString::fromLatin1(name)), "BMP"));
        }
        QByteArray observations = observationsCsvHeader().toUtf8();
        for (const Observation& o :
             {mark(Tag::Before, QStringLiteral("grieta en la junta"), "a_foto.bmp", 2),
              mark(Tag::None, QStringLiteral("codo <sin> marca"), "c_foto.bmp", 5),
              mark(Tag::After, QStringLiteral("junta limpia"), "b_foto.bmp", 12),
              mark(Tag::None, QStringLiteral("foto perdida"), "gone_foto.bmp", 20)})
            observations += observationCsvRow(o).toUtf8();
        write(dir.filePath(observationsFile), observations);
    }
};

} // namespace

TEST(ReportNames, RecordingStartComesFromItsName) {
    EXPECT_EQ(startFromName(QStringLiteral("Obra_2026-12-09_10-01-02_video.avi")),
              QDateTime(QDate(2026, 12, 9), QTime(10, 1, 2)));
    EXPECT_EQ(startFromName(QStringLiteral("Obra_2026-12-09_10-01-02-3_video.avi")),
              QDateTime(QDate(2026, 12, 9), QTime(10, 1, 2)));
    EXPECT_FALSE(startFromName(QStringLiteral("Obra_2026-12-09_25-01-02_video.avi")));
    EXPECT_FALSE(startFromName(QStringLiteral("00417video.avi")));
}

TEST_F(ReportFolder, FolderReadsIntoRecordingsAndObservations) {
    const JobRecord job = readJobFolder(folder);
    EXPECT_EQ(job.name, QStringLiteral("Obra <Sur> & tramo"));
    ASSERT_EQ(job.recordings.size(), 2u);
    EXPECT_EQ(job.recordings[0].seconds, 7);
    EXPECT_EQ(job.recordings[0].frames, 70u) << "the main header without an OpenDML total";
    EXPECT_EQ(job.recordings[1].frames, 5000u) << "the OpenDML total comes first";
    EXPECT_EQ(job.recordings[1].start, start.addSecs(600));
    EXPECT_EQ(job.skippedRows, 1);
    ASSERT_EQ(job.observations.size(), 4u);
    EXPECT_TRUE(job.observations[3].picture.isEmpty()) << "its picture is not there";
    EXPECT_EQ(job.start, start);
    EXPECT_EQ(job.end, start.addSecs(20 * 60)) << "the last observation ends the job";
}

TEST_F(ReportFolder, HtmlShowsEverythingEscapedAndPairsBeforeWithAfter) {
    const QString html = reportHtml(readJobFolder(folder));
    EXPECT_TRUE(html.contains(QStringLiteral("Obra &lt;Sur&gt; &amp; tramo")));
    EXPECT_TRUE(html.contains(QStringLiteral("codo &lt;sin&gt; marca")));
    EXPECT_TRUE(html.contains(QStringLiteral("Obra-Sur-tramo_2026-12-09_10-10-00-2_video.avi")));
    EXPECT_TRUE(html.contains(QStringLiteral("<td>0:00:07</td><td>70</td>")));
    EXPECT_TRUE(html.contains(QStringLiteral("Duración</b></td><td>0:20:00")));
    EXPECT_FALSE(html.contains(QStringLiteral("gone_foto.bmp")));
    const qsizetype pairs = html.indexOf(QStringLiteral("Antes y después"));
    ASSERT_GE(pairs, 0);
    EXPECT_GT(html.indexOf(QStringLiteral("grieta en la junta")), pairs);
    EXPECT_GT(html.indexOf(QStringLiteral("junta limpia")), pairs);
    EXPECT_LT(html.indexOf(QStringLiteral("codo &lt;sin&gt; marca")), pairs);
    EXPECT_EQ(html.count(QStringLiteral("<img ")), 4) << "three pictures and the chart";
}

TEST_F(ReportFolder, ChartDrawsEachValueAtItsHeight) {
    const JobRecord job = readJobFolder(folder);
    const QImage chart = drawChart(job);
    // Temperature 30 of 60 and humidity 60 of 100, in the plot area of 110..1490 x 50..520.
    // The first recording runs 10:01:01..10:01:07 of the 20 minutes: x about 110 + 1380 * 64 /
    // 1200.
    const double x = 110 + 1380.0 * 64 / 1200;
    EXPECT_EQ(colourAt(chart, 30.0 / 60, x), QStringLiteral("red"));
    EXPECT_EQ(colourAt(chart, 60.0 / 100, x), QStringLiteral("blue"));
    EXPECT_EQ(colourAt(chart, 45.0 / 60, x), QString());
}

TEST(ReportChart, AReadingOutsideTheUsualRangeWidensTheScale) {
    const QImage hot = drawChart(tenSeconds(QStringLiteral("75")));
    EXPECT_EQ(colourAt(hot, 75.0 / 80, 800), QStringLiteral("red"));
    const QImage usual = drawChart(tenSeconds(QStringLiteral("59")));
    EXPECT_EQ(colourAt(usual, 59.0 / 60, 800), QStringLiteral("red"));
    const QImage cold = drawChart(tenSeconds(QStringLiteral("-5")));
    EXPECT_EQ(colourAt(cold, 15.0 / 80, 800), QStringLiteral("red")) << "-20..60";
}

TEST(ReportChart, ReadingsNoSensorGivesAreLeftOut) {
    const QImage chart = drawChart(tenSeconds(QStringLiteral("5000")));
    for (int step = 1; step <= 50; ++step)
        EXPECT_NE(colourAt(chart, step / 50.0, 800), QStringLiteral("red")) << step;
}

TEST_F(ReportFolder, FilesAreWrittenAndTheHtmlReferencesOnlyFilesThatExist) {
    const ReportOutcome outcome = writeReportFiles(folder);
    ASSERT_TRUE(outcome.written) << outcome.failure.toStdString();
    EXPECT_EQ(outcome.message(), QStringLiteral("Informe escrito: ") + dir.filePath(reportPdfFile));
    QFile pdf(dir.filePath(reportPdfFile));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5) == "%PDF-");
    QFile html(dir.filePath(reportHtmlFile));
    ASSERT_TRUE(html.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(html.readAll());
    static const QRegularExpression source(QStringLiteral("src=\"([^\"]+)\""));
    int references = 0;
    for (auto it = source.globalMatch(text); it.hasNext(); ++references)
        EXPECT_TRUE(QFile::exists(dir.filePath(it.next().captured(1))));
    EXPECT_EQ(references, 4);
}

TEST(Report, AFolderThatIsNotThereIsAFailure) {
    const ReportOutcome outcome = writeReportFiles(QStringLiteral("/nonexistent/job"));
    EXPECT_FALSE(outcome.written);
    EXPECT_TRUE(outcome.message().startsWith(QStringLiteral("Informe no escrito: ")));
}

TEST(Report, AnEmptyJobStillGetsItsReport) {
    QTemporaryDir root;
    const QString folder = JobFolder::open(QStringLiteral("Vacío"), root.path(), start)->path();
    ASSERT_TRUE(writeReportFiles(folder).written);
    const QString html = reportHtml(readJobFolder(folder));
    EXPECT_TRUE(html.contains(QStringLiteral("Ninguna grabación.")));
    EXPECT_TRUE(html.contains(QStringLiteral("Ninguna observación.")));
}
