#include "app/Main.h"

#include "app/Comunica.h"
#include "app/ConsoleMenu.h"
#include "app/ConsoleSettings.h"
#include "app/DoubleClick.h"
#include "app/Shape.h"
#include "app/acerca.h"
#include "input/LostControl.h"
#include "job/ConsoleReading.h"
#include "job/JobDialogs.h"
#include "link/Commands.h"
#include "link/PortSetup.h"
#include "link/RecordedLine.h"
#include "platform/CaptureDialogs.h"
#include "platform/CaptureSources.h"
#include "platform/Dialogs.h"
#include "platform/Joystick.h"
#include "platform/Keys.h"
#include "ui_Main.h"
#include "video/BitmapFile.h"
#include "video/PicturePanel.h"
#include "widgets/Vrthreads.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QDateTime>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QRandomGenerator>
#include <QScopedValueRollback>
#include <QScreen>
#include <QWindow>

#include <climits>
#include <cstdio>

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

input::StatusLine::Condition recordingCondition(video::RecordingWatch::Notice notice) {
    switch (notice) {
    case video::RecordingWatch::Notice::DiskLow:
        return input::StatusLine::Condition::DiskLow;
    case video::RecordingWatch::Notice::FramesDropped:
        return input::StatusLine::Condition::FramesDropped;
    case video::RecordingWatch::Notice::Failed:
        break;
    }
    return input::StatusLine::Condition::RecordingFailed;
}

QString percentText(int position) {
    return QStringLiteral("% ") + QString::number(position * 2);
}

} // namespace

TForm1::TForm1(QWidget* owner, QString cameraSource)
    : QDialog(owner), ui_(std::make_unique<Ui::TForm1>()), statusLine_([this](const QString& text) {
          ui_->Rxtext->setText(text);
          ui_->Rxtext->repaint();
      }),
      record_(std::make_unique<robot::TrafficRecord>(robot::TrafficRecord::defaultFolder())),
      cameraSource_(std::move(cameraSource)),
      recordingWatch_(
          recorder_,
          [this](video::RecordingWatch::Notice notice, const QString& text) {
              statusLine_.raise(recordingCondition(notice), text);
          },
          [this](video::RecordingWatch::Notice notice) {
              statusLine_.clear(recordingCondition(notice));
          }) {
    ui_->setupUi(this);
    baseTitle_ = windowTitle();
    record_->onFailure([this](const QString&) { WatchTrafficRecord(); });
    statusRefresh_.setTimerType(Qt::PreciseTimer);
    statusRefresh_.setInterval(500);
    connect(&statusRefresh_, &QTimer::timeout, this, [this] { statusLine_.refresh(); });
    statusRefresh_.start();
    recordingLook_.setTimerType(Qt::PreciseTimer);
    recordingLook_.setInterval(250);
    connect(&recordingLook_, &QTimer::timeout, this, [this] {
        if (recordingWatch_.look()) {
            ShowRecordingStopped();
            if (recorder_.failure() == video::Recorder::Failure::SizeChanged)
                ContinueRecording();
        }
        WatchTrafficRecord();
    });
    recordingLook_.start();
    reconnect_.setTimerType(Qt::PreciseTimer);
    reconnect_.setInterval(1000);
    connect(&reconnect_, &QTimer::timeout, this, [this] { ReconnectTimer(); });
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(1014, 734);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    SetUpComponents();
    SetUpTimers();
    SetUpVideo();
    BindEvents();
    BindVideoEvents();
    // Whatever step of the start-up fails, the window opens with what was set up; its
    // handlers then find a link without a port.
    platform::Dialogs::runReportingExceptions([this] { FormCreate(); });
    if (!inversion_)
        AttachLink(std::make_unique<platform::SerialPort>());
}

TForm1::~TForm1() {
    FormDestroy();
}

int TForm1::ShowModal() {
    return exec();
}

void TForm1::BindEvents() {
    auto& ui = *ui_;
    ui.VrSalir->OnClick = [this](QObject*) { VrSalirClick(); };
    ui.VrConfigura->OnClick = [this](QObject*) { VrConfiguraClick(); };
    ui.VrAcercade->OnClick = [this](QObject*) { VrAcercadeClick(); };
    ui.VrTemp->OnClick = [this](QObject*) { VrTempClick(); };
    ui.VrHumedad->OnClick = [this](QObject*) { VrHumedadClick(); };
    ui.VrPowerButton9->OnClick = [this](QObject*) { VrPowerButton9Click(); };
    ui.VrPowerButton1->OnClick = [this](QObject*) { VrPowerButton1Click(); };
    ui.VrPowerButton8->OnClick = [this](QObject*) { VrPowerButton8Click(); };
    connect(ui.TempInv, &TVrTrackBar::OnChange, this, &TForm1::TempInvChange);
    connect(ui.VrSlider1, &TVrSlider::OnChange, this, &TForm1::VrSlider1Change);
    connect(ui.VrSlider2, &TVrSlider::OnChange, this, &TForm1::VrSlider2Change);
    connect(ui.VrSlider3, &TVrSlider::OnChange, this, &TForm1::VrSlider3Change);
    connect(ui.VrSlider4, &TVrSlider::OnChange, this, &TForm1::VrSlider4Change);
    ui.Label5->installEventFilter(this);
    ui.Label8->installEventFilter(this);
}

