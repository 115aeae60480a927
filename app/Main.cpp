#include "app/Main.h"

#include "app/Comunica.h"
#include "app/ConsoleSettings.h"
#include "app/acerca.h"
#include "platform/Dialogs.h"
#include "ui_Main.h"

#include <QDateTime>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QRandomGenerator>
#include <QScreen>

TForm1* Form1 = nullptr;

namespace {

QRandomGenerator clockSeededGenerator() {
    return QRandomGenerator(static_cast<quint32>(QDateTime::currentMSecsSinceEpoch()));
}

template <typename Dialog> void showFreshDialog(QWidget* owner, Dialog*& reference) {
    auto dialog = std::make_unique<Dialog>(owner);
    if (!reference)
        reference = dialog.get();
    platform::Dialogs::showModal(*dialog);
    reference = nullptr;
}

} // namespace

TForm1::TForm1(QWidget* owner) : QDialog(owner), ui_(std::make_unique<Ui::TForm1>()) {
    ui_->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(1014, 734);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    connect(ui_->VrSalir, &QPushButton::clicked, this, &TForm1::VrSalirClick);
    connect(ui_->VrConfigura, &QPushButton::clicked, this, &TForm1::VrConfiguraClick);
    connect(ui_->VrAcercade, &QPushButton::clicked, this, &TForm1::VrAcercadeClick);
    FormCreate();
}

TForm1::~TForm1() {
    FormDestroy();
}

int TForm1::ShowModal() {
    return exec();
}

void TForm1::FormCreate() {
    ChooseFileNameBases();
    ui_->Nivel->setText(QString::number(state_.LevelValue));
    ui_->Bal->setText(QString::number(state_.BalanceValue));
    state_.ShowRed = state_.ShowGreen = state_.ShowBlue = true;
    ReadSettings();
    state_.MainWindowHandle = winId();
    OpenRobotPort();
    state_.DriveSpeed = 10;
    SetSliderStartPositions();
    StartController();
    state_.VideoNumber = static_cast<int>(clockSeededGenerator().bounded(1000));
    StartCamera();
}

void TForm1::FormDestroy() {
    StopCamera();
}

void TForm1::ChooseFileNameBases() {
    state_.SnapshotBase =
        QString::number(clockSeededGenerator().bounded(10000)) + QStringLiteral("foto");
}

// An unreadable stored value is reported and keeps its default; the start-up goes on.
void TForm1::ReadSettings() {
    const settings::StartupRead read = settings::readStartupSettings();
    for (const QString& name : read.unreadable) {
        platform::Dialogs::message({this, settings::unreadableSettingMessage(name, read.values),
                                    QStringLiteral("Error"), platform::MessageIcon::Error,
                                    platform::MessageButtons::Ok});
    }
    portName_ = read.values.portName;
    modeString_ = read.values.modeString;
    state_.Retardo = read.values.retardo;
    state_.Intervalo = read.values.intervalo;
}

void TForm1::OpenRobotPort() {}

void TForm1::SetSliderStartPositions() {}

void TForm1::StartController() {
    state_.JoystickPresent = InitJoystick();
    if (!state_.JoystickPresent)
        ui_->Rxtext->setText(QStringLiteral("Sin joystick"));
}

bool TForm1::InitJoystick() {
    return false;
}

void TForm1::AcquireJoystick() {}

void TForm1::StartCamera() {}

void TForm1::StopCamera() {}

void TForm1::FormActivate() {
    state_.ControllerActive = true;
    AcquireJoystick();
}

void TForm1::FormDeactivate() {
    state_.ControllerActive = false;
    AcquireJoystick();
}

void TForm1::VrSalirClick() {
    close();
}

void TForm1::VrConfiguraClick() {
    showFreshDialog(this, FConfigura);
}

void TForm1::VrAcercadeClick() {
    showFreshDialog(this, FAcerca);
}

bool TForm1::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate)
        FormActivate();
    else if (event->type() == QEvent::WindowDeactivate)
        FormDeactivate();
    return QDialog::event(event);
}

// Escape must not close the console: only "Salir" and the close box do.
void TForm1::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
