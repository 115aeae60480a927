#include "job/JobFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

using namespace job;

namespace {

const QDateTime morning(QDate(2026, 12, 9), QTime(10, 15, 30));

void touch(const std::filesystem::path& file) {
    QFile f(QString::fromStdString(file.string()));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}

} // namespace

TEST(JobFolder, NamesBecomeFileNamePartsOfLettersDigitsAndHyphens) {
    const std::pair<const char*, const char*> table[] = {
        {"Obra Sur - tramo 3", "Obra-Sur-tramo-3"},
        {"  Hotel Sol / conducto 3  ", "Hotel-Sol-conducto-3"},
        {"Ñandú_Ático", "Ñandú-Ático"},
        {"../../etc", "etc"},
        {"a", "a"},
        {"***", "trabajo"},
    };
    for (const auto& [name, part] : table)
        EXPECT_EQ(fileNamePart(QString::fromUtf8(name)), QString::fromUtf8(part)) << name;
}

TEST(JobFolder, LongNamesAreCutAndBlankNamesRefused) {
    EXPECT_EQ(cleanJobName(QString(longestJobName, 'x')).size(), longestJobName);
    EXPECT_EQ(cleanJobName(QString(longestJobName + 1, 'x')).size(), longestJobName);
    EXPECT_EQ(cleanJobName(QStringLiteral("  a \n b ")), QStringLiteral("a b"));
    QTemporaryDir root;
    EXPECT_FALSE(JobFolder::open(QStringLiteral(" \t "), root.path(), morning));
    EXPECT_TRUE(QDir(root.path()).isEmpty());
}

TEST(JobFolder, FolderIsDateAndNameAndTheSameJobOfTheDayKeepsIt) {
    QTemporaryDir root;
    const auto first = JobFolder::open(QStringLiteral("Obra Sur - tramo 3"), root.path(), morning);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->path(), root.filePath(QStringLiteral("2026-12-09_Obra-Sur-tramo-3")));
    EXPECT_EQ(first->name(), QStringLiteral("Obra Sur - tramo 3"));
    const auto again =
        JobFolder::open(QStringLiteral("Obra Sur - tramo 3"), root.path(), morning.addSecs(3600));
    ASSERT_TRUE(again);
    EXPECT_EQ(again->path(), first->path());
    const JobInfo info = readJobInfo(first->path());
    EXPECT_EQ(info.name, QStringLiteral("Obra Sur - tramo 3"));
    EXPECT_EQ(info.started, morning) << "the second opening keeps the job's start";
    const auto nextDay =
        JobFolder::open(QStringLiteral("Obra Sur - tramo 3"), root.path(), morning.addDays(1));
    ASSERT_TRUE(nextDay);
    EXPECT_NE(nextDay->path(), first->path());
}