void TForm1::FormCreate() {
    ChooseFileNameBases();
    ui_->Nivel->setText(QString::number(state_.LevelValue));
    ui_->Bal->setText(QString::number(state_.BalanceValue));
    state_.ShowRed = state_.ShowGreen = state_.ShowBlue = true;
    SyncVideoSwitches();
    ReadSettings();
    state_.MainWindowHandle = winId();
    OpenRobotPort();
    StartKeyPreview();
    state_.DriveSpeed = 10;
    SetSliderStartPositions();
    StartController();
    state_.VideoNumber = static_cast<int>(clockSeededGenerator().bounded(1000));
    StartCamera();
}

void TForm1::FormDestroy() {
    Timer1->SetEnabled(false);
    TimerJoy->SetEnabled(false);
    StopCamera();
    // A recording left running is completed, not left as a broken file.
    recorder_.stop();
    job_->recordingStopped();
}

void TForm1::ChooseFileNameBases() {
    state_.SnapshotBase =
        QString::number(clockSeededGenerator().bounded(10000)) + QStringLiteral("foto");
}

// An unreadable stored value is reported and keeps its default; the start-up goes on.
void TForm1::ReadSettings() {
    const settings::StartupRead read = settings::readStartupSettings();
    for (const settings::UnreadableValue& value : read.unreadable) {
        platform::Dialogs::message({this,
                                    settings::unreadableSettingMessage(value),
                                    tr("Error"),
                                    platform::MessageIcon::Error,
                                    platform::MessageButtons::Ok,
                                    {}});
    }
    portName_ = read.values.portName;
    modeString_ = read.values.modeString;
    state_.Retardo = read.values.retardo;
    state_.Intervalo = read.values.intervalo;
    formato_ = read.values.formato;
    imagen_ = read.values.imagen;
    logotipo_ = read.values.logotipo;
    idioma_ = read.values.idioma;
    pipeline_->controls.OwnSize = imagen_ == platform::PictureSize::Own;
    ShowFormat();
}

// Applies to the next recording; one running keeps its format.
void TForm1::ChooseFormat(video::VideoFormat format) {
    formato_ = format;
    ShowFormat();
    if (!settings::storeFormato(format))
        showStatus(tr("Formato no guardado en la configuración"));
}

// "Compresión" is Motion-JPEG in AVI; MP4 is always H.264.
void TForm1::ShowFormat() {
    const bool mp4 = formato_ == video::VideoFormat::Mp4;
    ui_->FormatoVideo->setVisible(mp4);
    ui_->Comprime->setEnabled(!mp4);
    ui_->Comprime->setToolTip(mp4 ? tr("No se aplica a MP4") : QString());
}

void TForm1::OpenRobotPort() {
    robot::LineSetup setup = robot::setUpLine(portName_, modeString_);
    for (const robot::PortFailure& failure : setup.failures)
        platform::Dialogs::message(robot::failureMessage(failure, this));
    state_.PortOk = setup.portOk;
    WatchTrafficRecord();
    AttachLink(std::move(setup.line));
    ShowPortInUse(setup.portInUse);
}

// Stays in view while another program keeps the port from us.
void TForm1::ShowPortInUse(bool inUse) {
    if (inUse)
        statusLine_.raise(input::StatusLine::Condition::PortInUse, robot::portInUseText());
    else
        statusLine_.clear(input::StatusLine::Condition::PortInUse);
}

std::unique_ptr<platform::SerialLine> TForm1::Recorded(std::unique_ptr<platform::SerialLine> line) {
    if (!line)
        return nullptr;
    return std::make_unique<robot::RecordedLine>(std::move(line), *record_);
}

// The record is tried again on its own thread; here it is only asked how it stands.
void TForm1::WatchTrafficRecord() {
    const QString problem = record_->problem();
    if (problem.isEmpty())
        statusLine_.clear(input::StatusLine::Condition::TrafficRecordUnavailable);
    else
        statusLine_.raise(input::StatusLine::Condition::TrafficRecordUnavailable,
                          tr("Registro del enlace no disponible: %1").arg(problem));
}

