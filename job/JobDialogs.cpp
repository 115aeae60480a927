#include "job/JobDialogs.h"

#include "job/JobFolder.h"
#include "platform/Dialogs.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace job {
namespace {

QDialogButtonBox* okCancel(QDialog& dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Aceptar"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    return buttons;
}

} // namespace

JobDialog::JobDialog(QWidget* owner) : QDialog(owner) {
    setWindowTitle(QStringLiteral("Trabajo"));
    site = new QLineEdit(this);
    section = new QLineEdit(this);
    for (QLineEdit* edit : {site, section})
        edit->setMaxLength(longestJobName);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Cliente u obra:"), site);
    form->addRow(QStringLiteral("Tramo o conducto:"), section);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(okCancel(*this));
}

QString JobDialog::jobName() const {
    const QString first = site->text().simplified();
    const QString second = section->text().simplified();
    if (first.isEmpty() || second.isEmpty())
        return cleanJobName(first + second);
    return cleanJobName(first + QStringLiteral(" - ") + second);
}

NoteDialog::NoteDialog(QWidget* owner) : QDialog(owner) {
    setWindowTitle(QStringLiteral("Observación"));
    noteEdit = new QLineEdit(this);
    noteEdit->setMaxLength(longestNote);
    none = new QRadioButton(QStringLiteral("&Sin marca"), this);
    before = new QRadioButton(QStringLiteral("&Antes de limpiar"), this);
    after = new QRadioButton(QStringLiteral("&Después de limpiar"), this);
    none->setChecked(true);
    auto* tags = new QHBoxLayout;
    for (QRadioButton* button : {none, before, after})
        tags->addWidget(button);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Nota:"), noteEdit);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(tags);
    layout->addWidget(okCancel(*this));
    noteEdit->setFocus();
}

QString NoteDialog::note() const {
    return noteEdit->text().simplified();
}

Tag NoteDialog::tag() const {
    if (before->isChecked())
        return Tag::Before;
    if (after->isChecked())
        return Tag::After;
    return Tag::None;
}

std::optional<QString> askJobName(QWidget* owner) {
    JobDialog dialog(owner);
    if (platform::Dialogs::showModal(dialog) != QDialog::Accepted)
        return std::nullopt;
    return dialog.jobName();
}

std::optional<Note> askNote(QWidget* owner) {
    NoteDialog dialog(owner);
    if (platform::Dialogs::showModal(dialog) != QDialog::Accepted)
        return std::nullopt;
    return Note{dialog.note(), dialog.tag()};
}

} // namespace job
