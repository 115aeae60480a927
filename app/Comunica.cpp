#include "app/Comunica.h"

#include "app/ConsoleSettings.h"
#include "platform/Dialogs.h"
#include "platform/SettingsStore.h"
#include "ui_Comunica.h"

#include <QLineEdit>
#include <QStyle>

#include <stdexcept>

TFConfigura* FConfigura = nullptr;

namespace {

int toInteger(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok)
        throw InvalidIntegerError(text);
    return value;
}

int toBoundedInteger(const QString& text, settings::Bounds bounds, QString (*refusal)(int)) {
    const int value = toInteger(text);
    if (!bounds.contains(value))
        throw std::range_error(refusal(value).toStdString());
    return value;
}

// A value that cannot be read is reported; the edit keeps what it shows.
void showStoredInteger(const platform::SettingsStore& store, const QString& name, QLineEdit& edit) {
    platform::Dialogs::runReportingExceptions([&] {
        if (auto value = store.readInteger(name))
            edit.setText(QString::number(*value));
    });
}

} // namespace

InvalidIntegerError::InvalidIntegerError(const QString& text)
    : std::runtime_error(
          TFConfigura::tr("\"%1\" no es un número entero válido").arg(text).toStdString()) {}

TFConfigura::TFConfigura(QWidget* owner)
    : QDialog(owner), ui_(std::make_unique<Ui::TFConfigura>()) {
    ui_->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(347, 275);
    ui_->BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    connect(ui_->BitBtn1, &QPushButton::clicked, this, &TFConfigura::BitBtn1Click);
    FormCreate();
}

TFConfigura::~TFConfigura() = default;

void TFConfigura::FormCreate() {
    auto store = platform::SettingsStore::open();
    if (!store)
        return;
    if (auto port = store->readString(settings::kPortName))
        ui_->Edit2->setText(*port);
    if (auto mode = store->readString(settings::kModeString))
        ui_->Edit1->setText(*mode);
    showStoredInteger(*store, settings::kRetardo, *ui_->Edit3);
    showStoredInteger(*store, settings::kIntervalo, *ui_->Edit4);
}

// A refused value is reported here and leaves the dialog open for correction.
void TFConfigura::BitBtn1Click() {
    if (platform::Dialogs::runReportingExceptions([this] { SaveSettings(); }))
        accept();
}

// Writes in order and stops at the first value that is refused; what was written before it
// stays written.
void TFConfigura::SaveSettings() {
    auto store = platform::SettingsStore::open();
    if (!store)
        return;
    store->writeString(settings::kModeString, ui_->Edit1->text());
    store->writeString(settings::kPortName, ui_->Edit2->text());
    store->writeInteger(settings::kRetardo,
                        toBoundedInteger(ui_->Edit3->text(), settings::kRetardoBounds,
                                         settings::retardoRangeMessage));
    store->writeInteger(settings::kIntervalo,
                        toBoundedInteger(ui_->Edit4->text(), settings::kIntervaloBounds,
                                         settings::intervaloRangeMessage));
}
