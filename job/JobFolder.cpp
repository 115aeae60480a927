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

const QString clientKey = QStringLiteral("cliente");
const QString addressKey = QStringLiteral("direccion");
const QString operatorKey = QStringLiteral("operador");
const QString modelKey = QStringLiteral("robot_modelo");
const QString serialKey = QStringLiteral("robot_serie");

// A value the file may hold as text or, unquoted with commas, as a list.
QString detailValue(const QSettings& info, const QString& key) {
    const QVariant value = info.value(key);
    if (value.metaType().id() == QMetaType::QStringList)
        return cleanDetail(value.toStringList().join(QStringLiteral(", ")));
    return value.canConvert<QString>() ? cleanDetail(value.toString()) : QString();
}

} // namespace

QString cleanJobName(const QString& name) {
    return name.simplified().left(longestJobName).trimmed();
}

QString cleanDetail(const QString& text) {
    QString kept;
    for (const QChar c : text.simplified())
        if (c.category() != QChar::Other_Control)
            kept += c;
    return kept.left(longestDetail).trimmed();
}

JobDetails cleanDetails(const JobDetails& d) {
    return {cleanDetail(d.client), cleanDetail(d.address), cleanDetail(d.operatorName),
            cleanDetail(d.robotModel), cleanDetail(d.robotSerial)};
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
                                         const QDateTime& now, const platform::Disk& disk,
                                         const JobDetails& details) {
    const QString cleaned = cleanJobName(name);
    if (cleaned.isEmpty())
        return std::nullopt;
    const QString path =
        QDir(root).filePath(now.toString(dateFormat) + QLatin1Char('_') + fileNamePart(cleaned));
    if (!QDir().mkpath(path))
        return std::nullopt;
    const QString info = QDir(path).filePath(jobInfoFile);
    JobInfo job{cleaned, now, cleanDetails(details)};
    if (holdsJob(info)) {
        const JobInfo found = readJobInfo(path);
        if (job.details == JobDetails{} || job.details == found.details)
            return JobFolder(cleaned, path);
        job.name = found.name;
        if (found.started.isValid())
            job.started = found.started;
    }
    const QByteArray text = jobInfoText(job);
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

// Keys in the order QSettings writes them.
QByteArray jobInfoText(const JobInfo& job) {
    const JobDetails d = cleanDetails(job.details);
    QByteArray text = "[General]\n";
    const auto line = [&text](const QString& key, const QString& value) {
        if (!value.isEmpty())
            text += key.toUtf8() + '=' + iniValue(value) + '\n';
    };
    line(clientKey, d.client);
    line(addressKey, d.address);
    text += "inicio=" + iniValue(job.started.toString(Qt::ISODate)) +
            "\nnombre=" + iniValue(job.name) + '\n';
    line(operatorKey, d.operatorName);
    line(modelKey, d.robotModel);
    line(serialKey, d.robotSerial);
    return text;
}

JobInfo readJobInfo(const QString& folder) {
    const QString file = QDir(folder).filePath(jobInfoFile);
    const QFileInfo found(file);
    // Anything but a job file's few lines is read as no file at all.
    JobInfo job;
    if (!found.isFile() || found.isSymLink() || found.size() > largestJobFile) {
        job.name = QFileInfo(folder).fileName();
        return job;
    }
    const QSettings info(file, QSettings::IniFormat);
    job.name = cleanJobName(info.value(QStringLiteral("nombre")).toString());
    if (job.name.isEmpty())
        job.name = QFileInfo(folder).fileName();
    job.started =
        QDateTime::fromString(info.value(QStringLiteral("inicio")).toString(), Qt::ISODate);
    job.details = {detailValue(info, clientKey), detailValue(info, addressKey),
                   detailValue(info, operatorKey), detailValue(info, modelKey),
                   detailValue(info, serialKey)};
    return job;
}

} // namespace job
