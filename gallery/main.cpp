#include "widgets/Vrblinkled.h"
#include "widgets/Vrborder.h"
#include "widgets/Vrbuttons.h"
#include "widgets/Vrdisplay.h"
#include "widgets/Vrjogmeter.h"
#include "widgets/Vrlabel.h"
#include "widgets/Vrleds.h"
#include "widgets/Vrnavigator.h"
#include "widgets/Vrslider.h"
#include "widgets/Vrtrackbar.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyleFactory>
#include <QVBoxLayout>

#include <functional>

namespace {

// The widgets keep the size they were given, groups of them the size of their layout.
QWidget* Fixed(QWidget* widget) {
    const bool sized = widget->testAttribute(Qt::WA_Resized) || !widget->layout();
    widget->setFixedSize(sized ? widget->size() : widget->sizeHint());
    return widget;
}

// A widget with a small caption under it.
QWidget* Captioned(QWidget* widget, const QString& caption) {
    auto* cell = new QWidget;
    auto* layout = new QVBoxLayout(cell);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    layout->addWidget(Fixed(widget), 0, Qt::AlignHCenter);
    auto* text = new QLabel(caption);
    text->setAlignment(Qt::AlignHCenter);
    QFont small = text->font();
    small.setPointSize(8);
    text->setFont(small);
    layout->addWidget(text, 0, Qt::AlignHCenter);
    return cell;
}

// Cells side by side, wrapped after `columns` of them.
QGroupBox* Group(const QString& title, const std::vector<QWidget*>& cells, int columns = 99) {
    auto* group = new QGroupBox(title);
    auto* layout = new QGridLayout(group);
    layout->setSpacing(6);
    for (std::size_t i = 0; i < cells.size(); ++i)
        layout->addWidget(cells[i], int(i) / columns, int(i) % columns,
                          Qt::AlignBottom | Qt::AlignHCenter);
    layout->setColumnStretch(std::min(columns, int(cells.size())), 1);
    return group;
}

TVrSlider* VerticalSlider(int position, const std::function<void(TVrSlider&)>& tune = {}) {
    auto* slider = new TVrSlider;
    slider->SetMaxValue(50);
    slider->SetKeyIncrement(1);
    slider->SetPosition(position);
    if (tune)
        tune(*slider);
    return slider;
}

TVrSlider* HorizontalSlider(int position, const std::function<void(TVrSlider&)>& tune = {}) {
    auto* slider = new TVrSlider;
    slider->SetOrientation(TVrOrientation::voHorizontal);
    slider->SetMaxValue(255);
    slider->SetKeyIncrement(1);
    slider->SetPosition(position);
    if (tune)
        tune(*slider);
    return slider;
}

QGroupBox* Sliders() {
    auto* horizontal = new QWidget;
    auto* stack = new QVBoxLayout(horizontal);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->addWidget(Captioned(HorizontalSlider(128), "horizontal 0..255 at 128"));
    stack->addWidget(Captioned(HorizontalSlider(200,
                                                [](TVrSlider& s) {
                                                    s.SetStyle(TVrSliderStyle::ssTopRight);
                                                    s.Palette().SetLow(0x000060);
                                                    s.Palette().SetHigh(clRed);
                                                }),
                               "minimum at the right, red palette"));
    return Group(
        "Sliders (TVrSlider)",
        {Captioned(VerticalSlider(0), "0 of 50"), Captioned(VerticalSlider(20), "20"),
         Captioned(VerticalSlider(40), "40"), Captioned(VerticalSlider(50), "50"),
         Captioned(VerticalSlider(30, [](TVrSlider& s) { s.SetSolidFill(false); }), "dithered"),
         Captioned(VerticalSlider(35,
                                  [](TVrSlider& s) {
                                      s.SetTickWidth(3);
                                      s.SetSpacing(2);
                                      s.Palette().SetLow(0x004080);
                                      s.Palette().SetHigh(clYellow);
                                  }),
                   "wide segments"),
         Captioned(VerticalSlider(25, [](TVrSlider& s) { s.setEnabled(false); }), "disabled"),
         horizontal});
}

TVrTrackBar* TrackBar(const std::function<void(TVrTrackBar&)>& tune) {
    auto* bar = new TVrTrackBar;
    bar->SetMinValue(5);
    bar->SetMaxValue(50);
    bar->SetPosition(10);
    tune(*bar);
    return bar;
}

QGroupBox* TrackBars() {
    return Group("Track bars (TVrTrackBar)",
                 {Captioned(TrackBar([](TVrTrackBar&) {}), "5..50 at 10, both scales"),
                  Captioned(TrackBar([](TVrTrackBar& b) {
                                b.SetTickMarks(TVrTickMarks::tmTopLeft);
                                b.SetPosition(35);
                            }),
                            "top scale, at 35"),
                  Captioned(TrackBar([](TVrTrackBar& b) {
                                b.SetTickMarks(TVrTickMarks::tmBottomRight);
                                b.SetStyle(TVrProgressStyle::psTopRight);
                                b.SetFrequency(5);
                                b.SetPosition(20);
                            }),
                            "bottom scale, minimum right"),
                  Captioned(TrackBar([](TVrTrackBar& b) {
                                b.SetOrientation(TVrOrientation::voVertical);
                                b.resize(45, 130);
                                b.SetPosition(40);
                            }),
                            "vertical"),
                  Captioned(TrackBar([](TVrTrackBar& b) {
                                b.SetGutterColor(0x404040);
                                b.SetTickColor(0x404040);
                                b.setEnabled(false);
                            }),
                            "disabled, grey gutter")},
                 3);
}

TVrJogMeter* JogMeter(double value, const std::function<void(TVrJogMeter&)>& tune = {}) {
    auto* meter = new TVrJogMeter;
    meter->Scale().SetStep(10);
    meter->Scale().SetSmallStep(1);
    meter->Scale().SetApperture(50);
    meter->Value().SetValue(value);
    if (tune)
        tune(*meter);
    return meter;
}

QGroupBox* JogMeters() {
    return Group("Jog meters (TVrJogMeter)",
                 {Captioned(JogMeter(0), "value 0"), Captioned(JogMeter(3), "value 3"),
                  Captioned(JogMeter(-37.5,
                                     [](TVrJogMeter& m) {
                                         m.Value().SetShape(TvrIndicatorShape::voTriangle);
                                     }),
                            "-37.5, triangle"),
                  Captioned(JogMeter(12,
                                     [](TVrJogMeter& m) {
                                         m.Scale().SetPosition(TVrPosition::voAfter);
                                         m.Value().SetShape(TvrIndicatorShape::voBitmap);
                                         m.SetFromColor(0x203020);
                                         m.SetToColor(0x9CDCA8);
                                     }),
                            "ticks below, pin, green"),
                  Captioned(JogMeter(25,
                                     [](TVrJogMeter& m) {
                                         m.SetDirection(TVrDirection::voVertical);
                                         m.resize(40, 120);
                                         m.Scale().SetApperture(40);
                                     }),
                            "vertical"),
                  Captioned(JogMeter(-8,
                                     [](TVrJogMeter& m) {
                                         m.SetCaption("Giro");
                                         m.SetShowCaption(true);
                                         m.Scale().SetHeightMax(10);
                                         m.Scale().SetHeightMin(5);
                                     }),
                            "with caption")},
                 3);
}

TVrLabel* Label(const QString& caption, const std::function<void(TVrLabel&)>& tune = {}) {
    auto* label = new TVrLabel;
    label->SetCaption(caption);
    label->resize(130, 34);
    if (tune)
        tune(*label);
    return label;
}

QGroupBox* Displays() {
    // As the console shows the steering angle: a jog meter and a caption inside a display.
    auto* steering = new TVrDisplay;
    steering->resize(190, 92);
    auto* inside = new QVBoxLayout(steering);
    inside->setContentsMargins(0, 0, 0, 0);
    inside->setSpacing(2);
    inside->addWidget(Fixed(JogMeter(3)), 0, Qt::AlignHCenter);
    auto* angleCaption = Label("Angulo de giro Joystick", [](TVrLabel& l) {
        l.SetStyle(TVrLabelStyle::lsNone);
        l.SetTransparent(true);
        QFont small = l.font();
        small.setPointSize(8);
        l.setFont(small);
        l.resize(160, 16);
    });
    inside->addWidget(Fixed(angleCaption), 0, Qt::AlignHCenter);

    auto* picture = new TVrDisplay;
    picture->resize(150, 120);
    auto* pictureLayout = new QVBoxLayout(picture);
    pictureLayout->setContentsMargins(0, 0, 0, 0);
    auto* panel = new QWidget;
    panel->setAutoFillBackground(true);
    QPalette navy = panel->palette();
    navy.setColor(QPalette::Window, ColorToQColor(clNavy));
    panel->setPalette(navy);
    pictureLayout->addWidget(panel);

    const auto shadowed = [](TVrShadowLayout layout) {
        auto* display = new TVrDisplay;
        display->resize(110, 80);
        display->SetShadowLayout(layout);
        return display;
    };
    return Group("Displays (TVrDisplay)",
                 {Captioned(steering, "steering meter inside"), Captioned(picture, "picture frame"),
                  Captioned(shadowed(TVrShadowLayout::soTopLeft), "shadow top left"),
                  Captioned(shadowed(TVrShadowLayout::soBottomRight), "shadow bottom right")},
                 2);
}

TVrBorder* Border(TVrBorderShape shape, TVrBorderStyle style) {
    auto* border = new TVrBorder;
    border->resize(50, 36);
    border->SetShape(shape);
    border->SetStyle(style);
    return border;
}

QGroupBox* Borders() {
    std::vector<QWidget*> cells;
    const std::pair<TVrBorderShape, const char*> shapes[] = {
        {TVrBorderShape::bsFrame, "frame"},        {TVrBorderShape::bsBox, "box"},
        {TVrBorderShape::bsTopLine, "top line"},   {TVrBorderShape::bsBottomLine, "bottom"},
        {TVrBorderShape::bsLeftLine, "left line"}, {TVrBorderShape::bsRightLine, "right"}};
    for (const auto& [shape, name] : shapes) {
        cells.push_back(Captioned(Border(shape, TVrBorderStyle::bsRaised), QString(name)));
    }
    for (const auto& [shape, name] : shapes)
        cells.push_back(Captioned(Border(shape, TVrBorderStyle::bsLowered), "lowered"));
    return Group("Borders (TVrBorder)", cells, 6);
}

QGroupBox* Labels() {
    QImage texture(64, 8, QImage::Format_RGB32);
    for (int y = 0; y < texture.height(); ++y)
        for (int x = 0; x < texture.width(); ++x)
            texture.setPixel(x, y, qRgb(40 + 3 * x, 90 + 10 * y, 200 - 2 * x));
    return Group(
        "Labels (TVrLabel)",
        {Captioned(Label("Grabación"), "raised"),
         Captioned(Label("Grabación", [](TVrLabel& l) { l.SetStyle(TVrLabelStyle::lsLowered); }),
                   "lowered"),
         Captioned(Label("Grabación",
                         [](TVrLabel& l) {
                             l.SetStyle(TVrLabelStyle::lsShadow);
                             l.SetFontColor(clNavy);
                         }),
                   "shadow"),
         Captioned(Label("Grabación",
                         [](TVrLabel& l) {
                             l.SetStyle(TVrLabelStyle::lsNone);
                             l.SetColor(clBlack);
                             l.SetFontColor(clLime);
                         }),
                   "plain, on black"),
         Captioned(Label("Grabación",
                         [&texture](TVrLabel& l) {
                             QFont bold = l.font();
                             bold.setBold(true);
                             bold.setPointSize(18);
                             l.setFont(bold);
                             l.resize(150, 34);
                             l.SetBitmap(texture);
                         }),
                   "textured"),
         Captioned(Label("Vertical",
                         [](TVrLabel& l) {
                             l.SetAngle(90);
                             l.SetAutoSize(true);
                         }),
                   "angle 90, auto size"),
         Captioned(Label("Inclinado",
                         [](TVrLabel& l) {
                             l.SetAngle(30);
                             l.SetAutoSize(true);
                         }),
                   "angle 30")});
}

TVrPowerButton* PowerButton(const QString& caption, bool active) {
    auto* button = new TVrPowerButton;
    button->SetCaption(caption);
    button->SetActive(active);
    return button;
}

TVrLed* Led(const QString& caption, bool active) {
    auto* led = new TVrLed;
    led->SetCaption(caption);
    led->SetActive(active);
    led->resize(40, 20);
    return led;
}

TVrMediaButton* MediaButton(TVrButtonType type) {
    auto* button = new TVrMediaButton;
    button->SetButtonType(type);
    return button;
}

TVrDemoButton* DemoButton(const QString& caption,
                          const std::function<void(TVrDemoButton&)>& tune = {}) {
    auto* button = new TVrDemoButton;
    button->SetCaption(caption);
    if (tune)
        tune(*button);
    return button;
}

QGroupBox* ButtonsAndLamps() {
    // The link lamps framed by a border, as on the console's status line.
    auto* lamps = new QWidget;
    lamps->resize(96, 30);
    auto* frame = new TVrBorder(lamps);
    frame->setGeometry(0, 0, 96, 30);
    Led("Tx", true)->setParent(lamps);
    auto* rx = Led("Rx", false);
    rx->setParent(lamps);
    lamps->findChildren<TVrLed*>().front()->move(6, 5);
    rx->move(50, 5);

    auto* recording = new TVrBlinkLed;
    recording->SetBlinkLedType(TVrBlinkLedType::ltLargeRect);
    recording->SetEnableBlinking(true);

    auto* powerColumn = new QWidget;
    auto* powerLayout = new QVBoxLayout(powerColumn);
    powerLayout->setContentsMargins(0, 0, 0, 0);
    powerLayout->addWidget(Fixed(PowerButton("Motor Limpieza", false)));
    powerLayout->addWidget(Fixed(PowerButton("Canal Rojo", true)));

    auto* demoColumn = new QWidget;
    auto* demoLayout = new QVBoxLayout(demoColumn);
    demoLayout->setContentsMargins(0, 0, 0, 0);
    demoLayout->addWidget(Fixed(DemoButton("Acerca de...")));
    demoLayout->addWidget(
        Fixed(DemoButton("Salir", [](TVrDemoButton& b) { b.setEnabled(false); })));

    auto* media = new QWidget;
    auto* mediaLayout = new QHBoxLayout(media);
    mediaLayout->setContentsMargins(0, 0, 0, 0);
    mediaLayout->addWidget(Fixed(MediaButton(TVrButtonType::btRecord)));
    mediaLayout->addWidget(Fixed(MediaButton(TVrButtonType::btStop)));
    mediaLayout->addWidget(Fixed(MediaButton(TVrButtonType::btPlay)));

    return Group("Buttons and lamps (TVrPowerButton, TVrDemoButton, TVrMediaButton, TVrLed, "
                 "TVrBlinkLed)",
                 {Captioned(powerColumn, "power buttons: off, on"),
                  Captioned(demoColumn, "demo buttons: enabled, disabled"),
                  Captioned(media, "media: record, stop, play"),
                  Captioned(lamps, "lamps in a border"), Captioned(recording, "blinking lamp")});
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The classic flat style, so that every group shows the widgets' own button face.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Windows")));
    QWidget window;
    window.setWindowTitle("Instrument widgets");
    QPalette face = window.palette();
    face.setColor(QPalette::Window, ColorToQColor(clBtnFace));
    window.setPalette(face);
    window.setAutoFillBackground(true);
    auto* layout = new QGridLayout(&window);
    layout->addWidget(Sliders(), 0, 0);
    layout->addWidget(Displays(), 0, 1);
    layout->addWidget(TrackBars(), 1, 0);
    layout->addWidget(JogMeters(), 1, 1);
    layout->addWidget(Labels(), 2, 0, 1, 2);
    layout->addWidget(ButtonsAndLamps(), 3, 0);
    layout->addWidget(Borders(), 3, 1);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    window.show();
    return app.exec();
}