void TForm1::AttachLink(std::unique_ptr<platform::SerialLine> line) {
    link_ = std::make_unique<robot::RobotLink>(
        Recorded(std::move(line)), static_cast<robot::LinkIndicators&>(*this), state_.Retardo);
    inversion_ =
        std::make_unique<robot::InversionMode>(*link_, static_cast<robot::InversionTimer&>(*this));
    auto& panel = static_cast<input::ConsolePanel&>(*this);
    keyboard_ = std::make_unique<input::Keyboard>(state_, panel, *link_);
    controller_ = std::make_unique<input::GameController>(state_, panel, *link_);
    plug_ = std::make_unique<input::ControllerPlug>(*controller_, panel, *link_,
                                                    platform::openFirstJoystick);
}

// The window sees every key before the focused control, which still gets it afterwards.
void TForm1::StartKeyPreview() {
    windowHandle()->installEventFilter(this);
    platform::requestDetectableAutoRepeat();
}

// Each position differs from the stored one, so every change handler runs; the lights
// slider sends the first command of the session.
void TForm1::SetSliderStartPositions() {
    ui_->VrSlider1->SetPosition(state_.BalanceValue);
    ui_->VrSlider2->SetPosition(state_.LevelValue);
    ui_->VrSlider3->SetPosition(robot::noPower - state_.DriveSpeed);
    ui_->VrSlider4->SetPosition(20);
}

void TForm1::StartController() {
    state_.JoystickPresent = InitJoystick();
    if (state_.JoystickPresent) {
        record_->event("controller attached");
        Timer1->SetEnabled(true);
    } else
        showStatus(tr("Sin joystick"));
    TimerJoy->SetEnabled(true);
}

// A controller plugged in or pulled out while the console runs.
void TForm1::WatchControllers() {
    if (!joystickDevices_.pumpChanges())
        return;
    const bool present = plug_->follow(state_.JoystickPresent, state_.ControllerActive);
    if (present != state_.JoystickPresent)
        record_->event(present ? "controller attached" : "controller removed");
    state_.JoystickPresent = present;
    Timer1->SetEnabled(present);
}

bool TForm1::InitJoystick() {
    return controller_->init(platform::openFirstJoystick());
}

// Activation may come while a start-up message box is shown, before the input exists.
void TForm1::AcquireJoystick() {
    if (controller_)
        controller_->acquire(state_.ControllerActive);
}

bool TForm1::PollJoystick() {
    return controller_->poll(state_.JoystickPresent) == input::PollOutcome::Ok;
}

void TForm1::VrTimer1Timer() {
    controller_->tick(state_.JoystickPresent);
}

void TForm1::FormActivate() {
    state_.ControllerActive = true;
    AcquireJoystick();
}

void TForm1::FormDeactivate() {
    state_.ControllerActive = false;
    AcquireJoystick();
    if (controller_)
        input::stopOnLostControl(*keyboard_, *controller_, *link_);
}

void TForm1::FormKeyDown(int key) {
    const auto unsentBefore = link_->unsentBytes();
    keyboard_->keyDown(key);
    if (link_->unsentBytes() != unsentBefore)
        showStatus(tr("Sin conexión: no enviado"));
}

