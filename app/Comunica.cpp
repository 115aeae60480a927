#include "app/Comunica.h"

#include "app/ConsoleSettings.h"
#include "platform/Dialogs.h"
#include "platform/SettingsStore.h"
#include "ui_Comunica.h"

#include <QStyle>

TFConfigura* FConfigura = nullptr;

namespace {

int toInteger(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok)
        throw InvalidIntegerError(text);
    return value;
}

} // namespace

InvalidIntegerError::InvalidIntegerError(const QString& text)
    : std::runtime_error(
          QStringLiteral("\"%1\" no es un número entero válido").arg(text).toStdString()) {}

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
    try {
        if (auto retardo = store->readInteger(settings::kRetardo))
            ui_->Edit3->setText(QString::number(*retardo));
        if (auto intervalo = store->readInteger(settings::kIntervalo))
            ui_->Edit4->setText(QString::number(*intervalo));
    } catch (const platform::SettingsReadError& error) {
        platform::Dialogs::showException(error);
    }
}

// Writes in order and stops at the first value that is not an integer, leaving the dialog
// open for correction; what was written before it stays written.
void TFConfigura::BitBtn1Click() {
    if (auto store = platform::SettingsStore::open()) {
        store->writeString(settings::kModeString, ui_->Edit1->text());
        store->writeString(settings::kPortName, ui_->Edit2->text());
        store->writeInteger(settings::kRetardo, toInteger(ui_->Edit3->text()));
        store->writeInteger(settings::kIntervalo, toInteger(ui_->Edit4->text()));
    }
    accept();
}
