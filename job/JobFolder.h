#pragma once

#include "platform/Disk.h"

#include <QDateTime>
#include <QString>

#include <filesystem>
#include <optional>

namespace job {

// Longest job name kept, in characters; longer names are cut.
inline constexpr int longestJobName = 80;

// The job's name as the operator gave it, trimmed and cut to longestJobName; empty when it
// holds nothing but spaces.
QString cleanJobName(const QString& name);
// The name as it goes into file names: letters and digits kept, every run of anything else
// one hyphen ("Hotel Sol / conducto 3" gives "Hotel-Sol-conducto-3").
QString fileNamePart(const QString& jobName);

// Where job folders go: $XDG_PICTURES_DIR/Marlo, else the user's picture folder's Marlo.
QString jobsRoot();

// Longest client, address, operator, robot model or serial kept, in characters.
inline constexpr int longestDetail = 120;

// Who the job is for and who does it with which robot; any of them may be empty.
struct JobDetails {
    QString client;
    QString address;
    QString operatorName;
    QString robotModel;
    QString robotSerial;
    bool operator==(const JobDetails&) const = default;
};
// A detail as it is kept: on one line, without control characters, cut to longestDetail.
QString cleanDetail(const QString& text);
// The same details, each cleaned.
JobDetails cleanDetails(const JobDetails& details);

// The folder of one job, "<root>/<yyyy-MM-dd>_<name>", and the names of the files it gets.
class JobFolder {
public:
    // Creates the folder (or takes the existing one of the same job and day) and writes the
    // job's name and details into it (the job found there keeps its start, and its details
    // unless others are given); nothing when the name is empty, the folder cannot be made or
    // its job file cannot be written (a link at its name is never written through).
    static std::optional<JobFolder> open(const QString& name, const QString& root,
                                         const QDateTime& now,
                                         const platform::Disk& disk = platform::localDisk(),
                                         const JobDetails& details = {});

    const QString& name() const { return name_; }
    const QString& path() const { return path_; }

    // "<name>_<yyyy-MM-dd>_<HH-mm-ss>_<what>", with "-2", "-3", ... after the time when the
    // name is taken; nothing when every one of them is.
    std::optional<std::filesystem::path> newFile(const QString& what, const QDateTime& now) const;

private:
    JobFolder(QString name, QString path) : name_(std::move(name)), path_(std::move(path)) {}

    QString name_;
    QString path_;
};

// The file in a job folder that keeps the job's name and start.
inline const QString jobInfoFile = QStringLiteral("trabajo.ini");

struct JobInfo {
    QString name;
    QDateTime started;
    JobDetails details;
};
// The job file's text, as QSettings writes and reads it; details that are empty are left out.
QByteArray jobInfoText(const JobInfo& job);
// What a job folder says of its job; the folder's own name when its file is missing, empty
// details where the file lacks them or holds something else.
JobInfo readJobInfo(const QString& folder);

} // namespace job