// The note box opens once the release has sent its Stop, as every key's release does.
void TForm1::FormKeyUp(int key) {
    keyboard_->keyUp();
    if (key == job::observationKey && job_->active())
        QMetaObject::invokeMethod(this, &TForm1::ObservationKey, Qt::QueuedConnection);
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

void TForm1::SendByte(std::uint8_t byte) {
    link_->SendByte(byte);
}

void TForm1::Timer2Timer() {
    link_->lampTimerTick();
}

void TForm1::ReconnectTimer() {
    if (!reopener_)
        reopener_ = std::make_unique<robot::LineReopener>(portName_, modeString_);
    link_->reconnect(Recorded(reopener_->attempt()));
    ShowPortInUse(reopener_->portInUse());
}

void TForm1::VrTempClick() {
    if (auto polling =
            robot::Telemetry::pollingAfterToggle(ui_->VrTemp->Active(), ui_->VrHumedad->Active()))
        TimerRx->SetEnabled(*polling);
}

void TForm1::VrHumedadClick() {
    if (auto polling =
            robot::Telemetry::pollingAfterToggle(ui_->VrHumedad->Active(), ui_->VrTemp->Active()))
        TimerRx->SetEnabled(*polling);
}

void TForm1::TimerRxTimer() {
    telemetry_.poll(*link_, static_cast<robot::TelemetryDisplay&>(*this));
}

void TForm1::VrPowerButton9Click() {
    inversion_->modeToggled(ui_->VrPowerButton9->Active(), ui_->TempInv->Position());
}

void TForm1::TempInvChange() {
    if (inversion_)
        inversion_->periodChanged(ui_->TempInv->Position());
}

void TForm1::TimerInvTimer() {
    inversion_->reverse(ui_->VrPowerButton8->Active());
}

void TForm1::VrSlider1Change() {
    state_.BalanceValue = ui_->VrSlider1->Position();
    SyncVideoSwitches();
    ui_->Bal->setText(QString::number(state_.BalanceValue));
}

void TForm1::VrSlider2Change() {
    state_.LevelValue = ui_->VrSlider2->Position();
    SyncVideoSwitches();
    ui_->Nivel->setText(QString::number(state_.LevelValue));
}

void TForm1::VrSlider3Change() {
    const int position = ui_->VrSlider3->Position();
    state_.StoredSpeed = state_.DriveSpeed;
    state_.DriveSpeed = static_cast<std::uint8_t>(robot::noPower - position);
    ui_->Power->setValue(position);
    ui_->Label20->setText(percentText(position));
}

void TForm1::VrSlider4Change() {
    const int position = ui_->VrSlider4->Position();
    if (link_)
        robot::sendLightsFromSlider(*link_, position);
    ui_->Label21->setText(percentText(position));
}

void TForm1::VrPowerButton1Click() {
    state_.ArmActive = ui_->VrPowerButton1->Active();
}

void TForm1::VrPowerButton8Click() {
    robot::sendCleaningMotor(*link_, ui_->VrPowerButton8->Active());
}

void TForm1::Label7Click() {
    robot::send(*link_, robot::Command::FrontCamera);
    ShowFrontCamera(true);
}

void TForm1::Label8Click() {
    robot::send(*link_, robot::Command::RearCamera);
    ShowFrontCamera(false);
}

void TForm1::ShowFrontCamera(bool front) {
    ui_->Shape8->setVisible(front);
    ui_->Shape11->setVisible(!front);
}

void TForm1::setTxLamp(bool on) {
    ui_->VrLed1->SetActive(on);
}

void TForm1::setRxLamp(bool on) {
    ui_->VrLed2->SetActive(on);
}

void TForm1::startLampTimer() {
    Timer2->SetEnabled(true);
}

void TForm1::stopLampTimer() {
    Timer2->SetEnabled(false);
}

void TForm1::showReturn(const QString& text) {
    ui_->Retorno->setText(text);
}

// The answer label holds the state while the link is out of order: no answer overwrites it
// then, and no key text reaches it.
void TForm1::showLinkState(robot::LinkState state) {
    record_->event(input::LinkStatus::eventText(state));
    linkStatus_.show(state);
    const QString indicator = input::LinkStatus::indicatorText(state);
    ui_->Retorno->setStyleSheet(
        indicator.isEmpty() ? QString() : QStringLiteral("color: #c00000; font-weight: bold"));
    ui_->Retorno->setText(indicator.isEmpty() ? QStringLiteral("0") : indicator);
    if (state == robot::LinkState::Lost)
        reconnect_.start();
    else
        reconnect_.stop();
}

void TForm1::showTelemetryLine(const QString& line) {
    ui_->Label11->setText(line);
}

void TForm1::setInversionInterval(int milliseconds) {
    TimerInv->SetInterval(static_cast<unsigned>(milliseconds));
}

void TForm1::setInversionEnabled(bool enabled) {
    TimerInv->SetEnabled(enabled);
}

void TForm1::showStatus(const QString& text) {
    statusLine_.show(text);
}

void TForm1::setPowerBar(int position) {
    ui_->Power->setValue(position);
}

void TForm1::setMotorSlider(int position) {
    ui_->VrSlider3->SetPosition(position);
}

void TForm1::setCleaningSwitch(bool on) {
    ui_->VrPowerButton8->SetActive(on);
}

void TForm1::clickCleaningSwitch() {
    ui_->VrPowerButton8->SetActive(!ui_->VrPowerButton8->Active());
    VrPowerButton8Click();
}

void TForm1::showCamera(bool front) {
    ShowFrontCamera(front);
}

void TForm1::takeSnapshot() {
    PhotoCommand();
}

void TForm1::clickRecord() {
    RecordClick();
}

void TForm1::clickStopRecord() {
    StopRecordClick();
}

void TForm1::showRobotText() {
    showStatus(link_->textQuery());
}

void TForm1::setJogMeter(int value) {
    ui_->VrJogMeter1->Value().SetValue(value);
}

bool TForm1::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate)
        FormActivate();
    else if (event->type() == QEvent::WindowDeactivate)
        FormDeactivate();
    return QDialog::event(event);
}

// The two camera letters are plain labels; a click on either selects its camera.
bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == windowHandle())
        PreviewKey(event);
    else if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == ui_->Label5)
            Label7Click();
        else if (watched == ui_->Label8)
            Label8Click();
    }
    return QDialog::eventFilter(watched, event);
}

