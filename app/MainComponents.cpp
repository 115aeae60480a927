// The main window's components as the window description sets them up: captions, ranges,
// colours, start states and timers. Kept apart from the handlers in Main.cpp.
#include "app/Main.h"

#include "app/Shape.h"
#include "ui_Main.h"
#include "widgets/Vrthreads.h"

#include <QImage>

namespace {

void setUpSwitch(TVrPowerButton* button, const QString& caption, bool on = false) {
    button->SetCaption(caption);
    button->SetActive(on);
}

void setUpSlider(TVrSlider* slider, TVrOrientation orientation, int maxValue, int position) {
    slider->BeginLoading();
    slider->SetOrientation(orientation);
    slider->SetMinValue(0);
    slider->SetMaxValue(maxValue);
    slider->SetPosition(position);
    slider->SetKeyIncrement(1);
    slider->Loaded();
}

void setUpLamp(TVrLed* lamp, const QString& caption, TColor off, TColor on) {
    lamp->SetCaption(caption);
    lamp->Palette().BeginUpdate();
    lamp->Palette().SetLow(off);
    lamp->Palette().SetHigh(on);
    lamp->Palette().EndUpdate();
}

TVrTimer* makeTimer(QObject* owner, TVrTimerType type, unsigned interval,
                    std::function<void()> handler) {
    auto* timer = new TVrTimer(owner);
    timer->BeginLoading();
    timer->SetEnabled(false);
    timer->SetTimerType(type);
    timer->SetInterval(interval);
    if (handler)
        timer->OnTimer = [handler = std::move(handler)](TVrTimer*) { handler(); };
    timer->Loaded();
    return timer;
}

void setUpSwitchesAndButtons(Ui::TForm1& ui) {
    ui.VrAcercade->SetCaption(TForm1::tr("Acerca de..."));
    ui.VrConfigura->SetCaption(TForm1::tr("Configuración"));
    ui.VrSalir->SetCaption(TForm1::tr("Salir"));
    ui.VrDemoButton1->SetCaption(TForm1::tr("Título"));

    setUpSwitch(ui.Comprime, TForm1::tr("Compresión"));
    // Shown while recordings are MP4.
    ui.FormatoVideo->hide();
    setUpSwitch(ui.VrPowerButton8, TForm1::tr("Motor Limpieza"));
    setUpSwitch(ui.VrPowerButton9, TForm1::tr("Modo Inversión"));
    setUpSwitch(ui.VrPowerButton1, TForm1::tr("Brazo activo"));
    setUpSwitch(ui.VrPowerButton6, TForm1::tr("Mostrar FPS"));
    setUpSwitch(ui.VrPowerButton7, TForm1::tr("Mostrar Título"));
    setUpSwitch(ui.VrTemp, TForm1::tr("Mostrar ºC"));
    setUpSwitch(ui.VrHumedad, TForm1::tr("Humedad"));
    setUpSwitch(ui.VrPowerButton5, TForm1::tr("Activación de efectos"));
    setUpSwitch(ui.VrPowerButton2, TForm1::tr("Canal Rojo  "), true);
    setUpSwitch(ui.VrPowerButton3, TForm1::tr("Canal Verde"), true);
    setUpSwitch(ui.VrPowerButton4, TForm1::tr("Canal Azul  "), true);
    ui.Record->SetButtonType(TVrButtonType::btRecord);
    ui.StopRecord->SetButtonType(TVrButtonType::btStop);
}

void setUpInstruments(Ui::TForm1& ui) {
    ui.VrLabel1->SetCaption(TForm1::tr("Grabación"));
    ui.Led->SetBlinkLedType(TVrBlinkLedType::ltLargeRect);
    ui.Led->SetBlinkSpeed(500);
    ui.Led->SetEnableBlinking(false);
    // Black while idle, red in the lit phase of its blinking.
    ui.Led->Palette1().BeginUpdate();
    ui.Led->Palette1().SetLow(clRed);
    ui.Led->Palette1().SetHigh(clBlack);
    ui.Led->Palette1().EndUpdate();
    // Steady amber while a recording waits for the camera's pictures.
    ui.Led->Palette2().BeginUpdate();
    ui.Led->Palette2().SetLow(clYellow);
    ui.Led->Palette2().SetHigh(clBlack);
    ui.Led->Palette2().EndUpdate();
    for (TVrDisplay* display : {ui.VrDisplay1, ui.VrDisplay3, ui.led2})
        display->SetColor(clBlack);
    ui.VrBorder1->SetShadowColor(clBtnShadow);
    ui.VrBorder1->SetHighlightColor(clBtnHighlight);

    ui.VrJogMeter1->Scale().SetStep(10);
    ui.VrJogMeter1->Scale().SetSmallStep(1);
    ui.VrJogMeter1->Scale().SetApperture(50);
    ui.VrJogMeter1->Value().SetShape(TvrIndicatorShape::voLine);

    ui.TempInv->BeginLoading();
    ui.TempInv->SetMinValue(robot::InversionMode::shortestPeriodSeconds);
    ui.TempInv->SetMaxValue(robot::InversionMode::longestPeriodSeconds);
    ui.TempInv->SetPosition(10);
    ui.TempInv->Loaded();

    setUpSlider(ui.VrSlider1, TVrOrientation::voHorizontal, 255, 0);
    setUpSlider(ui.VrSlider2, TVrOrientation::voHorizontal, 255, 0);
    setUpSlider(ui.VrSlider3, TVrOrientation::voVertical, robot::noPower, 1);
    setUpSlider(ui.VrSlider4, TVrOrientation::voVertical, robot::noPower, 1);

    setUpLamp(ui.VrLed1, QStringLiteral("Tx"), clMaroon, clYellow);
    setUpLamp(ui.VrLed2, QStringLiteral("Rx"), clNavy, clAqua);
}

// A plan of the robot: body, wheels, the two camera marks and the two camera letters.
void setUpCameraSketch(Ui::TForm1& ui, QColor windowColour) {
    for (TShape* wheel : {ui.Shape6, ui.Shape7, ui.Shape9, ui.Shape10}) {
        wheel->SetKind(TShape::Kind::RoundRect);
        wheel->SetBrushColor(Qt::black);
    }
    ui.Shape5->SetBrushColor(QColor(0xf2, 0xb7, 0x05));
    for (TShape* mark : {ui.Shape8, ui.Shape11}) {
        mark->SetKind(TShape::Kind::Ellipse);
        mark->SetBrushColor(QColor());
        mark->SetPenColor(Qt::white);
    }
    for (TShape* cover : {ui.Shape19, ui.Shape20}) {
        cover->SetBrushColor(windowColour);
        cover->SetPenColor(QColor());
    }
    ui.Shape17->SetKind(TShape::Kind::Square);
    ui.Shape17->SetBrushColor(Qt::red);
    ui.Shape18->SetKind(TShape::Kind::Square);
    ui.Shape18->SetBrushColor(QColor(0x80, 0x80, 0x80));
    ui.Shape11->hide();
}

} // namespace

