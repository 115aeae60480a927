#pragma once

#include "job/Observation.h"

#include <QDialog>
#include <QString>

#include <optional>

class QLineEdit;
class QRadioButton;

namespace job {

// "Trabajo": the client or site and the section or duct inspected.
class JobDialog : public QDialog {
    Q_OBJECT
public:
    explicit JobDialog(QWidget* owner = nullptr);
    // "Site - section", or the one that was given; empty when both are.
    QString jobName() const;

    QLineEdit* site = nullptr;
    QLineEdit* section = nullptr;
};

// "Observación": a short note and whether it is before or after the cleaning.
class NoteDialog : public QDialog {
    Q_OBJECT
public:
    explicit NoteDialog(QWidget* owner = nullptr);
    QString note() const;
    Tag tag() const;

    QLineEdit* noteEdit = nullptr;
    QRadioButton* none = nullptr;
    QRadioButton* before = nullptr;
    QRadioButton* after = nullptr;
};

struct Note {
    QString text;
    Tag tag = Tag::None;
};

// Both ask through the platform's dialogs; nothing when the operator cancels (an accepted
// job dialog may give an empty name, which the session refuses and says so).
std::optional<QString> askJobName(QWidget* owner);
std::optional<Note> askNote(QWidget* owner);

} // namespace job
