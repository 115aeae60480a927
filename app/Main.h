#pragma once

#include "app/ConsoleSettings.h"
#include "app/RemoteViewControl.h"
#include "input/CameraWatch.h"
#include "input/ConsolePanel.h"
#include "input/ControlState.h"
#include "input/ControllerPlug.h"
#include "input/GameController.h"
#include "input/Keyboard.h"
#include "input/LinkStatus.h"
#include "input/StatusLine.h"
#include "job/Session.h"
#include "link/Inversion.h"
#include "link/LinkIndicators.h"
#include "link/PortSetup.h"
#include "link/RobotLink.h"
#include "link/Telemetry.h"
#include "link/TrafficRecord.h"
#include "platform/Capture.h"
#include "platform/Keys.h"
#include "video/FramePipeline.h"
#include "video/FrameSurface.h"
#include "video/Recorder.h"
#include "video/RecordingWatch.h"

#include <QDialog>
#include <QString>
#include <QTimer>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>

namespace Ui {
class TForm1;
}
class TVrTimer;
namespace video {
class PicturePanel;
}

// The values the main window's handlers share; one main window exists, so one of these.
// The link keeps whether answers are expected, the telemetry its two texts and the
// inversion mode its phase; the input state is shared with the keyboard and the controller.
struct MainWindowState : input::ControlState {
    bool PortOk = false;
    int Retardo = 15;
    int Intervalo = 100;
    QString SnapshotBase;
    int SnapshotNumber = 1;
    int VideoNumber = 0;
    int BalanceValue = 128;
    int LevelValue = 128;
    bool ShowRed = false;
    bool ShowGreen = false;
    bool ShowBlue = false;
    bool ControllerActive = true;
    bool JoystickPresent = false;
    WId MainWindowHandle = 0;
    // Row of the source list where the chosen camera was last seen; set by "Select CAM".
    int CameraIndex = 0;
    // The source chosen, which StartCamera follows wherever it moves in the list.
    std::optional<platform::CaptureSource> ChosenCamera;
    bool Recording = false;
    QString VideoFileName;
};

