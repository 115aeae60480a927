#include "job/JobDialogs.h"

#include "job/JobFolder.h"
#include "platform/Dialogs.h"
#include "platform/SettingsStore.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <iterator>

namespace job {
namespace {

QDialogButtonBox* okCancel(QDialog& dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(JobDialog::tr("Aceptar"));
    buttons->button(QDialogButtonBox::Cancel)->setText(JobDialog::tr("Cancelar"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    return buttons;
}

// What the console remembers between jobs and observations.
const QString lastOperator = QStringLiteral("Trabajo operador");
const QString lastRobotModel = QStringLiteral("Trabajo robot modelo");
const QString lastRobotSerial = QStringLiteral("Trabajo robot serie");
const QString lastLocation = QStringLiteral("Observacion ubicacion");

QString remembered(const platform::SettingsStore* store, const QString& name, int longest) {
    if (!store)
        return {};
    return cleanDetail(store->readString(name).value_or(QString())).left(longest);
}

} // namespace

JobDialog::JobDialog(QWidget* owner) : QDialog(owner) {
    setWindowTitle(tr("Trabajo"));
    site = new QLineEdit(this);
    section = new QLineEdit(this);
    for (QLineEdit* edit : {site, section})
        edit->setMaxLength(longestJobName);
    client = new QLineEdit(this);
    address = new QLineEdit(this);
    operatorName = new QLineEdit(this);
    robotModel = new QLineEdit(this);
    robotSerial = new QLineEdit(this);
    for (QLineEdit* edit : {client, address, operatorName, robotModel, robotSerial})
        edit->setMaxLength(longestDetail);
    auto* form = new QFormLayout;
    form->addRow(tr("Obra:"), site);
    form->addRow(tr("Tramo o conducto:"), section);
    form->addRow(tr("Cliente:"), client);
    form->addRow(tr("Dirección:"), address);
    form->addRow(tr("Operador:"), operatorName);
    form->addRow(tr("Robot:"), robotModel);
    form->addRow(tr("Número de serie:"), robotSerial);
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

JobDetails JobDialog::details() const {
    return cleanDetails({client->text(), address->text(), operatorName->text(), robotModel->text(),
                         robotSerial->text()});
}

NoteDialog::NoteDialog(QWidget* owner) : QDialog(owner) {
    setWindowTitle(tr("Observación"));
    noteEdit = new QLineEdit(this);
    noteEdit->setMaxLength(longestNote);
    none = new QRadioButton(tr("&Sin marca"), this);
    before = new QRadioButton(tr("&Antes de limpiar"), this);
    after = new QRadioButton(tr("&Después de limpiar"), this);
    none->setChecked(true);
    locationEdit = new QLineEdit(this);
    locationEdit->setMaxLength(longestLocation);
    findingBox = new QComboBox(this);
    findingBox->addItem(tr("Sin hallazgo"));
    for (const Finding finding : findings)
        findingBox->addItem(findingLabel(finding));
    severityBox = new QSpinBox(this);
    severityBox->setRange(leastSeverity, greatestSeverity);
    severityBox->setEnabled(false);
    connect(findingBox, &QComboBox::currentIndexChanged, severityBox,
            [this](int index) { severityBox->setEnabled(index > 0); });
    auto* tags = new QHBoxLayout;
    for (QRadioButton* button : {none, before, after})
        tags->addWidget(button);
    auto* form = new QFormLayout;
    form->addRow(tr("Nota:"), noteEdit);
    form->addRow(tr("Ubicación:"), locationEdit);
    form->addRow(tr("Hallazgo:"), findingBox);
    form->addRow(tr("Gravedad:"), severityBox);
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

QString NoteDialog::location() const {
    return cleanDetail(locationEdit->text()).left(longestLocation);
}

Finding NoteDialog::finding() const {
    const int index = findingBox->currentIndex();
    return index > 0 && index <= int(std::size(findings)) ? findings[index - 1] : Finding::None;
}

int NoteDialog::severity() const {
    return finding() == Finding::None ? 0 : severityBox->value();
}

void Note::fill(Observation& observation) const {
    observation.note = text;
    observation.tag = tag;
    observation.location = location;
    observation.finding = finding;
    observation.severity = severity;
}

std::optional<JobRequest> askJob(QWidget* owner) {
    JobDialog dialog(owner);
    {
        const auto store = platform::SettingsStore::open();
        dialog.operatorName->setText(remembered(store.get(), lastOperator, longestDetail));
        dialog.robotModel->setText(remembered(store.get(), lastRobotModel, longestDetail));
        dialog.robotSerial->setText(remembered(store.get(), lastRobotSerial, longestDetail));
    }
    if (platform::Dialogs::showModal(dialog) != QDialog::Accepted)
        return std::nullopt;
    const JobDetails details = dialog.details();
    if (const auto store = platform::SettingsStore::open()) {
        store->writeString(lastOperator, details.operatorName);
        store->writeString(lastRobotModel, details.robotModel);
        store->writeString(lastRobotSerial, details.robotSerial);
    }
    return JobRequest{dialog.jobName(), details};
}

std::optional<Note> askNote(QWidget* owner) {
    NoteDialog dialog(owner);
    {
        const auto store = platform::SettingsStore::open();
        dialog.locationEdit->setText(remembered(store.get(), lastLocation, longestLocation));
    }
    if (platform::Dialogs::showModal(dialog) != QDialog::Accepted)
        return std::nullopt;
    const Note note{dialog.note(), dialog.tag(), dialog.location(), dialog.finding(),
                    dialog.severity()};
    if (const auto store = platform::SettingsStore::open())
        store->writeString(lastLocation, note.location);
    return note;
}

} // namespace job