TEST(JobFolder, FolderThatCannotBeMadeIsRefused) {
    QTemporaryDir root;
    QFile blocker(root.filePath(QStringLiteral("file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    EXPECT_FALSE(JobFolder::open(QStringLiteral("x"), blocker.fileName(), morning));
}

TEST(JobFolder, FileNamesNeverReplaceAnExistingFile) {
    QTemporaryDir root;
    const auto folder = JobFolder::open(QStringLiteral("Obra Sur"), root.path(), morning);
    ASSERT_TRUE(folder);
    const auto first = folder->newFile(QStringLiteral("foto.bmp"), morning);
    ASSERT_TRUE(first);
    EXPECT_EQ(QString::fromStdString(first->filename().string()),
              QStringLiteral("Obra-Sur_2026-12-09_10-15-30_foto.bmp"));
    EXPECT_EQ(folder->newFile(QStringLiteral("foto.bmp"), morning), first)
        << "a name is free until its file is written";
    touch(*first);
    const auto second = folder->newFile(QStringLiteral("foto.bmp"), morning);
    ASSERT_TRUE(second);
    EXPECT_EQ(QString::fromStdString(second->filename().string()),
              QStringLiteral("Obra-Sur_2026-12-09_10-15-30-2_foto.bmp"));
    EXPECT_EQ(folder->newFile(QStringLiteral("video.avi"), morning)->filename().string(),
              "Obra-Sur_2026-12-09_10-15-30_video.avi");
    for (int suffix = 2; suffix <= 999; ++suffix)
        touch(*folder->newFile(QStringLiteral("foto.bmp"), morning));
    EXPECT_FALSE(folder->newFile(QStringLiteral("foto.bmp"), morning)) << "all 999 taken";
    EXPECT_TRUE(folder->newFile(QStringLiteral("foto.bmp"), morning.addSecs(1)));
}

TEST(JobFolder, RootFollowsThePicturesFolder) {
    const QByteArray saved = qgetenv("XDG_PICTURES_DIR");
    qputenv("XDG_PICTURES_DIR", "/srv/fotos");
    EXPECT_EQ(jobsRoot(), QStringLiteral("/srv/fotos/Marlo"));
    qunsetenv("XDG_PICTURES_DIR");
    EXPECT_TRUE(jobsRoot().endsWith(QStringLiteral("/Marlo")));
    EXPECT_NE(jobsRoot(), QStringLiteral("/srv/fotos/Marlo"));
    if (!saved.isEmpty())
        qputenv("XDG_PICTURES_DIR", saved);
}

TEST(JobFolder, FolderWithoutItsFileIsNamedAfterItself) {
    QTemporaryDir root;
    const QString folder = root.filePath(QStringLiteral("2026-12-09_Sin-datos"));
    ASSERT_TRUE(QDir().mkpath(folder));
    EXPECT_EQ(readJobInfo(folder).name, QStringLiteral("2026-12-09_Sin-datos"));
    EXPECT_FALSE(readJobInfo(folder).started.isValid());
}

TEST(JobFolder, JobFileIsWhatQSettingsWritesAndReadsBackWhateverTheName) {
    QTemporaryDir root;
    for (const char* name : {"Obra Sur", "Hotel Sol, conducto 3", "a;b", "x = y", "dijo \"sí\"",
                             "C:\\obras\\sur", "@Variant(1)", "Ñandú ático 🚧"}) {
        SCOPED_TRACE(name);
        const JobInfo job{QString::fromUtf8(name), morning, {}};
        const QString byQt = root.filePath(QStringLiteral("qt.ini"));
        QFile::remove(byQt);
        {
            QSettings settings(byQt, QSettings::IniFormat);
            settings.setValue(QStringLiteral("nombre"), job.name);
            settings.setValue(QStringLiteral("inicio"), morning.toString(Qt::ISODate));
        }
        QFile written(byQt);
        ASSERT_TRUE(written.open(QIODevice::ReadOnly));
        EXPECT_EQ(jobInfoText(job), written.readAll());

        const QString folder = root.filePath(QString::fromUtf8(name).toUtf8().toHex());
        const auto opened = JobFolder::open(job.name, folder, morning);
        ASSERT_TRUE(opened);
        const JobInfo read = readJobInfo(opened->path());
        EXPECT_EQ(read.name, job.name);
        EXPECT_EQ(read.started, morning);
    }
}

namespace {

JobDetails allDetails(const QString& text) {
    return {QStringLiteral("cliente ") + text, QStringLiteral("dirección ") + text,
            QStringLiteral("operador ") + text, QStringLiteral("modelo ") + text,
            QStringLiteral("serie ") + text};
}

} // namespace

TEST(JobFolder, DetailsAreWrittenAsQSettingsWritesThemAndReadBack) {
    QTemporaryDir root;
    for (const char* text : {"Marlo 3", "Calle Mayor, 5; 2º", "x = y", "dijo \"sí\"", "C:\\a",
                             "<b>&amp;</b>", "=1+2", "ñ 🚧"}) {
        SCOPED_TRACE(text);
        const JobInfo job{QStringLiteral("Obra"), morning, allDetails(QString::fromUtf8(text))};
        const QString byQt = root.filePath(QStringLiteral("qt.ini"));
        QFile::remove(byQt);
        {
            QSettings settings(byQt, QSettings::IniFormat);
            settings.setValue(QStringLiteral("nombre"), job.name);
            settings.setValue(QStringLiteral("inicio"), morning.toString(Qt::ISODate));
            settings.setValue(QStringLiteral("cliente"), job.details.client);
            settings.setValue(QStringLiteral("direccion"), job.details.address);
            settings.setValue(QStringLiteral("operador"), job.details.operatorName);
            settings.setValue(QStringLiteral("robot_modelo"), job.details.robotModel);
            settings.setValue(QStringLiteral("robot_serie"), job.details.robotSerial);
        }
        QFile written(byQt);
        ASSERT_TRUE(written.open(QIODevice::ReadOnly));
        EXPECT_EQ(jobInfoText(job), written.readAll());

        const QString folder = root.filePath(QString::fromUtf8(text).toUtf8().toHex());
        ASSERT_TRUE(JobFolder::open(job.name, folder, morning, platform::localDisk(), job.details));
        const JobInfo read = readJobInfo(QDir(folder).filePath(QStringLiteral("2026-12-09_Obra")));
        EXPECT_EQ(read.name, job.name);
        EXPECT_EQ(read.started, morning);
        EXPECT_EQ(read.details, job.details);
    }
    EXPECT_EQ(jobInfoText({QStringLiteral("Obra"), morning, {}}),
              "[General]\ninicio=2026-12-09T10:15:30\nnombre=Obra\n")
        << "a job without details has the file it always had";
}

TEST(JobFolder, DetailsAreKeptOnOneLineAndCut) {
    EXPECT_EQ(cleanDetail(QString(longestDetail, 'x')).size(), longestDetail);
    EXPECT_EQ(cleanDetail(QString(longestDetail + 1, 'x')).size(), longestDetail);
    EXPECT_EQ(cleanDetail(QStringLiteral(" a\nb\r\n\tc ")), QStringLiteral("a b c"));
    EXPECT_EQ(cleanDetail(QStringLiteral("a\x01\x7f"
                                         "b")),
              QStringLiteral("ab"));
    EXPECT_EQ(cleanDetail(QStringLiteral("=SUMA(A1)")), QStringLiteral("=SUMA(A1)"));
}

TEST(JobFolder, AJobFileWithDetailsMissingOrMalformedStillOpens) {
    const std::pair<const char*, JobDetails> table[] = {
        {"[General]\nnombre=Obra\ninicio=2026-12-09T10:15:30\n", {}},
        {"[General]\nnombre=Obra\ninicio=2026-12-09T10:15:30\ncliente=a, b\n"
         "operador=@Variant(\\0\\0\\0\\x7f\\0\\0)\nrobot_serie=\"abierta\n",
         {QStringLiteral("a, b"), {}, {}, {}, QStringLiteral("abierta")}},
        {"[General]\nnombre=Obra\ninicio=2026-12-09T10:15:30\ndireccion=@ByteArray(\\x1\\x2)\n"
         "robot_modelo=@Rect(1 2 3 4)\n",
         {}},
        {"[General]\nnombre=Obra\ninicio=2026-12-09T10:15:30\n\x01\xff\xfe=\x80\n[x\n", {}},
    };
    for (const auto& [text, details] : table) {
        SCOPED_TRACE(text);
        QTemporaryDir root;
        const QString folder = root.filePath(QStringLiteral("2026-12-09_Obra"));
        ASSERT_TRUE(QDir().mkpath(folder));
        QFile file(QDir(folder).filePath(jobInfoFile));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        file.close();
        const JobInfo read = readJobInfo(folder);
        EXPECT_EQ(read.name, QStringLiteral("Obra"));
        EXPECT_EQ(read.started, morning);
        EXPECT_EQ(read.details.address, details.address);
        EXPECT_EQ(read.details.robotModel, details.robotModel);
        EXPECT_EQ(read.details.client, details.client);
        EXPECT_TRUE(read.details.operatorName.size() <= longestDetail);
        const auto opened =
            JobFolder::open(QStringLiteral("Obra"), root.path(), morning.addSecs(60));
        ASSERT_TRUE(opened);
        EXPECT_EQ(opened->path(), folder);
    }
    // A detail longer than any the console writes is cut as it is read.
    QTemporaryDir root;
    const QString folder = root.filePath(QStringLiteral("2026-12-09_Obra"));
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile file(QDir(folder).filePath(jobInfoFile));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[General]\nnombre=Obra\ncliente=" + QByteArray(5000, 'c') + '\n');
    file.close();
    EXPECT_EQ(readJobInfo(folder).details.client.size(), longestDetail);
    // A file larger than any job's is not read at all.
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[General]\nnombre=Obra\ncliente=c\n" + QByteArray(128 * 1024, '#'));
    file.close();
    EXPECT_EQ(readJobInfo(folder).name, QStringLiteral("2026-12-09_Obra"));
    EXPECT_TRUE(readJobInfo(folder).details.client.isEmpty());
}

TEST(JobFolder, TheSameJobOpenedWithOtherDetailsKeepsItsStartAndTakesThem) {
    QTemporaryDir root;
    const JobDetails first = allDetails(QStringLiteral("1"));
    const auto opened =
        JobFolder::open(QStringLiteral("Obra"), root.path(), morning, platform::localDisk(), first);
    ASSERT_TRUE(opened);
    EXPECT_EQ(readJobInfo(opened->path()).details, first);
    ASSERT_TRUE(JobFolder::open(QStringLiteral("Obra"), root.path(), morning.addSecs(60)));
    EXPECT_EQ(readJobInfo(opened->path()).details, first) << "none given: the file's are kept";
    const JobDetails second = allDetails(QStringLiteral("2"));
    ASSERT_TRUE(JobFolder::open(QStringLiteral("Obra"), root.path(), morning.addSecs(120),
                                platform::localDisk(), second));
    const JobInfo read = readJobInfo(opened->path());
    EXPECT_EQ(read.details, second);
    EXPECT_EQ(read.started, morning);
}

TEST(JobFolder, AJobFileRewrittenWithinOneTickOfTheClockReadsAsRewritten) {
    QTemporaryDir root;
    const auto opened = JobFolder::open(QStringLiteral("Obra"), root.path(), morning,
                                        platform::localDisk(), allDetails(QStringLiteral("1")));
    ASSERT_TRUE(opened);
    const QString file = QDir(opened->path()).filePath(jobInfoFile);
    const QDateTime stamp = QFileInfo(file).lastModified();
    EXPECT_EQ(readJobInfo(opened->path()).details.client, QStringLiteral("cliente 1"));
    ASSERT_TRUE(JobFolder::open(QStringLiteral("Obra"), root.path(), morning, platform::localDisk(),
                                allDetails(QStringLiteral("2"))));
    // The same size and the same time stamp, as a rewrite within one tick leaves them.
    QFile rewritten(file);
    ASSERT_TRUE(rewritten.open(QIODevice::ReadWrite));
    ASSERT_TRUE(rewritten.setFileTime(stamp, QFileDevice::FileModificationTime));
    rewritten.close();
    EXPECT_EQ(readJobInfo(opened->path()).details, allDetails(QStringLiteral("2")));
}

TEST(JobFolder, JobFileValuesAreReadAsQSettingsReadsThem) {
    const std::pair<const char*, const char*> table[] = {
        {"cliente=\\x41\\102c", "ABc"},
        {"cliente=  \"  a,b \"  ", "a,b"},
        {"cliente=a\\,b", "ab"},
        {"cliente=a,  b ,c", "a, b, c"},
        {"cliente=@@x", "@x"},
        {"cliente=@String(x)", "x"},
        {"cliente=@Rect(1 2 3 4)", ""},
        {"cliente=\\\"x\\\\y\\\"", "\"x\\y\""},
        {"cliente=a\\tb", "a b"},
        {"cliente=\\x", ""},
        {";cliente=x", ""},
        {"[Otra]\ncliente=x", ""},
        {"[general]\ncliente=x", "x"},
    };
    for (const auto& [line, client] : table) {
        SCOPED_TRACE(line);
        QTemporaryDir root;
        QFile file(QDir(root.path()).filePath(jobInfoFile));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("[General]\nnombre=Obra\n") + line + '\n');
        file.close();
        EXPECT_EQ(readJobInfo(root.path()).details.client, QString::fromUtf8(client));
    }
}
