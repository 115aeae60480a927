#include "job/JobFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace job {
namespace {

constexpr int mostSuffixes = 999;
const QString dateFormat = QStringLiteral("yyyy-MM-dd");

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
                                         const QDateTime& now) {
    const QString cleaned = cleanJobName(name);
    if (cleaned.isEmpty())
        return std::nullopt;
    const QString path =
        QDir(root).filePath(now.toString(dateFormat) + QLatin1Char('_') + fileNamePart(cleaned));
    if (!QDir().mkpath(path))
        return std::nullopt;
    QSettings info(QDir(path).filePath(jobInfoFile), QSettings::IniFormat);
    if (!info.contains(QStringLiteral("nombre"))) {
        info.setValue(QStringLiteral("nombre"), cleaned);
        info.setValue(QStringLiteral("inicio"), now.toString(Qt::ISODate));
    }
    info.sync();
    if (info.status() != QSettings::NoError)
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