// The components' stored properties, as the window description gives them.
void TForm1::SetUpComponents() {
    setUpMainWindowComponents(*ui_, palette().color(QPalette::Window));
}

void setUpMainWindowComponents(Ui::TForm1& ui, QColor windowColour) {
    setUpSwitchesAndButtons(ui);
    setUpInstruments(ui);
    setUpCameraSketch(ui, windowColour);
}

void warmUpMainWindow() {
    QDialog scratch;
    Ui::TForm1 ui;
    ui.setupUi(&scratch);
    setUpMainWindowComponents(ui, scratch.palette().color(QPalette::Window));
    QImage picture(scratch.size(), QImage::Format_RGB32);
    scratch.render(&picture);
}

void TForm1::SetUpTimers() {
    // The frame-rate tick has no handler yet.
    Timer1 = makeTimer(this, ttThread, 100, [this] { VrTimer1Timer(); });
    Timer2 = makeTimer(this, ttThread, 100, [this] { Timer2Timer(); });
    TimerFPS = makeTimer(this, ttSystem, 1000, [this] { TimerFPSTimer(); });
    TimerRx = makeTimer(this, ttThread, 1000, [this] { TimerRxTimer(); });
    TimerInv = makeTimer(this, ttSystem, 5000, [this] { TimerInvTimer(); });
    TimerJoy = makeTimer(this, ttSystem, 250, [this] { WatchControllers(); });
}
