#include "job/Report.h"
#include "job/JobFolder.h"
#include "tests/video/VideoFiles.h"
#include "video/AviFile.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtEndian>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <thread>

#include <gtest/gtest.h>

using namespace job;

namespace {

const QDateTime start(QDate(2026, 12, 9), QTime(10, 0, 0));

void write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// A recording as the recorder writes it: `frames` small frames, 100 ms apart.
void writeRecording(const QString& path, int frames) {
    auto writer = video::OpenVideoWriter(QFile::encodeName(path).toStdString(), 100);
    ASSERT_TRUE(writer);
    const std::vector<std::uint8_t> pixels(video::dibRowSize(8, 24) * 8, 0x55);
    const video::DibSection dib{8, 8, 1, 24, pixels.data(), pixels.size()};
    for (int i = 0; i < frames; ++i)
        ASSERT_EQ(video::AddVideoFrame(writer.get(), &dib), video::AVIERR_OK);
    ASSERT_EQ(video::CloseVideoWriter(std::move(writer)), video::AVIERR_OK);
}

// Every recording's frames in the report are those an independent reader decodes.
void expectFramesAsFfprobe(const JobRecord& record) {
    for (const RecordingSummary& r : record.recordings) {
        const auto path = QFile::encodeName(QDir(record.folder).filePath(r.file)).toStdString();
        EXPECT_EQ(r.frames, video_test::decodedFrameCount(path)) << r.file.toStdString();
    }
}

QByteArray table(const QDateTime& from, int seconds, int temperature) {
    QByteArray csv = trackCsvHeader().toUtf8();
    for (int s = 1; s <= seconds; ++s) {
        Reading r;
        r.time = from.time().addSecs(s);
        if (s != 2)
            r.temperature = temperature;
        r.humidity = 60;
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
JobRecord tenSeconds(double temperature) {
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
        writeRecording(dir.filePath(first), 70);
        write(dir.filePath(first).chopped(4) + ".csv", table(start.addSecs(60), 7, 30));
        writeRecording(dir.filePath(second), 5000);
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
    EXPECT_EQ(job.recordings[0].frames, 70u);
    EXPECT_EQ(job.recordings[1].frames, 5000u);
    expectFramesAsFfprobe(job);
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
    const QImage hot = drawChart(tenSeconds(75));
    EXPECT_EQ(colourAt(hot, 75.0 / 80, 800), QStringLiteral("red"));
    const QImage usual = drawChart(tenSeconds(59));
    EXPECT_EQ(colourAt(usual, 59.0 / 60, 800), QStringLiteral("red"));
    const QImage cold = drawChart(tenSeconds(-5));
    EXPECT_EQ(colourAt(cold, 15.0 / 80, 800), QStringLiteral("red")) << "-20..60";
}

TEST(ReportChart, ReadingsNoSensorGivesAreLeftOut) {
    const QImage chart = drawChart(tenSeconds(5000));
    for (int step = 1; step <= 50; ++step)
        EXPECT_NE(colourAt(chart, step / 50.0, 800), QStringLiteral("red")) << step;
}

TEST_F(ReportFolder, FilesAreWrittenAndTheHtmlHoldsItsPictures) {
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
        EXPECT_TRUE(it.next().captured(1).startsWith(QStringLiteral("data:image/")));
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

namespace {

// A job folder with nothing but its job file, and what the tests put in it.
struct EmptyJob {
    QTemporaryDir root;
    QString folder = JobFolder::open(QStringLiteral("Obra"), root.path(), start)->path();
    QDir dir{folder};

    QString path(const QString& name) const { return dir.filePath(name); }
    void observe(const std::vector<Observation>& observations) const {
        QByteArray csv = observationsCsvHeader().toUtf8();
        for (const Observation& o : observations)
            csv += observationCsvRow(o).toUtf8();
        write(path(observationsFile), csv);
    }
};

void savePicture(const QString& path) {
    QImage picture(16, 12, QImage::Format_RGB888);
    picture.fill(Qt::darkGreen);
    ASSERT_TRUE(picture.save(path, "BMP"));
}

// Runs the report in a child process, so that a report that hangs fails the test instead of
// hanging it; the child's exit status, or nothing when it was not done by the deadline.
std::optional<int> reportWithin(const QString& folder, std::chrono::seconds deadline) {
    const pid_t child = fork();
    if (child == 0)
        _exit(writeReportFiles(folder).exitStatus());
    const auto end = std::chrono::steady_clock::now() + deadline;
    int status = 0;
    while (std::chrono::steady_clock::now() < end) {
        const pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child)
            return WIFEXITED(status) ? std::optional<int>(WEXITSTATUS(status)) : std::nullopt;
        if (done < 0)
            return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    return std::nullopt;
}

} // namespace

TEST(ReportPictures, OnlyRegularPicturesOfTheFolderAreShownAndTheRestAreReported) {
    EmptyJob job;
    QTemporaryDir elsewhere;
    savePicture(elsewhere.filePath(QStringLiteral("ajena.bmp")));
    savePicture(job.root.filePath(QStringLiteral("ajena.bmp")));
    savePicture(job.path(QStringLiteral("propia.bmp")));
    write(job.path(QStringLiteral("texto.bmp")), "no es una imagen");
    QByteArray large(3000, '\0');
    write(job.path(QStringLiteral("grande.bmp")), large);
    write(job.path(QStringLiteral("justa.bmp")), QByteArray(2999, '\0'));
    ASSERT_EQ(mkfifo(QFile::encodeName(job.path(QStringLiteral("fifo.bmp"))).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), job.path(QStringLiteral("cero.bmp"))));
    ASSERT_TRUE(QFile::link(elsewhere.filePath(QStringLiteral("ajena.bmp")),
                            job.path(QStringLiteral("fuera.bmp"))));
    ASSERT_TRUE(QFile::link(job.path(QStringLiteral("propia.bmp")),
                            job.path(QStringLiteral("enlace.bmp"))));
    const struct {
        const char* picture;
        const char* refusal; // empty: shown
    } cases[] = {
        {"propia.bmp", ""},
        {"enlace.bmp", ""},
        {"fifo.bmp", "no es un archivo normal"},
        {"cero.bmp", "fuera de la carpeta del trabajo"},
        {"fuera.bmp", "fuera de la carpeta del trabajo"},
        {"../ajena.bmp", "fuera de la carpeta del trabajo"},
        {"grande.bmp", "más de 0 MB"},
        {"justa.bmp", "no es una imagen"},
        {"texto.bmp", "no es una imagen"},
    };
    std::vector<Observation> observations;
    for (const auto& c : cases)
        observations.push_back(mark(Tag::None, QStringLiteral("nota"), c.picture, 1));
    job.observe(observations);
    ReportLimits limits;
    limits.largestPicture = 2999;
    const JobRecord record = readJobFolder(job.folder, limits);
    ASSERT_EQ(record.observations.size(), std::size(cases));
    const QString html = reportHtml(record);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const QString picture = QString::fromUtf8(cases[i].picture);
        const QString refusal = QString::fromUtf8(cases[i].refusal);
        EXPECT_EQ(record.pictureRefusals[i], refusal) << cases[i].picture;
        EXPECT_EQ(html.contains(QStringLiteral("alt=\"%1\"").arg(picture)), refusal.isEmpty())
            << cases[i].picture;
        if (!refusal.isEmpty()) {
            EXPECT_TRUE(html.contains(picture.toHtmlEscaped() + QStringLiteral(" (") + refusal))
                << cases[i].picture;
        }
    }
    ASSERT_EQ(record.leftOut.size(), 1);
    EXPECT_TRUE(record.leftOut[0].startsWith(
        QStringLiteral("Fotos rechazadas: fifo.bmp (no es un archivo normal), cero.bmp")));
    EXPECT_TRUE(record.leftOut[0].endsWith(QStringLiteral(" y 2 más")));
}

TEST(ReportPictures, AFifoOrALinkToADeviceNeverHoldsTheReport) {
    EmptyJob job;
    ASSERT_EQ(mkfifo(QFile::encodeName(job.path(QStringLiteral("fifo.bmp"))).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), job.path(QStringLiteral("cero.bmp"))));
    job.observe({mark(Tag::Before, QStringLiteral("a"), QStringLiteral("fifo.bmp"), 1),
                 mark(Tag::After, QStringLiteral("b"), QStringLiteral("cero.bmp"), 2)});
    EXPECT_EQ(reportWithin(job.folder, std::chrono::seconds(5)), 2)
        << "written, with the two pictures left out";
    QFile html(job.path(reportHtmlFile));
    ASSERT_TRUE(html.open(QIODevice::ReadOnly));
    EXPECT_TRUE(html.readAll().contains("Fotos rechazadas: fifo.bmp"));
}

TEST(ReportLimits, AnObservationListTooLargeIsReportedAndTheReportIsIncomplete) {
    EmptyJob job;
    QByteArray csv = observationsCsvHeader().toUtf8();
    const QByteArray row =
        observationCsvRow(mark(Tag::None, QString(400, QLatin1Char('x')), {}, 1)).toUtf8();
    csv.reserve(70 * 1024 * 1024 + row.size());
    while (csv.size() < 70 * 1024 * 1024)
        csv += row;
    write(job.path(observationsFile), csv);
    const ReportOutcome outcome = writeReportFiles(job.folder);
    ASSERT_TRUE(outcome.written);
    const QString omission =
        QStringLiteral("Observaciones ilegibles: observations.csv (más de 64 MB)");
    EXPECT_TRUE(outcome.message().contains(omission)) << outcome.message().toStdString();
    EXPECT_EQ(outcome.exitStatus(), 2);
    QFile html(job.path(reportHtmlFile));
    ASSERT_TRUE(html.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(html.readAll()).contains(omission));
}

TEST(ReportLimits, EachBoundLeavesOutOnlyWhatIsBeyondIt) {
    EmptyJob job;
    job.observe({mark(Tag::None, QStringLiteral("a"), {}, 1),
                 mark(Tag::None, QStringLiteral("b"), {}, 2),
                 mark(Tag::None, QStringLiteral("c"), {}, 30)});
    const qint64 size = QFileInfo(job.path(observationsFile)).size();
    const struct {
        qint64 largestTable;
        std::size_t mostShown;
        std::size_t shown;
        const char* leftOut;
    } cases[] = {
        {size, 3, 3, ""},
        {size - 1, 3, 0, "Observaciones ilegibles: observations.csv (más de 0 MB)"},
        {size, 2, 2, "Observaciones no incluidas: 1 (el informe muestra las primeras 2)"},
    };
    for (const auto& c : cases) {
        ReportLimits limits;
        limits.largestTable = c.largestTable;
        limits.mostShown = c.mostShown;
        const JobRecord record = readJobFolder(job.folder, limits);
        EXPECT_EQ(record.observations.size(), c.shown) << c.leftOut;
        EXPECT_EQ(record.leftOut.join(';'), QString::fromUtf8(c.leftOut));
        if (c.shown > 0) {
            EXPECT_EQ(record.end, start.addSecs(30 * 60)) << "every observation read spans the job";
        }
        const ReportOutcome outcome = writeReportFiles(job.folder, limits);
        EXPECT_EQ(outcome.exitStatus(), *c.leftOut ? 2 : 0) << c.leftOut;
    }
}

namespace {

constexpr int smallFrameBytes = 8 * 8 * 3;

// An AVI of small frames as the recorder writes it: `indexed` frames indexed, then
// `unindexed` more, as a console killed before its next index leaves it.
void recordFrames(const QString& path, std::uint32_t indexed, std::uint32_t unindexed,
                  video::AviLimits limits = {}) {
    auto file = video::AviFile::create(QFile::encodeName(path).toStdString(), limits);
    ASSERT_TRUE(file);
    ASSERT_EQ(
        file->begin({.width = 8, .height = 8, .framePeriodMs = 100, .imageSize = smallFrameBytes}),
        video::AVIERR_OK);
    const std::vector<std::uint8_t> frame(smallFrameBytes, 0x55);
    for (std::uint32_t i = 0; i < indexed + unindexed; ++i) {
        ASSERT_EQ(file->writeFrame(frame), video::AVIERR_OK);
        if (i + 1 == indexed) {
            ASSERT_EQ(file->writeIndex(), video::AVIERR_OK);
        }
    }
}

// Track rows for seconds 1..seconds of video, second s at `wall(s)` seconds after `from`.
QByteArray trackRows(const QDateTime& from, int seconds, int (*wall)(int)) {
    QByteArray csv = trackCsvHeader().toUtf8();
    for (int s = 1; s <= seconds; ++s) {
        Reading r;
        r.time = from.time().addSecs(wall(s));
        csv += trackCsvRow(s, r).toUtf8();
    }
    return csv;
}

} // namespace

TEST(ReportRecordings, FramesAreThoseTheFileHoldsWhateverItsHeadersSay) {
    EmptyJob job;
    const QString name = QStringLiteral("Obra_2026-12-09_10-01-00_video.avi");
    const struct {
        const char* what;
        std::uint32_t indexed;
        std::uint32_t unindexed;
        qint64 cut; // bytes cut off the end
        std::uint32_t frames;
    } cases[] = {
        {"indexed to the end", 51, 0, 0, 51},
        {"cut off before its last index", 27, 24, 0, 51},
        {"cut off inside its last frame", 27, 24, 5, 50},
    };
    for (const auto& c : cases) {
        QFile::remove(job.path(name));
        recordFrames(job.path(name), c.indexed, c.unindexed);
        const qint64 size = QFileInfo(job.path(name)).size();
        ASSERT_TRUE(QFile::resize(job.path(name), size - c.cut));
        const JobRecord record = readJobFolder(job.folder);
        ASSERT_EQ(record.recordings.size(), 1u);
        EXPECT_EQ(record.recordings[0].frames, c.frames) << c.what;
        expectFramesAsFfprobe(record);
    }
    // Over several RIFFs: five of four frames each.
    QFile::remove(job.path(name));
    recordFrames(job.path(name), 20, 0, {.riffBytes = 4 * (smallFrameBytes + 8)});
    const JobRecord riffs = readJobFolder(job.folder);
    EXPECT_EQ(riffs.recordings[0].frames, 20u);
    expectFramesAsFfprobe(riffs);
}

TEST(ReportRecordings, DurationsAreWallTimeFromTheTracksAndTheJobSpansThemAll) {
    EmptyJob job;
    // 130 frames of 100 ms: 13 s of video. The first camera gave two frames per declared
    // period (6 s of wall time), the second one frame per two periods (26 s).
    const QString fast = QStringLiteral("Obra_2026-12-09_10-01-00_video.avi");
    const QString slow = QStringLiteral("Obra_2026-12-09_10-05-00_video.avi");
    recordFrames(job.path(fast), 130, 0);
    recordFrames(job.path(slow), 130, 0);
    write(job.path(fast).chopped(4) + ".csv",
          trackRows(start.addSecs(60), 13, [](int s) { return (s - 1) / 2; }));
    write(job.path(slow).chopped(4) + ".csv",
          trackRows(start.addSecs(300), 13, [](int s) { return 2 * s; }));
    const JobRecord record = readJobFolder(job.folder);
    ASSERT_EQ(record.recordings.size(), 2u);
    expectFramesAsFfprobe(record);
    EXPECT_EQ(record.recordings[0].seconds, 7) << "13 s of video in 6.5 s";
    EXPECT_EQ(record.recordings[1].seconds, 26) << "13 s of video in 26 s";
    EXPECT_EQ(record.start, start) << "the job's own start comes first";
    EXPECT_EQ(record.end, start.addSecs(300 + 26)) << "the end of the last recording";
    for (const RecordingSummary& r : record.recordings) {
        EXPECT_GE(r.start, record.start);
        EXPECT_LE(r.start.addSecs(r.seconds), record.end);
    }
    const QString html = reportHtml(record);
    EXPECT_TRUE(html.contains(QStringLiteral("<td>0:00:07</td><td>130</td>")));
    EXPECT_TRUE(html.contains(QStringLiteral("<td>0:00:26</td><td>130</td>")));
    EXPECT_TRUE(html.contains(QStringLiteral("Duración</b></td><td>0:05:26")));
}

TEST(ReportRecordings, RowsNoCameraCouldGiveDoNotStretchARecordingWithoutBound) {
    // 20 frames of 100 ms: 2 s of video, its two rows a second of video apart.
    const struct {
        int wallBetweenRows;
        int seconds;
    } cases[] = {{1000, 2000}, {1500, 2000}, {0, 0}};
    for (const auto& c : cases) {
        EmptyJob job;
        const QString name = QStringLiteral("Obra_2026-12-09_10-01-00_video.avi");
        recordFrames(job.path(name), 20, 0);
        QByteArray csv = trackCsvHeader().toUtf8();
        for (int s = 1; s <= 2; ++s) {
            Reading r;
            r.time = QTime(10, 1, 0).addSecs((s - 1) * c.wallBetweenRows);
            csv += trackCsvRow(s, r).toUtf8();
        }
        write(job.path(name).chopped(4) + ".csv", csv);
        const JobRecord record = readJobFolder(job.folder);
        EXPECT_EQ(record.recordings[0].seconds, c.seconds) << c.wallBetweenRows;
        expectFramesAsFfprobe(record);
    }
}

TEST(ReportRecordings, GarbledHeadersGiveFramesAndDurationsTheFileAndRowsBackUp) {
    const QString name = QStringLiteral("Obra_2026-12-09_10-01-00_video.avi");
    // The 32 bits `offset` bytes after the first `code` of the file.
    struct Patch {
        const char* code;
        int offset;
        quint32 value;
    };
    const Patch hugeList{"hdrl", -4, 0xFFFFFFF0};
    const Patch noStreamRate{"strh", 32, 0};
    // 30 frames of 100 ms: 3 s of video; its rows count 5 s of video, a second of wall time each.
    const struct {
        const char* what;
        std::vector<Patch> patches;
        std::optional<std::uint32_t> frames;
        int seconds;
        const char* duration;
        bool cutBeforeFrames = false;
    } cases[] = {
        {"as written", {}, 30, 3, "0:00:03"},
        {"a header list larger than any", {hugeList}, std::nullopt, 5, "0:00:05"},
        {"a huge OpenDML total", {{"dmlh", 8, 0xFFFFFFFF}}, 30, 3, "0:00:03"},
        {"a stream rate no camera has, the main header's period",
         {{"strh", 28, 0xFFFFFFFF}, {"strh", 32, 1}},
         30,
         3,
         "0:00:03"},
        {"a huge frame period and no stream rate",
         {noStreamRate, {"avih", 8, 0xFFFFFFFF}},
         30,
         5,
         "0:00:05"},
        {"a frame period too short and no stream rate",
         {noStreamRate, {"avih", 8, 1}},
         30,
         5,
         "0:00:05"},
        {"a stream rate too fast and no frame period",
         {{"strh", 28, 1}, {"strh", 32, 0xFFFFFFFF}, {"avih", 8, 0}},
         30,
         5,
         "0:00:05"},
        {"frames declared without end, 50 minutes each, and none there: a year at most",
         {noStreamRate, {"avih", 8, 3'000'000'000}, {"dmlh", 8, 0xFFFFFFFF}},
         0xFFFFFFFF,
         366 * 24 * 3600,
         "8784:00:00",
         true},
    };
    for (const auto& c : cases) {
        EmptyJob job;
        writeRecording(job.path(name), 30);
        write(job.path(name).chopped(4) + ".csv",
              trackRows(start.addSecs(60), 5, [](int s) { return s; }));
        QFile file(job.path(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        QByteArray bytes = file.readAll();
        file.close();
        for (const Patch& patch : c.patches) {
            const qsizetype at = bytes.indexOf(patch.code) + patch.offset;
            ASSERT_GT(at, 0) << c.what;
            qToLittleEndian<quint32>(patch.value, bytes.data() + at);
        }
        if (c.cutBeforeFrames)
            bytes.truncate(bytes.indexOf("movi") - 8);
        write(job.path(name), bytes);
        const JobRecord record = readJobFolder(job.folder);
        ASSERT_EQ(record.recordings.size(), 1u);
        EXPECT_EQ(record.recordings[0].frames, c.frames) << c.what;
        EXPECT_EQ(record.recordings[0].seconds, c.seconds) << c.what;
        EXPECT_TRUE(reportHtml(record).contains(
            QStringLiteral("<td>%1</td><td>%2</td>")
                .arg(QString::fromLatin1(c.duration),
                     c.frames ? QString::number(*c.frames) : QStringLiteral("--"))))
            << c.what;
    }
}

namespace {

// The text of a PDF as pdftotext reads it.
QString pdfText(const QString& pdf) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"),
                  {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
    EXPECT_TRUE(process.waitForFinished(120'000)) << "pdftotext (poppler-utils) ran";
    return QString::fromUtf8(process.readAllStandardOutput()).simplified();
}

QString readText(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return QString::fromUtf8(file.readAll());
}

} // namespace

TEST(ReportDetails, AJobWrittenBeforeLocationsAndFindingsReportsAsItAlwaysDid) {
    QTemporaryDir root;
    const QString older = root.filePath(QStringLiteral("older"));
    const QString newer = root.filePath(QStringLiteral("newer"));
    const QByteArray rows =
        "2026-12-09T10:02:00,,,31,67,avance,80,40,sí,antes,,\"grieta, <norte>\"\n"
        "2026-12-09T10:12:00,,,30,60,parado,0,40,no,después,,junta limpia\n";
    const QByteArray jobFile = "[General]\ninicio=2026-12-09T10:00:00\nnombre=Obra\n";
    for (const QString& folder : {older, newer}) {
        ASSERT_TRUE(QDir().mkpath(folder));
        write(QDir(folder).filePath(jobInfoFile), jobFile);
    }
    write(QDir(older).filePath(observationsFile),
          "fecha_hora,grabacion,segundo,temperatura_c,humedad_pct,marcha,velocidad_pct,"
          "luces_pct,motor_limpieza,etiqueta,foto,nota\n" +
              rows);
    QByteArray rewritten = observationsCsvHeader().toUtf8();
    for (const Observation& o :
         parseObservations(observationsCsvHeader() + QString::fromUtf8(rows)).observations)
        rewritten += observationCsvRow(o).toUtf8();
    write(QDir(newer).filePath(observationsFile), rewritten);

    const ReportOutcome outcome = writeReportFiles(older);
    ASSERT_TRUE(outcome.written) << outcome.failure.toStdString();
    EXPECT_EQ(outcome.exitStatus(), 0);
    const JobRecord record = readJobFolder(older);
    EXPECT_EQ(record.skippedRows, 0);
    ASSERT_EQ(record.observations.size(), 2u);
    const QString html = readText(QDir(older).filePath(reportHtmlFile));
    EXPECT_TRUE(html.contains(QStringLiteral("grieta, &lt;norte&gt;")));
    EXPECT_TRUE(html.contains(QStringLiteral("Antes y después")));
    for (const char* label : {"Cliente", "Dirección", "Operador", "Robot", "Número de serie",
                              "Ubicación", "Hallazgo", "Gravedad"})
        EXPECT_FALSE(html.contains(QString::fromUtf8(label))) << label;
    EXPECT_EQ(
        html,
        reportHtml(readJobFolder(newer)).replace(QStringLiteral("newer"), QStringLiteral("older")))
        << "the rows written anew without the new fields make the same report";
}

TEST(ReportDetails, JobDetailsLocationsAndFindingsShowAsTextInBothReports) {
    QTemporaryDir root;
    const JobDetails details{QStringLiteral("<i>Hotel</i> \"Sol\", S.A."),
                             QStringLiteral("=Calle Mayor & 5"), QStringLiteral("@ana"),
                             QStringLiteral("+Marlo 3"), QStringLiteral("-SN<42>")};
    const auto opened =
        JobFolder::open(QStringLiteral("Obra"), root.path(), start, platform::localDisk(), details);
    ASSERT_TRUE(opened);
    const QString folder = opened->path();
    Observation o = mark(Tag::None, QStringLiteral("=nota, \"con\" <b>marca</b>"), {}, 3);
    o.location = QStringLiteral("@Planta 2, <impulsión>\ntramo 3");
    o.finding = Finding::Growth;
    o.severity = 3;
    write(QDir(folder).filePath(observationsFile),
          (observationsCsvHeader() + observationCsvRow(o)).toUtf8());

    const ReportOutcome outcome = writeReportFiles(folder);
    ASSERT_TRUE(outcome.written) << outcome.failure.toStdString();
    const QString html = readText(QDir(folder).filePath(reportHtmlFile));
    for (const char* shown :
         {"<b>Cliente</b></td><td>&lt;i&gt;Hotel&lt;/i&gt; &quot;Sol&quot;, S.A.</td>",
          "<b>Dirección</b></td><td>=Calle Mayor &amp; 5</td>", "<b>Operador</b></td><td>@ana</td>",
          "<b>Robot</b></td><td>+Marlo 3</td>", "<b>Número de serie</b></td><td>-SN&lt;42&gt;</td>",
          "=nota, &quot;con&quot; &lt;b&gt;marca&lt;/b&gt;",
          "Ubicación: @Planta 2, &lt;impulsión&gt;\ntramo 3",
          "Hallazgo: Crecimiento biológico &middot; Gravedad: 3"})
        EXPECT_TRUE(html.contains(QString::fromUtf8(shown))) << shown;
    EXPECT_FALSE(html.contains(QStringLiteral("<i>Hotel")));
    EXPECT_FALSE(html.contains(QStringLiteral("<impulsión>")));
    EXPECT_LT(html.indexOf(QStringLiteral("Cliente")), html.indexOf(QStringLiteral("Grabaciones")))
        << "near the top";

    const QString pdf = pdfText(QDir(folder).filePath(reportPdfFile));
    for (const char* shown :
         {"Cliente <i>Hotel</i> \"Sol\", S.A.", "Dirección =Calle Mayor & 5", "Operador @ana",
          "Robot +Marlo 3", "Número de serie -SN<42>", "=nota, \"con\" <b>marca</b>",
          "Ubicación: @Planta 2, <impulsión> tramo 3",
          "Hallazgo: Crecimiento biológico · Gravedad: 3"})
        EXPECT_TRUE(pdf.contains(QString::fromUtf8(shown))) << shown << "\n" << pdf.toStdString();
}

namespace {

// What a poppler tool prints about a PDF.
QString popplerOutput(const QString& tool, QStringList arguments) {
    QProcess process;
    process.start(tool, arguments);
    EXPECT_TRUE(process.waitForFinished(120'000)) << tool.toStdString() << " (poppler-utils) ran";
    return QString::fromUtf8(process.readAllStandardOutput());
}

int pdfPages(const QString& pdf) {
    static const QRegularExpression pages(QStringLiteral("^Pages:\\s+(\\d+)$"),
                                          QRegularExpression::MultilineOption);
    return pages.match(popplerOutput(QStringLiteral("pdfinfo"), {pdf})).captured(1).toInt();
}

// The text of one page as pdftotext reads it: in the order it was drawn with "-raw", as
// words with their boxes with "-bbox".
QString pdfPageText(const QString& pdf, int page, const QString& how = QStringLiteral("-nopgbrk")) {
    return popplerOutput(QStringLiteral("pdftotext"),
                         {how, QStringLiteral("-enc"), QStringLiteral("UTF-8"),
                          QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                          QString::number(page), pdf, QStringLiteral("-")})
        .simplified();
}

// Where a word is drawn on an A4 page, top and bottom in points from the top; the first time.
std::pair<double, double> wordHeight(const QString& bbox, const QString& word) {
    const QRegularExpression box(QStringLiteral("yMin=\"([0-9.]+)\"[^>]*yMax=\"([0-9.]+)\">%1<")
                                     .arg(QRegularExpression::escape(word)));
    const QRegularExpressionMatch m = box.match(bbox);
    EXPECT_TRUE(m.hasMatch()) << word.toStdString();
    return {m.captured(1).toDouble(), m.captured(2).toDouble()};
}

Observation placed(Tag tag, const QString& location, Finding finding, int minute,
                   const QString& picture = {}) {
    Observation o = mark(tag, QStringLiteral("nota %1").arg(minute), picture, minute);
    o.location = location;
    o.finding = finding;
    o.severity = finding == Finding::None ? 0 : 2;
    return o;
}

void savePicture(const QString& path, QColor colour, QSize size = {64, 48}) {
    QImage picture(size, QImage::Format_RGB888);
    picture.fill(colour);
    ASSERT_TRUE(picture.save(path));
}

} // namespace

TEST(ReportPages, EveryPageHasTheJobAndDateAboveAndItsNumberOfAllBelow) {
    const struct {
        const char* what;
        int observations;
        int pictured;
    } cases[] = {
        {"an empty job", 0, 0},
        {"a few observations", 3, 3},
        {"observations over many pages", 30, 24},
    };
    for (const auto& c : cases) {
        EmptyJob job;
        std::vector<Observation> observations;
        for (int i = 0; i < c.observations; ++i) {
            const QString picture = i < c.pictured ? QStringLiteral("p%1.png").arg(i) : QString();
            if (!picture.isEmpty())
                savePicture(job.path(picture), Qt::darkCyan, {352, 288});
            observations.push_back(placed(i % 2 ? Tag::After : Tag::Before,
                                          QStringLiteral("Tramo %1").arg(i / 4), Finding::Dust,
                                          i + 1, picture));
        }
        job.observe(observations);
        ASSERT_TRUE(writeReportFiles(job.folder).written) << c.what;
        const QString pdf = job.path(reportPdfFile);
        const int pages = pdfPages(pdf);
        ASSERT_GE(pages, 2) << c.what << ": the cover and the rest";
        // Drawn first on each page, the header in the top 20 mm and the footer in the bottom
        // 18 mm, outside the body.
        for (int page = 1; page <= pages; ++page) {
            const QString frame =
                QStringLiteral("Obra 09/12/2026 Página %1 de %2 ").arg(page).arg(pages);
            EXPECT_EQ(
                pdfPageText(pdf, page, QStringLiteral("-raw")).left(frame.size()).toStdString(),
                frame.toStdString())
                << c.what << ", page " << page;
            const QString bbox = pdfPageText(pdf, page, QStringLiteral("-bbox"));
            EXPECT_LT(wordHeight(bbox, QStringLiteral("Obra")).second, 56.7) << c.what << page;
            EXPECT_GT(wordHeight(bbox, QStringLiteral("Página")).first, 842 - 51.1)
                << c.what << page;
        }
        if (c.observations > 10) {
            EXPECT_GT(pages, 6) << c.what << ": pictures over many pages";
        }
        const QString all = pdfText(pdf);
        for (int i = 1; i <= c.observations; ++i)
            EXPECT_TRUE(all.contains(QRegularExpression(QStringLiteral("nota %1\\b").arg(i))))
                << c.what << ": observation " << i << " is printed, none cut off";
    }
}

TEST(ReportPages, ThePdfIsPdfA1b) {
    EmptyJob job;
    ASSERT_TRUE(writeReportFiles(job.folder).written);
    const QString meta = popplerOutput(QStringLiteral("pdfinfo"),
                                       {QStringLiteral("-meta"), job.path(reportPdfFile)});
    static const QRegularExpression part(QStringLiteral("pdfaid:part(?:>|=['\"])1(?:<|['\"])"));
    static const QRegularExpression conformance(
        QStringLiteral("pdfaid:conformance(?:>|=['\"])B(?:<|['\"])"));
    EXPECT_TRUE(part.match(meta).hasMatch()) << meta.toStdString();
    EXPECT_TRUE(conformance.match(meta).hasMatch()) << meta.toStdString();
}

TEST(ReportCover, SummaryCountsFindingsByKindAndByLocationAndPairsPerLocation) {
    EmptyJob job;
    // A location is the same whatever its spaces and case; a pair goes with its "antes", also
    // when it was matched by order with a "después" elsewhere.
    job.observe({placed(Tag::Before, QStringLiteral("Planta 2"), Finding::Dust, 1),
                 placed(Tag::None, QStringLiteral("Cubierta <norte>"), Finding::Grease, 2),
                 placed(Tag::After, QStringLiteral(" planta  2"), Finding::Clean, 3),
                 placed(Tag::Before, QStringLiteral("Cubierta <norte>"), Finding::Grease, 4),
                 placed(Tag::None, {}, Finding::Damage, 5),
                 placed(Tag::After, QStringLiteral("CUBIERTA <NORTE>"), Finding::Clean, 6),
                 placed(Tag::None, QStringLiteral("Planta 2"), Finding::Dust, 7),
                 placed(Tag::None, QStringLiteral("Sótano"), Finding::None, 8),
                 placed(Tag::Before, QStringLiteral("Pasillo"), Finding::Dust, 9),
                 placed(Tag::After, QStringLiteral("Escalera"), Finding::Clean, 10),
                 placed(Tag::None, QStringLiteral("Nivel %1 %2"), Finding::None, 11)});
    const QString html = reportHtml(readJobFolder(job.folder));
    const char* rows[] = {
        "<tr><td>Limpio</td><td>3</td></tr>",
        "<tr><td>Polvo</td><td>3</td></tr>",
        "<tr><td>Grasa</td><td>2</td></tr>",
        "<tr><td>Daño</td><td>1</td></tr>",
        "<tr><td>Planta 2</td><td>3</td><td>Limpio 1, Polvo 2</td><td>1</td></tr>",
        "<tr><td>Cubierta &lt;norte&gt;</td><td>3</td><td>Limpio 1, Grasa 2</td><td>1</td></tr>",
        "<tr><td>(sin ubicación)</td><td>1</td><td>Daño 1</td><td>0</td></tr>",
        "<tr><td>Sótano</td><td>1</td><td>-</td><td>0</td></tr>",
        "<tr><td>Pasillo</td><td>1</td><td>Polvo 1</td><td>1</td></tr>",
        "<tr><td>Escalera</td><td>1</td><td>Limpio 1</td><td>0</td></tr>",
        "<tr><td>Nivel %1 %2</td><td>1</td><td>-</td><td>0</td></tr>",
        "<p>Pares antes y después: 3</p>",
    };
    qsizetype last = 0;
    for (const char* row : rows) {
        const qsizetype at = html.indexOf(QString::fromUtf8(row));
        EXPECT_GT(at, last) << row << ": there, after the row before it";
        last = std::max(last, at);
    }
    for (const char* absent : {"<td>Residuos</td>", "<td>Otro</td>", "<td>Obstrucción</td>"})
        EXPECT_FALSE(html.contains(QString::fromUtf8(absent))) << absent;
    EXPECT_LT(last, html.indexOf(QStringLiteral("<h2>Grabaciones</h2>"))) << "all on the cover";
}

TEST(ReportCover, TheCoverIsTheFirstPageWithTheJobsFieldsAndSummary) {
    QTemporaryDir root;
    const JobDetails details{QStringLiteral("Hotel Sol"), QStringLiteral("Calle Mayor 5"),
                             QStringLiteral("Ana Ruiz"), QStringLiteral("Marlo 3"),
                             QStringLiteral("SN-42")};
    const QString folder =
        JobFolder::open(QStringLiteral("Obra"), root.path(), start, platform::localDisk(), details)
            ->path();
    write(QDir(folder).filePath(observationsFile),
          (observationsCsvHeader() +
           observationCsvRow(placed(Tag::None, QStringLiteral("Planta 2"), Finding::Debris, 90)))
              .toUtf8());
    ASSERT_TRUE(writeReportFiles(folder).written);
    const QString cover = pdfPageText(QDir(folder).filePath(reportPdfFile), 1);
    for (const char* shown : {"Trabajo Obra", "Cliente Hotel Sol", "Dirección Calle Mayor 5",
                              "Operador Ana Ruiz", "Robot Marlo 3", "Número de serie SN-42",
                              "Inicio 10:00:00", "Fin 11:30:00", "Duración 1:30:00", "Residuos 1",
                              "Planta 2 1 Residuos 1 0", "Pares antes y después: 0", "Página 1 de"})
        EXPECT_TRUE(cover.contains(QString::fromUtf8(shown))) << shown << "\n"
                                                              << cover.toStdString();
    EXPECT_FALSE(cover.contains(QStringLiteral("Grabaciones Ninguna"))) << "the rest follows";
}

TEST(ReportLogo, APictureIsOnTheCoverAndAnythingElseIsLeftOutAndSaidWhy) {
    QTemporaryDir logos;
    QTemporaryDir elsewhere;
    const QDir dir(logos.path());
    savePicture(dir.filePath(QStringLiteral("logo.png")), Qt::magenta, {40, 20});
    const qint64 size = QFileInfo(dir.filePath(QStringLiteral("logo.png"))).size();
    savePicture(dir.filePath(QStringLiteral("ancho.png")), Qt::magenta, {41, 10});
    savePicture(dir.filePath(QStringLiteral("justo.png")), Qt::magenta, {40, 40});
    write(dir.filePath(QStringLiteral("texto.png")), "<svg onload=\"alert(1)\"></svg>");
    savePicture(elsewhere.filePath(QStringLiteral("ajeno.png")), Qt::magenta);
    ASSERT_TRUE(QFile::link(elsewhere.filePath(QStringLiteral("ajeno.png")),
                            dir.filePath(QStringLiteral("enlace.png"))));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), dir.filePath(QStringLiteral("cero.png"))));
    ASSERT_EQ(mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("fifo.png"))).constData(), 0600),
              0);
    const struct {
        const char* file;
        qint64 largest;
        const char* refusal; // empty: shown
    } cases[] = {
        {"", size, nullptr},
        {"logo.png", size, ""},
        {"logo.png", size - 1, "más de 0 MB"},
        {"justo.png", 1024 * 1024, ""},
        {"ancho.png", 1024 * 1024, "más de 40 puntos de lado"},
        {"texto.png", size, "no es una imagen"},
        {"enlace.png", size, "un enlace fuera de su carpeta"},
        {"cero.png", size, "un enlace fuera de su carpeta"},
        {"fifo.png", size, "no es un archivo normal"},
        {"falta.png", size, "no existe"},
    };
    for (const auto& c : cases) {
        EmptyJob job;
        ReportLimits limits;
        limits.largestLogo = c.largest;
        limits.widestLogo = 40;
        const QString logo = *c.file ? dir.filePath(QString::fromUtf8(c.file)) : QString();
        const JobRecord record = readJobFolder(job.folder, limits, {.logo = logo});
        const bool shown = c.refusal && !*c.refusal;
        EXPECT_EQ(record.logo.isNull(), !shown) << c.file;
        if (shown) {
            EXPECT_EQ(record.logo.pixelColor(0, 0), QColor(Qt::magenta)) << c.file;
        }
        const QStringList refused = c.refusal && *c.refusal
                                        ? QStringList{QStringLiteral("Logotipo rechazado: %1 (%2)")
                                                          .arg(logo, QString::fromUtf8(c.refusal))}
                                        : QStringList{};
        EXPECT_EQ(record.leftOut.join(';').toStdString(), refused.join(';').toStdString())
            << c.file << " " << c.largest;
        const QString html = reportHtml(record);
        EXPECT_EQ(html.count(QStringLiteral("src=\"data:image/png;base64,")), shown ? 2 : 1)
            << c.file << ": the chart and the logo";
        const ReportOutcome outcome =
            writeReportFiles(job.folder, limits, platform::localDisk(), {.logo = logo});
        ASSERT_TRUE(outcome.written) << c.file;
        EXPECT_EQ(outcome.leftOut.join(';').toStdString(), refused.join(';').toStdString())
            << c.file;
    }
}

TEST_F(ReportFolder, TheHtmlHoldsEveryPictureAndReferencesNothingOutsideIt) {
    ASSERT_TRUE(writeReportFiles(folder).written);
    const QString html = readText(dir.filePath(reportHtmlFile));
    static const QRegularExpression reference(
        QStringLiteral("(?:src|href|srcset|data|action|poster)\\s*=\\s*\"([^\"]*)\"|url\\("),
        QRegularExpression::CaseInsensitiveOption);
    int pictures = 0;
    for (auto it = reference.globalMatch(html); it.hasNext();) {
        const QString value = it.next().captured(1);
        ASSERT_TRUE(value.startsWith(QStringLiteral("data:image/")))
            << value.left(80).toStdString();
        const QImage image =
            QImage::fromData(QByteArray::fromBase64(value.section(QLatin1Char(','), 1).toLatin1()));
        ASSERT_FALSE(image.isNull());
        if (image.size() == QSize(352, 288)) {
            const QColor c = image.pixelColor(176, 144);
            EXPECT_LT(std::abs(c.green() - QColor(Qt::darkGreen).green()), 8) << "its own picture";
            ++pictures;
        }
    }
    EXPECT_EQ(pictures, 3) << "the three pictures there are, each held";
    EXPECT_EQ(html.count(QStringLiteral("<img ")), 4) << "and the chart";
}

TEST(ReportPictures, APictureNamedWithPercentSignsKeepsItsNameAndSize) {
    EmptyJob job;
    savePicture(job.path(QStringLiteral("foto %3 %1.bmp")), Qt::darkCyan, {64, 48});
    job.observe({mark(Tag::None, QStringLiteral("nota"), QStringLiteral("foto %3 %1.bmp"), 1)});
    const QString html = reportHtml(readJobFolder(job.folder));
    EXPECT_TRUE(
        html.contains(QStringLiteral("alt=\"foto %3 %1.bmp\" width=\"320\" height=\"240\"")))
        << html.toStdString().substr(0, 4000);
}
