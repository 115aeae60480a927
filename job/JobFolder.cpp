#include "job/JobFolder.h"

#include "platform/ReadOnlyFile.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
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

int digitOf(QChar c, int base) {
    const int value = c.isDigit() ? c.digitValue()
                      : c.toLower() >= u'a' && c.toLower() <= u'f'
                          ? c.toLower().unicode() - u'a' + 10
                          : base;
    return value < base ? value : -1;
}

// After a backslash at `at`: appends what the escape stands for, returns its last index.
qsizetype unescapeAt(QStringView raw, qsizetype at, QString& into) {
    const auto code = [&](qsizetype from, int base, int most) {
        char16_t value = 0;
        qsizetype end = from;
        for (int digit = 0;
             end < raw.size() && end - from < most && (digit = digitOf(raw[end], base)) >= 0; ++end)
            value = static_cast<char16_t>(value * base + digit);
        into += QChar(value);
        return end - 1;
    };
    const QChar c = raw[at];
    constexpr std::pair<char16_t, char16_t> controls[] = {
        {u'a', u'\a'}, {u'b', u'\b'}, {u'f', u'\f'}, {u'n', u'\n'},
        {u'r', u'\r'}, {u't', u'\t'}, {u'v', u'\v'}};
    for (const auto& [letter, control] : controls)
        if (c == letter) {
            into += QChar(control);
            return at;
        }
    if (c == u'x' && at + 1 < raw.size() && digitOf(raw[at + 1], 16) >= 0)
        return code(at + 1, 16, 4);
    if (digitOf(c, 8) >= 0)
        return code(at, 8, 3);
    // Any other escape stands for nothing.
    if (c == u'"' || c == u'\'' || c == u'?' || c == u'\\')
        into += c;
    return at;
}

// The text of "@String(...)" and "@ByteArray(...)"; values of QSettings' other types are none.
QString typedText(const QString& value) {
    for (const QLatin1String type : {QLatin1String("@String("), QLatin1String("@ByteArray(")})
        if (value.startsWith(type) && value.endsWith(QLatin1Char(')')))
            return value.mid(type.size(), value.size() - type.size() - 1);
    return {};
}

// A value as QSettings reads it: quotes keep separators, backslashes escape, unquoted commas
// part a list (joined here by ", "), "@@" stands for "@" and any other leading "@" marks a
// value of a type of QSettings' own.
QString iniText(QStringView raw) {
    QStringList parts;
    QString part;
    bool quoted = false;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw[i];
        if (c == u'"')
            quoted = !quoted;
        else if (c == u',' && !quoted)
            parts << std::exchange(part, QString()).trimmed();
        else if (c == u'\\' && i + 1 < raw.size())
            i = unescapeAt(raw, i + 1, part);
        else
            part += c;
    }
    parts << part.trimmed();
    for (QString& text : parts)
        if (text.startsWith(QLatin1Char('@')))
            text = text.startsWith(QLatin1String("@@")) ? text.mid(1) : typedText(text);
    return parts.join(QStringLiteral(", "));
}

// The keys of the file's general section. The bytes are read here, bounded, rather than by
// QSettings, which keeps a file it has read by name and takes it again while its size and
// time stamp match: a job file rewritten within one tick of the clock would read as before.
std::optional<QHash<QString, QString>> readJobFile(const QString& folder) {
    const QFileInfo found(QDir(folder).filePath(jobInfoFile));
    if (!found.isFile() || found.isSymLink())
        return std::nullopt;
    const platform::FileBytes file =
        platform::readWholeFile(folder.toStdString(), jobInfoFile.toStdString(), largestJobFile);
    if (file.refusal != platform::ReadRefusal::None)
        return std::nullopt;
    QHash<QString, QString> values;
    bool general = true;
    for (QStringView line : QString::fromUtf8(file.bytes).split(u'\n')) {
        line = line.trimmed();
        if (line.startsWith(u'[')) {
            const QStringView section = line.mid(1).left(line.indexOf(u']') - 1);
            general = section.compare(u"General", Qt::CaseInsensitive) == 0;
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (general && equals > 0 && !line.startsWith(u';'))
            values.insert(line.left(equals).trimmed().toString(), iniText(line.mid(equals + 1)));
    }
    return values;
}

bool holdsJob(const QString& folder) {
    const auto values = readJobFile(folder);
    return values && values->contains(QStringLiteral("nombre"));
}

const QString clientKey = QStringLiteral("cliente");
const QString addressKey = QStringLiteral("direccion");
const QString operatorKey = QStringLiteral("operador");
const QString modelKey = QStringLiteral("robot_modelo");
const QString serialKey = QStringLiteral("robot_serie");

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
    if (holdsJob(path)) {
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
    // Anything but a job file's few lines is read as no file at all.
    const QHash<QString, QString> info = readJobFile(folder).value_or(QHash<QString, QString>());
    JobInfo job;
    job.name = cleanJobName(info.value(QStringLiteral("nombre")));
    if (job.name.isEmpty())
        job.name = QFileInfo(folder).fileName();
    job.started = QDateTime::fromString(info.value(QStringLiteral("inicio")), Qt::ISODate);
    const auto detail = [&info](const QString& key) { return cleanDetail(info.value(key)); };
    job.details = {detail(clientKey), detail(addressKey), detail(operatorKey), detail(modelKey),
                   detail(serialKey)};
    return job;
}

} // namespace job
