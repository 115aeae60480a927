#include "job/JobFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace job {
namespace {

constexpr int mostSuffixes = 999;
const QString dateFormat = QStringLiteral("yyyy-MM-dd");

// A value of an INI file as QSettings escapes it: quoted when it holds a separator, a leading
// "@" doubled (QSettings' own values start with one).
QByteArray iniValue(const QString& value) {
    QString text = value;
    text.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    text.replace(QLatin1Char('"'), QLatin1String("\\\""));
    if (text.startsWith(QLatin1Char('@')))
        text.prepend(QLatin1Char('@'));
    if (text.contains(QLatin1Char(',')) || text.contains(QLatin1Char(';')) ||
        text.contains(QLatin1Char('=')))
        text = QLatin1Char('"') + text + QLatin1Char('"');
    return text.toUtf8();
}

// Job files are a few lines; a larger file at the name is not one.
constexpr qint64 largestJobFile = 64 * 1024;

bool holdsJob(const QString& file) {
    const QFileInfo info(file);
    return info.isFile() && !info.isSymLink() && info.size() <= largestJobFile &&
           QSettings(file, QSettings::IniFormat).contains(QStringLiteral("nombre"));
}

} // namespace

QString cleanJobName(const QString& name) {
    return name.simplified().left(longestJobName).trimmed();
}

QString fileNamePart(const QString& jobName) {
    QString part;
    bool pendingHyphen = false;
    for (const QChar c : cleanJobName(jobName)) {
        if (c.isLetterOrNumber()) {
            if (pendingHyphen && !part.isEmpty())
                part += QLatin1Char('-');
            part += c;
            pendingHyphen = false;
        } else {
            pendingHyphen = true;
        }
    }
    return part.isEmpty() ? QStringLiteral("trabajo") : part;
}

QString jobsRoot() {
    QString pictures = qEnvironmentVariable("XDG_PICTURES_DIR");
    if (pictures.isEmpty())
        pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (pictures.isEmpty())
        pictures = QDir::home().filePath(QStringLiteral("Pictures"));
    return QDir(pictures).filePath(QStringLiteral("Marlo"));
}

std::optional<JobFolder> JobFolder::open(const QString& name, const QString& root,
                                         const QDateTime& now, const platform::Disk& disk) {
    const QString cleaned = cleanJobName(name);
    if (cleaned.isEmpty())
        return std::nullopt;
    const QString path =
        QDir(root).filePath(now.toString(dateFormat) + QLatin1Char('_') + fileNamePart(cleaned));
    if (!QDir().mkpath(path))
        return std::nullopt;
    const QString info = QDir(path).filePath(jobInfoFile);
    if (holdsJob(info))
        return JobFolder(cleaned, path);
    const QByteArray text = jobInfoText({cleaned, now});
    if (platform::writeWholeFile(disk, info.toStdString(), platform::bytesOf(text)) !=
        platform::DiskError::None)
        return std::nullopt;
    return JobFolder(cleaned, path);
}

std::optional<std::filesystem::path> JobFolder::newFile(const QString& what,
                                                        const QDateTime& now) const {
    const QString stem = fileNamePart(name_) + QLatin1Char('_') + now.toString(dateFormat) +
                         QLatin1Char('_') + now.toString(QStringLiteral("HH-mm-ss"));
    const QDir folder(path_);
    for (int suffix = 1; suffix <= mostSuffixes; ++suffix) {
        const QString tail = suffix == 1 ? QString() : QLatin1Char('-') + QString::number(suffix);
        const QString file = folder.filePath(stem + tail + QLatin1Char('_') + what);
        if (!QFileInfo::exists(file))
            return std::filesystem::path(file.toStdString());
    }
    return std::nullopt;
}

QByteArray jobInfoText(const JobInfo& job) {
    return "[General]\ninicio=" + iniValue(job.started.toString(Qt::ISODate)) +
           "\nnombre=" + iniValue(job.name) + '\n';
}

JobInfo readJobInfo(const QString& folder) {
    const QSettings info(QDir(folder).filePath(jobInfoFile), QSettings::IniFormat);
    JobInfo job;
    job.name = cleanJobName(info.value(QStringLiteral("nombre")).toString());
    if (job.name.isEmpty())
        job.name = QFileInfo(folder).fileName();
    job.started =
        QDateTime::fromString(info.value(QStringLiteral("inicio")).toString(), Qt::ISODate);
    return job;
}

} // namespace job
