#pragma once

#include "job/JobFolder.h"
#include "job/Observation.h"

#include <QDialog>
#include <QString>

#include <optional>

class QComboBox;
class QLineEdit;
class QRadioButton;
class QSpinBox;

namespace job {

// "Trabajo": the site and the section or duct inspected, who it is for and who inspects it
// with which robot.
class JobDialog : public QDialog {
    Q_OBJECT
public:
    explicit JobDialog(QWidget* owner = nullptr);
    // "Site - section", or the one that was given; empty when both are.
    QString jobName() const;
    JobDetails details() const;

    QLineEdit* site = nullptr;
    QLineEdit* section = nullptr;
    QLineEdit* client = nullptr;
    QLineEdit* address = nullptr;
    QLineEdit* operatorName = nullptr;
    QLineEdit* robotModel = nullptr;
    QLineEdit* robotSerial = nullptr;
};

// "Observación": a short note, whether it is before or after the cleaning, where it was
// taken and what was found there.
class NoteDialog : public QDialog {
    Q_OBJECT
public:
    explicit NoteDialog(QWidget* owner = nullptr);
    QString note() const;
    Tag tag() const;
    QString location() const;
    Finding finding() const;
    // The severity chosen, 0 without a finding.
    int severity() const;

    QLineEdit* noteEdit = nullptr;
    QRadioButton* none = nullptr;
    QRadioButton* before = nullptr;
    QRadioButton* after = nullptr;
    QLineEdit* locationEdit = nullptr;
    // "Sin hallazgo" first, then every finding in the order of `findings`.
    QComboBox* findingBox = nullptr;
    QSpinBox* severityBox = nullptr;
};

struct JobRequest {
    QString name;
    JobDetails details;
};

struct Note {
    QString text;
    Tag tag = Tag::None;
    QString location;
    Finding finding = Finding::None;
    int severity = 0;
    // The note's fields in the observation.
    void fill(Observation& observation) const;
};

// Both ask through the platform's dialogs; nothing when the operator cancels (an accepted
// job dialog may give an empty name, which the session refuses and says so). The last
// operator and robot, and the last location, are offered again: they are kept with the
// console's settings when the dialog is accepted.
std::optional<JobRequest> askJob(QWidget* owner);
std::optional<Note> askNote(QWidget* owner);

} // namespace job
