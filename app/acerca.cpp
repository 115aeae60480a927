#include "app/acerca.h"

#include "ui_acerca.h"

TFAcerca* FAcerca = nullptr;

TFAcerca::TFAcerca(QWidget* owner) : QDialog(owner), ui_(std::make_unique<Ui::TFAcerca>()) {
    ui_->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(298, 260);
    connect(ui_->OKButton, &QPushButton::clicked, this, &TFAcerca::OKButtonClick);
}

TFAcerca::~TFAcerca() = default;

void TFAcerca::OKButtonClick() {
    accept();
}
