#include "job/Observation.h"
#include "job/Report.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <csignal>
#include <unistd.h>

using namespace job;

namespace {

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A real file that takes half of a report's document and then dies with its process, as a
// console killed in the middle of the write would.
class DyingFile final : public platform::DiskFile {
public:
    explicit DyingFile(std::unique_ptr<platform::DiskFile> real) : real_(std::move(real)) {}

    bool writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) override {
        if (bytes.size() > 5 && std::equal(bytes.begin(), bytes.begin() + 5, "%PDF-")) {
            real_->writeAt(offset, bytes.first(bytes.size() / 2));
            real_->syncData();
            std::raise(SIGKILL);
        }
        return real_->writeAt(offset, bytes);
    }
    bool append(std::span<const std::uint8_t> bytes) override { return real_->append(bytes); }
    bool syncData() override { return real_->syncData(); }
    bool truncate(std::uint64_t size) override { return real_->truncate(size); }
    bool close() override { return real_->close(); }
    platform::DiskError error() const override { return real_->error(); }

private:
    std::unique_ptr<platform::DiskFile> real_;
};

platform::Disk dyingDisk() {
    platform::Disk disk = platform::localDisk();
    disk.open = [local =
                     disk.open](const std::filesystem::path& name,
                                platform::OpenMode mode) -> std::unique_ptr<platform::DiskFile> {
        auto real = local(name, mode);
        if (!real)
            return nullptr;
        return std::make_unique<DyingFile>(std::move(real));
    };
    return disk;
}

// The child is this program run again, so both name the folder after the parent.
bool inChild() {
    return !GTEST_FLAG_GET(internal_run_death_test).empty();
}

QString killedJobFolder() {
    return QDir::temp().filePath(
        QStringLiteral("marlo-killed-report-%1").arg(inChild() ? getppid() : getpid()));
}

void addObservation(const QString& folder, const QString& note) {
    Observation o;
    o.when = QDateTime(QDate(2026, 12, 9), QTime(10, 20, 30));
    o.note = note;
    QFile file(QDir(folder).filePath(observationsFile));
    const bool fresh = !file.exists();
    ASSERT_TRUE(file.open(QIODevice::Append));
    if (fresh)
        file.write(observationsCsvHeader().toUtf8());
    file.write(observationCsvRow(o).toUtf8());
}

} // namespace

TEST(KilledReport, AReportCutOffHalfwayLeavesTheEarlierDocumentWholeAndTheNextOneClearsUp) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const QString folder = killedJobFolder();
    const QDir dir(folder);
    if (!inChild()) {
        QDir(folder).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(folder));
        addObservation(folder, QStringLiteral("grieta en la junta"));
        ASSERT_TRUE(writeReportFiles(folder).written);
        addObservation(folder, QStringLiteral("junta limpia"));
    }
    const QByteArray earlier = contents(dir.filePath(reportPdfFile));
    const QStringList whole{observationsFile, reportChartFile, reportHtmlFile, reportPdfFile};

    EXPECT_EXIT(writeReportFiles(folder, {}, dyingDisk()), ::testing::KilledBySignal(SIGKILL), "");
    EXPECT_TRUE(contents(dir.filePath(reportPdfFile)) == earlier)
        << "the earlier document is whole";
    const QStringList left =
        dir.entryList(QDir::Files | QDir::Hidden, QDir::Name).filter(QRegularExpression("^\\."));
    ASSERT_EQ(left.size(), 1) << "the cut-off document lies under another name";
    const QByteArray half = contents(dir.filePath(left[0]));
    EXPECT_TRUE(half.startsWith("%PDF-"));
    EXPECT_TRUE(contents(dir.filePath(reportHtmlFile)).endsWith("</html>\n"));

    ASSERT_TRUE(writeReportFiles(folder).written);
    EXPECT_EQ(dir.entryList(QDir::Files | QDir::Hidden, QDir::Name), whole)
        << "the next report leaves no temporary file";
    const QByteArray next = contents(dir.filePath(reportPdfFile));
    EXPECT_TRUE(next.startsWith("%PDF-"));
    EXPECT_NE(next, earlier);
    QDir(folder).removeRecursively();
}