// Hands the key to the key handlers and lets it go on to the focused control.
void TForm1::PreviewKey(QEvent* event) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
        return;
    const auto& key = static_cast<const QKeyEvent&>(*event);
    if (platform::isRepeatRelease(key) || repeatFilter_.isStaleRepeat(key))
        return;
    if (event->type() == QEvent::KeyPress)
        FormKeyDown(platform::virtualKey(key));
    else
        FormKeyUp(platform::virtualKey(key));
}

// Escape must not close the console: only "Salir" and the close box do.
void TForm1::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

// Video: camera, frame pipeline, still pictures and recording.

void TForm1::SetUpVideo() {
    job_ = std::make_unique<job::Session>(
        [this] { return JobReading(); }, [this](const QString& text) { showStatus(text); },
        job::jobsRoot(), [this](const QString& text) { ShowObservationFailure(text); });
    pipeline_ = std::make_unique<video::FramePipeline>(
        surface_, recorder_,
        video::FramePipeline::Texts{[this] { return telemetry_.temperatureText(); },
                                    [this] { return telemetry_.humidityText(); }},
        QApplication::font());
    rawPanel_ = new video::PicturePanel(*ui_->Panel1);
    resultPanel_ = new video::PicturePanel(*ui_->Panel5);
    remote_ = std::make_unique<RemoteViewControl>(*this, [this] {
        return consoleViewState(*job_, link_ ? link_->state() : robot::LinkState::Lost,
                                state_.Recording, telemetry_);
    });
    pipeline_->setResultHandler([this](const QImage& result) {
        resultPanel_->show(result);
        remote_->offerFrame(result);
    });
    capture_ = std::make_unique<platform::Capture>(
        [this](const std::uint8_t* bits, int width, int height) {
            FrameCallback(bits, width, height);
        },
        [this] { PicturesStalled(); }, [this] { PicturesResumed(); },
        [this](platform::SourceFault fault) { SourceFaulted(fault); });
}

// Cleared first, so a second failure with the same text is news again.
void TForm1::ShowObservationFailure(const QString& text) {
    statusLine_.clear(input::StatusLine::Condition::ObservationFailed);
    if (!text.isEmpty())
        statusLine_.raise(input::StatusLine::Condition::ObservationFailed, text);
}

// The capture thread's reports: the watch takes each, and the window shows it on its own
// thread.

void TForm1::PicturesStalled() {
    pipeline_->noPicture();
    rawPanel_->markOld();
    resultPanel_->markOld();
    cameraWatch_.report(cameraWatch_.run(), true);
    PostCameraReport();
}

void TForm1::PicturesResumed() {
    cameraWatch_.report(cameraWatch_.run(), false);
    PostCameraReport();
}

void TForm1::SourceFaulted(platform::SourceFault fault) {
    cameraWatch_.reportFault(cameraWatch_.run(), fault);
    PostCameraReport();
}

void TForm1::PostCameraReport() {
    QMetaObject::invokeMethod(this, "CameraReport", Qt::QueuedConnection);
}

// Posted by name: the capture thread hands nothing over but the watch's own report.
void TForm1::CameraReport() {
    cameraWatch_.update(state_.Recording);
    ShowRecordingLamp();
}

void TForm1::ShowRecordingLamp() {
    const input::RecordingLampLook look =
        input::recordingLamp(state_.Recording, cameraWatch_.noPicture());
    ui_->Led->SetEnableBlinking(look.blinking);
    ui_->Led->SetColorIndex(look.palette);
    if (!look.blinking)
        ui_->Led->SetActive(look.lit);
}

void TForm1::BindVideoEvents() {
    auto& ui = *ui_;
    ui.VrPowerButton2->OnClick = [this](QObject*) { VrPowerButton2Click(); };
    ui.VrPowerButton3->OnClick = [this](QObject*) { VrPowerButton3Click(); };
    ui.VrPowerButton4->OnClick = [this](QObject*) { VrPowerButton4Click(); };
    ui.VrPowerButton5->OnClick = [this](QObject*) { VrPowerButton5Click(); };
    ui.VrPowerButton6->OnClick = [this](QObject*) { VrPowerButton6Click(); };
    ui.VrPowerButton7->OnClick = [this](QObject*) { SyncVideoSwitches(); };
    // The telemetry switches also decide their overlays.
    for (TVrPowerButton* overlay : {ui.VrTemp, ui.VrHumedad}) {
        overlay->OnClick = [this, previous = overlay->OnClick](QObject* sender) {
            if (previous)
                previous(sender);
            SyncVideoSwitches();
        };
    }
    ui.VrDemoButton1->OnClick = [this](QObject*) { VrDemoButton1Click(); };
    ui.Record->OnClick = [this](QObject*) { RecordClick(); };
    ui.StopRecord->OnClick = [this](QObject*) { StopRecordClick(); };
    DoubleClick::bind(ui.Video, [this] { VideoDblClick(); });
    DoubleClick::bind(ui.Label12, [this] { Label12DblClick(); });
    DoubleClick::bind(ui.Panel3, [this] { Panel3DblClick(); });
}

