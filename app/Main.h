#pragma once

#include <QDialog>
#include <QString>

#include <cstdint>
#include <memory>

namespace Ui {
class TForm1;
}

// The values the main window's handlers share; one main window exists, so one of these.
struct MainWindowState {
    bool PortOk = false;
    bool ReplyExpected = true;
    int Retardo = 15;
    int Intervalo = 100;
    QString HumidityText = QStringLiteral("50%");
    QString TemperatureText = QStringLiteral("25ºC");
    QString SnapshotBase;
    int SnapshotNumber = 1;
    int VideoNumber = 0;
    int BalanceValue = 128;
    int LevelValue = 128;
    std::uint8_t DriveSpeed = 50;
    bool ShowRed = false;
    bool ShowGreen = false;
    bool ShowBlue = false;
    bool ControllerActive = true;
    bool JoystickPresent = false;
    WId MainWindowHandle = 0;
    bool InversionPhase = false;
    // True although the "Brazo activo" switch starts off.
    bool ArmActive = true;
};

// The console's main window. It is shown modally by the splash for the whole session and
// destroyed only when the program ends.
class TForm1 : public QDialog {
    Q_OBJECT
public:
    explicit TForm1(QWidget* owner = nullptr);
    ~TForm1() override;

    // Shows the window modally; returns when the operator closes it.
    int ShowModal();

    void FormCreate();
    void FormDestroy();
    void FormActivate();
    void FormDeactivate();
    void VrSalirClick();
    void VrConfiguraClick();
    void VrAcercadeClick();

    MainWindowState& state() { return state_; }
    Ui::TForm1& ui() { return *ui_; }

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ChooseFileNameBases();
    void ReadSettings();
    void OpenRobotPort();
    void SetSliderStartPositions();
    void StartController();
    void StartCamera();
    void StopCamera();
    bool InitJoystick();
    void AcquireJoystick();

    std::unique_ptr<Ui::TForm1> ui_;
    MainWindowState state_;
    QString portName_;
    QString modeString_;
};

// The main window, set by the splash when it creates it and kept until exit.
extern TForm1* Form1;
