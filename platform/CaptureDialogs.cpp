#include "platform/CaptureDialogs.h"

#include "platform/CaptureSources.h"
#include "platform/Dialogs.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

namespace platform {

namespace {

struct PageField {
    CameraProperty property;
    const char* label;
    double lowest;
    double highest;
};

const PageField cameraFields[] = {
    {CameraProperty::Brightness, QT_TRANSLATE_NOOP("platform::CameraPageDialog", "Brillo"), -10000,
     10000},
    {CameraProperty::Contrast, QT_TRANSLATE_NOOP("platform::CameraPageDialog", "Contraste"), -10000,
     10000},
    {CameraProperty::Saturation, QT_TRANSLATE_NOOP("platform::CameraPageDialog", "Saturación"),
     -10000, 10000},
    {CameraProperty::Hue, QT_TRANSLATE_NOOP("platform::CameraPageDialog", "Tono"), -10000, 10000},
    {CameraProperty::Gain, QT_TRANSLATE_NOOP("platform::CameraPageDialog", "Ganancia"), -10000,
     10000},
    {CameraProperty::Exposure, QT_TRANSLATE_NOOP("platform::CameraPageDialog", "Exposición"),
     -100000, 100000},
};

const PageField videoFields[] = {
    {CameraProperty::Width, QT_TRANSLATE_NOOP("platform::CameraPageDialog", "Ancho"), 16, 7680},
    {CameraProperty::Height, QT_TRANSLATE_NOOP("platform::CameraPageDialog", "Alto"), 16, 4320},
    {CameraProperty::Rate, QT_TRANSLATE_NOOP("platform::CameraPageDialog", "Imágenes por segundo"),
     1, 240},
};

QDialogButtonBox* okCancel(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

} // namespace

SelectCameraDialog::SelectCameraDialog(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("SelectCam"));
    setWindowTitle(QStringLiteral("Select CAM"));
    auto* layout = new QVBoxLayout(this);
    list_ = new QListWidget(this);
    layout->addWidget(list_);
    auto* add = new QPushButton(tr("Añadir fuente..."), this);
    connect(add, &QPushButton::clicked, this, &SelectCameraDialog::addSourceFromOperator);
    layout->addWidget(add);
    layout->addWidget(okCancel(this));
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    fill();
}

void SelectCameraDialog::fill() {
    list_->clear();
    sources_ = availableSources();
    for (const CaptureSource& source : sources_)
        list_->addItem(source.label);
    if (list_->count() > 0)
        list_->setCurrentRow(0);
}

std::optional<int> SelectCameraDialog::chosenIndex() const {
    const int row = list_->currentRow();
    if (row < 0)
        return std::nullopt;
    return row;
}

std::optional<CaptureSource> SelectCameraDialog::chosenSource() const {
    const std::optional<int> row = chosenIndex();
    if (!row || *row >= static_cast<int>(sources_.size()))
        return std::nullopt;
    return sources_[static_cast<std::size_t>(*row)];
}

void SelectCameraDialog::addSourceFromOperator() {
    const std::optional<QString> text = Dialogs::inputText(
        {this, tr("Añadir fuente"),
         tr("Archivo de vídeo, dirección de red o \"test\" (\"test:1280x720\")"), QString()});
    if (!text || text->trimmed().isEmpty())
        return;
    if (const QString problem = captureSourceProblem(*text); !problem.isEmpty()) {
        Dialogs::message(
            {this, problem, tr("Añadir fuente"), MessageIcon::Error, MessageButtons::Ok, {}});
        return;
    }
    addSource(parseCaptureSource(*text));
    fill();
    list_->setCurrentRow(list_->count() - 1);
}

CameraPageDialog::CameraPageDialog(Page page, FrameSource* source, QWidget* owner)
    : QDialog(owner), source_(source) {
    const bool camera = page == Page::Camera;
    setObjectName(camera ? QStringLiteral("camera_pp") : QStringLiteral("video_pp"));
    setWindowTitle(camera ? tr("Propiedades de la cámara") : tr("Formato de vídeo"));
    auto* layout = new QFormLayout(this);
    const auto add = [&](const PageField& entry) {
        auto* box = new QDoubleSpinBox(this);
        box->setRange(entry.lowest, entry.highest);
        box->setDecimals(2);
        const std::optional<double> value =
            source_ ? source_->property(entry.property) : std::nullopt;
        box->setEnabled(value.has_value());
        if (value) {
            box->setValue(*value);
            shown_[entry.property] = box->value();
        }
        fields_[entry.property] = box;
        layout->addRow(tr(entry.label), box);
    };
    if (camera)
        for (const PageField& entry : cameraFields)
            add(entry);
    else
        for (const PageField& entry : videoFields)
            add(entry);
    layout->addRow(okCancel(this));
}

QDoubleSpinBox* CameraPageDialog::field(CameraProperty property) const {
    const auto found = fields_.find(property);
    return found == fields_.end() ? nullptr : found->second;
}

void CameraPageDialog::apply() {
    if (!source_)
        return;
    for (const auto& [property, value] : shown_) {
        const double chosen = fields_.at(property)->value();
        if (chosen != value)
            source_->setProperty(property, chosen);
    }
}

void showCameraPage(CameraPageDialog::Page page, FrameSource* source, QWidget* owner) {
    CameraPageDialog dialog(page, source, owner);
    if (Dialogs::showModal(dialog) == QDialog::Accepted)
        dialog.apply();
}

} // namespace platform