// The capture thread reads switches and values only through the pipeline's controls.
void TForm1::SyncVideoSwitches() {
    auto& controls = pipeline_->controls;
    controls.ShowRed = state_.ShowRed;
    controls.ShowGreen = state_.ShowGreen;
    controls.ShowBlue = state_.ShowBlue;
    controls.BalanceValue = state_.BalanceValue;
    controls.LevelValue = state_.LevelValue;
    controls.ShowFps = ui_->VrPowerButton6->Active();
    controls.ShowTemperature = ui_->VrTemp->Active();
    controls.ShowHumidity = ui_->VrHumedad->Active();
    controls.ShowTitle = ui_->VrPowerButton7->Active();
}

// The sources are listed only when the command line names none.
std::optional<platform::CaptureSource> TForm1::CameraSource() {
    const platform::CameraChoice choice =
        platform::chooseCamera(cameraSource_,
                               cameraSource_.isEmpty() ? platform::availableSources()
                                                       : std::vector<platform::CaptureSource>(),
                               state_.ChosenCamera, state_.CameraIndex);
    state_.ChosenCamera = choice.chosen;
    state_.CameraIndex = choice.index;
    return choice.source;
}

// A new camera never shows the previous one's picture, in the panels or in a still.
void TForm1::StartCamera() {
    {
        auto lock = surface_.lock();
        surface_.clear();
    }
    rawPanel_->clear();
    resultPanel_->clear();
    cameraWatch_.started();
    if (const std::optional<platform::CaptureSource> source = CameraSource())
        capture_->start(
            platform::makeFrameSource(
                *source, chosenFormat_.value_or(platform::startFormat(imagen_)), imagen_),
            imagen_);
    pipeline_->controls.EffectsOn = false;
}

void TForm1::StopCamera() {
    capture_->stop();
}

// The pages of the camera on screen; the controller may have been taken by the pages.
void TForm1::VideoDblClick() {
    platform::showCameraPage(platform::CameraPageDialog::Page::Camera, capture_->source(), this);
    platform::showCameraPage(platform::CameraPageDialog::Page::Video, capture_->source(), this);
    // The format chosen on the pages is asked of the camera at this start and every later one.
    if (const platform::FrameSource* source = capture_->source())
        if (const std::optional<platform::VideoFormat> chosen = source->chosenFormat())
            chosenFormat_ = chosen;
    StopCamera();
    StartCamera();
    RegainController();
}

// A dialog closed without a choice keeps the running camera.
void TForm1::Label12DblClick() {
    platform::SelectCameraDialog dialog(this);
    if (platform::Dialogs::showModal(dialog) != QDialog::Accepted)
        return;
    const std::optional<platform::CaptureSource> chosen = dialog.chosenSource();
    if (!chosen)
        return;
    state_.CameraIndex = *dialog.chosenIndex();
    state_.ChosenCamera = chosen;
    cameraSource_.clear();
    // Another camera may not have the format chosen for the last one.
    chosenFormat_.reset();
    StopCamera();
    StartCamera();
}

void TForm1::FormDblClick() {
    const QImage raw = rawPicture();
    if (!raw.isNull())
        QGuiApplication::clipboard()->setImage(raw);
}

QImage TForm1::rawPicture() const {
    return rawPanel_->picture();
}

void TForm1::mouseDoubleClickEvent(QMouseEvent* event) {
    FormDblClick();
    QDialog::mouseDoubleClickEvent(event);
}

void TForm1::FrameCallback(const std::uint8_t* bits, int width, int height) {
    if (bits && pipeline_->takes(width, height))
        rawPanel_->showRows(bits, width, height);
    pipeline_->FrameCallback(bits, width, height);
}

void TForm1::TimerFPSTimer() {
    pipeline_->TimerFPSTimer();
}

void TForm1::VrPowerButton2Click() {
    state_.ShowRed = ui_->VrPowerButton2->Active();
    SyncVideoSwitches();
}

void TForm1::VrPowerButton3Click() {
    state_.ShowGreen = ui_->VrPowerButton3->Active();
    SyncVideoSwitches();
}

void TForm1::VrPowerButton4Click() {
    state_.ShowBlue = ui_->VrPowerButton4->Active();
    SyncVideoSwitches();
}

void TForm1::VrPowerButton5Click() {
    pipeline_->controls.EffectsOn = ui_->VrPowerButton5->Active();
}

void TForm1::VrPowerButton6Click() {
    TimerFPS->SetEnabled(ui_->VrPowerButton6->Active());
    SyncVideoSwitches();
}

