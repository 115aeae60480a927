#pragma once

#include <QDialog>

#include <memory>
#include <stdexcept>

namespace Ui {
class TFConfigura;
}

// A text that is not a decimal integer where one is required.
class InvalidIntegerError : public std::runtime_error {
public:
    explicit InvalidIntegerError(const QString& text);
};

// "Datos puerto": shows the stored port settings and writes all four back on OK; a pause or
// an interval outside its bounds is refused. Changes take effect at the next start of the console.
class TFConfigura : public QDialog {
    Q_OBJECT
public:
    explicit TFConfigura(QWidget* owner = nullptr);
    ~TFConfigura() override;

    void FormCreate();
    void BitBtn1Click();

    Ui::TFConfigura& ui() { return *ui_; }

private:
    void SaveSettings();

    std::unique_ptr<Ui::TFConfigura> ui_;
};

// The dialog currently open, if any.
extern TFConfigura* FConfigura;
