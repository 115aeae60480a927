#pragma once

#include "app/CommandLine.h"

#include <QTimer>
#include <QWidget>

#include <memory>

namespace Ui {
class TArranque;
}

// The splash window and the application's main form: about a second after it appears it
// creates the main window, hides itself and shows the main window modally; when that
// display ends it closes, which ends the program.
class TArranque : public QWidget {
    Q_OBJECT
public:
    explicit TArranque(QWidget* parent = nullptr, ConsoleOptions options = {});
    ~TArranque() override;

    void Timer1Timer();

    QTimer* Timer1 = nullptr;

protected:
    // The main form: closing it ends the message loop, whatever other windows exist.
    void closeEvent(QCloseEvent* event) override;

private:
    std::unique_ptr<Ui::TArranque> ui_;
    ConsoleOptions options_;
    QTimer warmUp_;
};

// Shows the splash, runs the message loop and returns the program's exit code.
int runStartup(const ConsoleOptions& options = {});

// Program entry: the application object, then the start-up.
int runConsole(int argc, char** argv);