void TForm1::VrDemoButton1Click() {
    const std::optional<QString> title = platform::Dialogs::inputText(
        {this, tr("Texto"), tr("Línea Mensaje"), pipeline_->TitleText.get()});
    if (title)
        pipeline_->TitleText.set(*title);
    RegainController();
}

void TForm1::RegainController() {
    state_.ControllerActive = true;
    AcquireJoystick();
    if (state_.JoystickPresent)
        PollJoystick();
}

void TForm1::Panel3DblClick() {
    const std::optional<QString> name = platform::Dialogs::saveFileName(
        {this, QString(), pictureName_,
         QStringLiteral("All (*.jpg *.jpeg *.bmp *.ico *.emf *.wmf);;JPEG Image File (*.jpg);;"
                        "Bitmaps (*.bmp)"),
         QStringLiteral("bmp")});
    if (!name)
        return;
    pictureName_ = *name;
    TakePicture(*name);
}

// The surface is copied under its lock and written outside it: frames never wait on a disk.
platform::DiskError TForm1::TakePicture(const QString& fileName) {
    const video::FrameCopy copy = surface_.copy();
    const video::DibSection picture = copy.dib();
    const platform::DiskError error =
        video::WriteBitmapFile(&picture, fileName.toStdString(), disk_);
    if (error != platform::DiskError::None)
        showStatus(tr("Foto no guardada: %1").arg(fileName));
    return error;
}

// A generated name never replaces a picture of an earlier run: the next free number is taken.
void TForm1::PhotoCommand() {
    showStatus(tr("Botón 1: Foto instantánea"));
    const std::optional<video::GeneratedName> name =
        job_->snapshotName(state_.SnapshotBase.toStdString(), state_.SnapshotNumber);
    if (!name) {
        showStatus(tr("Foto no guardada: sin nombre libre"));
        return;
    }
    TakePicture(QString::fromStdString(name->fileName.string()));
    state_.SnapshotNumber = name->number < INT_MAX ? name->number + 1 : name->number;
}

// The surface is copied under its lock and the recording started outside it, so the capture
// thread never waits for the disk; a start that fails changes neither lamp nor buttons.
void TForm1::RecordClick() {
    showStatus(tr("Botón 5: Secuencia de vídeo"));
    const std::optional<video::GeneratedName> name = job_->videoName(state_.VideoNumber, formato_);
    state_.VideoFileName = name ? QString::fromStdString(name->fileName.string()) : QString();
    if (state_.Recording)
        return;
    auto& controls = pipeline_->controls;
    controls.FramesPaused = true;
    const video::FrameCopy copy = surface_.copy();
    const video::DibSection picture = copy.dib();
    const std::filesystem::path fileName = name ? name->fileName : std::filesystem::path();
    const bool started = recordingWatch_.start(fileName, state_.Intervalo, ui_->Comprime->Active(),
                                               &picture, formato_);
    if (started) {
        record_->event("recording started " + state_.VideoFileName.toStdString());
        job_->recordingStarted(fileName, [this] {
            return qint64(recorder_.framesWritten()) * std::max(1, state_.Intervalo);
        });
    }
    controls.FramesPaused = false;
    const int used = name ? name->number : state_.VideoNumber;
    state_.VideoNumber = used < INT_MAX ? used + 1 : used;
    if (!started)
        return;
    state_.Recording = true;
    cameraWatch_.recordingChanged(true);
    controls.Recording = true;
    ShowRecordingLamp();
    ui_->Record->setEnabled(false);
}

// The file is completed on the writer thread; a failure there still reaches the status line.
void TForm1::StopRecordClick() {
    showStatus(tr("Botón 5: Fin secuencia de vídeo"));
    if (!state_.Recording)
        return;
    recordingWatch_.stop();
    ShowRecordingStopped();
}

// A picture of another size cannot go on in the same file: the next file takes over, and the
// status line keeps saying why.
void TForm1::ContinueRecording() {
    RecordClick();
    if (state_.Recording)
        statusLine_.raise(
            input::StatusLine::Condition::RecordingFailed,
            video::recordingFailureText(video::Recorder::Failure::SizeChanged, QString()));
}

void TForm1::ShowRecordingStopped() {
    state_.Recording = false;
    cameraWatch_.recordingChanged(false);
    pipeline_->controls.Recording = false;
    job_->recordingStopped();
    record_->event("recording stopped");
    ShowRecordingLamp();
    ui_->Record->setEnabled(true);
}

// The inspection job.

void TForm1::StartJob(const QString& name, const job::JobDetails& details) {
    if (job_->start(name, details))
        setWindowTitle(tr("%1 - Trabajo: %2").arg(baseTitle_, job_->name()));
}