// The console's main window. It is shown modally by the splash for the whole session and
// destroyed only when the program ends.
class TForm1 : public QDialog,
               private robot::LinkIndicators,
               private robot::TelemetryDisplay,
               private robot::InversionTimer,
               private input::ConsolePanel {
    Q_OBJECT
public:
    // cameraSource: the source to start with instead of the chosen row of the source list
    // (as given after --camera); empty for none.
    explicit TForm1(QWidget* owner = nullptr, QString cameraSource = {});
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
    void FormKeyDown(int key);
    void FormKeyUp(int key);

    void SendByte(std::uint8_t byte);
    void Timer2Timer();
    void ReconnectTimer();
    void VrTempClick();
    void VrHumedadClick();
    void TimerRxTimer();
    void VrPowerButton9Click();
    void TempInvChange();
    void TimerInvTimer();
    void VrSlider1Change();
    void VrSlider2Change();
    void VrSlider3Change();
    void VrSlider4Change();
    void VrPowerButton1Click();
    void VrPowerButton8Click();
    void Label7Click();
    void Label8Click();
    bool InitJoystick();
    void AcquireJoystick();
    bool PollJoystick();
    void VrTimer1Timer();
    void WatchControllers();

    void StartCamera();
    void StopCamera();
    void VideoDblClick();
    void Label12DblClick();
    void FormDblClick();
    void FrameCallback(const std::uint8_t* bits, int width, int height);
    void TimerFPSTimer();
    void VrPowerButton2Click();
    void VrPowerButton3Click();
    void VrPowerButton4Click();
    void VrPowerButton5Click();
    void VrPowerButton6Click();
    void VrDemoButton1Click();
    void Panel3DblClick();
    // Why the picture was not saved; None when it was.
    platform::DiskError TakePicture(const QString& fileName);
    void PhotoCommand();
    void RecordClick();
    void StopRecordClick();
    void StartJob(const QString& name, const job::JobDetails& details = {});
    void JobClick();
    void ReportClick();
    void ObservationKey();
    // The operator's choice of "Imagen": stored, and taken by the next frames (the capture
    // starts again when the source must deliver another size).
    void ChooseImagen(platform::PictureSize size);
    // The operator's choice of "Formato": stored, and taken by the next recording.
    void ChooseFormat(video::VideoFormat format);
    // The operator's choice of the reports' logo (empty: none): stored, and taken by the next
    // report.
    void ChooseLogotipo(const QString& path);
    void LogotipoClick();
    platform::PictureSize imagen() const { return imagen_; }
    // The language chosen for the next start, stored at once.
    void ChooseIdioma(settings::Language language);
    settings::Language idioma() const { return idioma_; }
    // Switches the remote view on or off (the context menu).
    void RemoteViewClick();
    // Switches it on at `where` and prints its address with the code (the command line).
    void StartRemoteView(const RemoteAddress& where);
    RemoteViewControl& remoteView() { return *remote_; }

    MainWindowState& state() { return state_; }
    Ui::TForm1& ui() { return *ui_; }
    // Present once FormCreate has opened the port.
    robot::RobotLink* link() { return link_.get(); }
    const robot::Telemetry& telemetry() const { return telemetry_; }
    robot::TrafficRecord& trafficRecord() { return *record_; }
    const robot::InversionMode& inversion() const { return *inversion_; }
    const input::GameController& controller() const { return *controller_; }
    input::StatusLine& statusLine() { return statusLine_; }
    video::FrameSurface& surface() { return surface_; }
    video::FramePipeline& pipeline() { return *pipeline_; }
    video::Recorder& recorder() { return recorder_; }
    platform::Capture& capture() { return *capture_; }
    job::Session& job() { return *job_; }
    // Every file the window writes goes through this disk (tests script full disks).
    void useDisk(const platform::Disk& disk);
    QImage rawPicture() const;

    TVrTimer* Timer1 = nullptr;
    TVrTimer* Timer2 = nullptr;
    TVrTimer* TimerFPS = nullptr;
    TVrTimer* TimerRx = nullptr;
    TVrTimer* TimerInv = nullptr;
    // Pumps the controllers' device events, so one plugged in later is taken.
    TVrTimer* TimerJoy = nullptr;

protected:
    bool event(QEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    Q_INVOKABLE void CameraReport();
    // On the capture thread.
    void PicturesStalled();
    void PicturesResumed();
    void SourceFaulted(platform::SourceFault fault);
    void PostCameraReport();
    void SetUpComponents();
    void SetUpTimers();
    void BindEvents();
    void ChooseFileNameBases();
    void ReadSettings();
    void ShowFormat();
    void OpenRobotPort();
    void ShowPortInUse(bool inUse);
    void AttachLink(std::unique_ptr<platform::SerialLine> line);
    std::unique_ptr<platform::SerialLine> Recorded(std::unique_ptr<platform::SerialLine> line);
    void WatchTrafficRecord();
    void SetSliderStartPositions();
    void StartController();
    void SetUpVideo();
    void ShowObservationFailure(const QString& text);
    void BindVideoEvents();
    void SyncVideoSwitches();
    void RegainController();
    std::optional<platform::CaptureSource> CameraSource();
    void ShowFrontCamera(bool front);
    void StartKeyPreview();
    void PreviewKey(QEvent* event);
    void ShowRecordingStopped();
    void ContinueRecording();
    void ShowRecordingLamp();
    job::Reading JobReading() const;

    void setTxLamp(bool on) override;
    void setRxLamp(bool on) override;
    void startLampTimer() override;
    void stopLampTimer() override;
    void showReturn(const QString& text) override;
    void showLinkState(robot::LinkState state) override;
    void showTelemetryLine(const QString& line) override;
    void setInversionInterval(int milliseconds) override;
    void setInversionEnabled(bool enabled) override;
    void showStatus(const QString& text) override;
    void setPowerBar(int position) override;
    void setMotorSlider(int position) override;
    void setCleaningSwitch(bool on) override;
    void clickCleaningSwitch() override;
    void showCamera(bool front) override;
    void takeSnapshot() override;
    void clickRecord() override;
    void clickStopRecord() override;
    void showRobotText() override;
    void setJogMeter(int value) override;

    std::unique_ptr<Ui::TForm1> ui_;
    input::StatusLine statusLine_;
    // Brings a lasting condition back to the status line after a key text covered it.
    QTimer statusRefresh_;
    input::LinkStatus linkStatus_{statusLine_};
    // Tries the lost line's port again once a second.
    QTimer reconnect_;
    std::unique_ptr<robot::LineReopener> reopener_;
    input::CameraWatch cameraWatch_{statusLine_};
    MainWindowState state_;
    QString portName_;
    QString modeString_;
    video::VideoFormat formato_ = video::VideoFormat::Avi;
    // Chosen on the camera's video page; until then the start format of the picture size.
    std::optional<platform::VideoFormat> chosenFormat_;
    std::unique_ptr<robot::TrafficRecord> record_;
    std::unique_ptr<robot::RobotLink> link_;
    robot::Telemetry telemetry_;
    std::unique_ptr<robot::InversionMode> inversion_;
    std::unique_ptr<input::Keyboard> keyboard_;
    std::unique_ptr<input::GameController> controller_;
    platform::JoystickDevices joystickDevices_;
    std::unique_ptr<input::ControllerPlug> plug_;
    platform::KeyRepeatFilter repeatFilter_;

    QString cameraSource_;
    platform::PictureSize imagen_ = platform::PictureSize::Standard;
    QString logotipo_;
    settings::Language idioma_ = settings::Language::Spanish;
    QString pictureName_ = QStringLiteral("captura01");
    platform::Disk disk_ = platform::localDisk();
    video::FrameSurface surface_;
    video::Recorder recorder_;
    video::RecordingWatch recordingWatch_;
    // Looks at the recording often enough that a failure shows within a second.
    QTimer recordingLook_;
    std::unique_ptr<video::FramePipeline> pipeline_;
    // The inspection job: its folder, the tracks beside recordings, the observations.
    std::unique_ptr<job::Session> job_;
    QString baseTitle_;
    bool noteBoxOpen_ = false;
    video::PicturePanel* rawPanel_ = nullptr;
    video::PicturePanel* resultPanel_ = nullptr;
    // Takes the processed frames from the capture thread.
    std::unique_ptr<RemoteViewControl> remote_;
    // Last, so it stops before anything its frames reach is destroyed.
    std::unique_ptr<platform::Capture> capture_;
};

// The main window, set by the splash when it creates it and kept until exit.
extern TForm1* Form1;

// The main window's components with their stored properties.
void setUpMainWindowComponents(Ui::TForm1& ui, QColor windowColour);

// Builds and paints the main window's controls once, off screen, and throws them away: the
// fonts, stock images and code its first paint needs are then loaded while the splash waits.
void warmUpMainWindow();
