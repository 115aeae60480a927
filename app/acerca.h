#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class TFAcerca;
}

// "Acerca de ...": the product picture and four lines about the maker; OK or Enter close it.
class TFAcerca : public QDialog {
    Q_OBJECT
public:
    explicit TFAcerca(QWidget* owner = nullptr);
    ~TFAcerca() override;

    void OKButtonClick();

    Ui::TFAcerca& ui() { return *ui_; }

private:
    std::unique_ptr<Ui::TFAcerca> ui_;
};

// The About box currently open, if any.
extern TFAcerca* FAcerca;