void TForm1::JobClick() {
    if (const std::optional<job::JobRequest> request = job::askJob(this))
        StartJob(request->name, request->details);
    RegainController();
}

void TForm1::ReportClick() {
    job_->writeReport({.logo = logotipo_});
}

void TForm1::LogotipoClick() {
    if (const std::optional<QString> path = platform::Dialogs::openFileName(
            {this, tr("Logotipo del informe"), QFileInfo(logotipo_).absolutePath(),
             tr("Imágenes (*.png *.jpg *.jpeg *.bmp)")}))
        ChooseLogotipo(*path);
    RegainController();
}

void TForm1::ChooseLogotipo(const QString& path) {
    logotipo_ = path;
    if (!settings::storeLogotipo(path))
        showStatus(tr("Logotipo del informe no guardado en la configuración"));
}

// The picture is of the moment the key was released; the note follows.
void TForm1::ObservationKey() {
    if (noteBoxOpen_)
        return;
    const QScopedValueRollback open(noteBoxOpen_, true);
    job::Session::Marked marked = job_->markWithPicture([this](const std::filesystem::path& file) {
        return TakePicture(QString::fromStdString(file.string()));
    });
    job::Observation& observation = marked.observation;
    if (const std::optional<job::Note> note = job::askNote(this)) {
        note->fill(observation);
        remote_->addObservation({observation.when.toString(QStringLiteral("HH:mm:ss")),
                                 job::observationLine(observation), observation.picture});
        job_->record(std::move(observation), marked.noPicture);
    }
    RegainController();
}

void TForm1::useDisk(const platform::Disk& disk) {
    disk_ = disk;
    recorder_.useDisk(disk);
    job_->useDisk(disk);
}

job::Reading TForm1::JobReading() const {
    const job::TelemetryValues values = job::telemetryValues(telemetry_);
    return job::consoleReading(values,
                               {state_, ui_->VrSlider4->Position(), ui_->VrPowerButton8->Active()},
                               QTime::currentTime());
}

void TForm1::ChooseImagen(platform::PictureSize size) {
    if (size == imagen_)
        return;
    imagen_ = size;
    if (!settings::storeImagen(size))
        showStatus(
            tr("Imagen %1: no guardada en la configuración").arg(settings::imagenText(size)));
    pipeline_->controls.OwnSize = size == platform::PictureSize::Own;
    // The source is built anew for the other size; stopping waits only for a frame being
    // handed over, never for the camera. The effect stays as the operator left it.
    if (capture_->running()) {
        const bool effects = pipeline_->controls.EffectsOn;
        StopCamera();
        StartCamera();
        pipeline_->controls.EffectsOn = effects;
    }
}

void TForm1::contextMenuEvent(QContextMenuEvent* event) {
    const console_menu::Choices choices{.jobActive = job_->active(),
                                        .recording = state_.Recording,
                                        .formato = formato_,
                                        .imagen = imagen_,
                                        .hasLogo = !logotipo_.isEmpty(),
                                        .remoteOn = remote_->isOn(),
                                        .idioma = idioma_};
    console_menu::exec(
        *this, choices,
        {.job = [this] { JobClick(); },
         .report = [this] { ReportClick(); },
         .chooseFormat = [this](video::VideoFormat format) { ChooseFormat(format); },
         .chooseImagen = [this](platform::PictureSize size) { ChooseImagen(size); },
         .chooseLogo = [this] { LogotipoClick(); },
         .clearLogo = [this] { ChooseLogotipo({}); },
         .remoteView = [this] { RemoteViewClick(); },
         .chooseIdioma = [this](settings::Language language) { ChooseIdioma(language); }},
        event->globalPos());
}

// Windows already made keep their texts: the language changes at the next start.
void TForm1::ChooseIdioma(settings::Language language) {
    idioma_ = language;
    showStatus(settings::storeIdioma(language) ? tr("El idioma cambiará en el próximo arranque")
                                               : tr("Idioma no guardado en la configuración"));
}

void TForm1::RemoteViewClick() {
    if (remote_->isOn()) {
        remote_->switchOff();
        return;
    }
    if (const std::optional<QString> failure =
            remote_->switchOn({QHostAddress::Any, storedRemotePort()}))
        platform::Dialogs::showError(*failure);
}

void TForm1::StartRemoteView(const RemoteAddress& where) {
    if (const std::optional<QString> failure = remote_->switchOn(where)) {
        std::fputs((*failure + QLatin1Char('\n')).toLocal8Bit(), stderr);
        showStatus(*failure);
        return;
    }
    rememberRemotePort(where.port);
    std::fputs(
        (QStringLiteral("Vista remota: ") + remote_->url() + QLatin1Char('\n')).toLocal8Bit(),
        stdout);
    std::fflush(stdout);
}
