#pragma once

#include "widgets/Vrclasses.h"
#include "widgets/Vrcontrols.h"
#include "widgets/Vrimagecaption.h"

#include <QTimer>

#include <array>
#include <stdexcept>

// The widget library's error, raised for property values outside their range.
class EVrException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class TVrBlinkLedType { ltRounded, ltRectangle, ltLargeRect };

// A lamp drawn with shapes in one of four palettes that can blink by itself. While lit it shows
// the palette's Low colour, while not lit its High colour.
class TVrCustomBlinkLed : public TVrGraphicImageControl, public TVrImageCaptionLayout {
    Q_OBJECT
    Q_PROPERTY(TVrBlinkLedType BlinkLedType READ BlinkLedType WRITE SetBlinkLedType)
    Q_PROPERTY(TVrImageTextLayout Layout READ Layout WRITE SetLayout)
    Q_PROPERTY(int Margin READ Margin WRITE SetMargin)
    Q_PROPERTY(int Spacing READ Spacing WRITE SetSpacing)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_PROPERTY(bool EnableBlinking READ EnableBlinking WRITE SetEnableBlinking)
    Q_PROPERTY(int BlinkSpeed READ BlinkSpeed WRITE SetBlinkSpeed)
    Q_PROPERTY(int ColorIndex READ ColorIndex WRITE SetColorIndex)

public:
    explicit TVrCustomBlinkLed(QWidget* parent = nullptr);

    // The lit state; each blink tick inverts it.
    bool Active() const { return active_; }
    // Repaints, then OnChange.
    void SetActive(bool value);

    // Palettes 1 to 4 (other numbers give palette 1); changes made inside one repaint.
    TVrPalette& Palette(int number);
    const TVrPalette& Palette(int number) const;
    TVrPalette& Palette1() { return Palette(1); }
    TVrPalette& Palette2() { return Palette(2); }
    TVrPalette& Palette3() { return Palette(3); }
    TVrPalette& Palette4() { return Palette(4); }
    void SetPalette1(const TVrPalette& value) { Palette(1).Assign(value); }
    void SetPalette2(const TVrPalette& value) { Palette(2).Assign(value); }
    void SetPalette3(const TVrPalette& value) { Palette(3).Assign(value); }
    void SetPalette4(const TVrPalette& value) { Palette(4).Assign(value); }

    TVrBlinkLedType BlinkLedType() const { return blinkLedType_; }
    void SetBlinkLedType(TVrBlinkLedType value);

    bool EnableBlinking() const { return enableBlinking_; }
    // Starts or stops the blinking; stopping keeps the lit state of that moment.
    void SetEnableBlinking(bool value);
    // Half-period in milliseconds; a period of 0 or less never ticks.
    int BlinkSpeed() const { return blinkSpeed_; }
    void SetBlinkSpeed(int value);
    int ColorIndex() const { return colorIndex_; }
    // Selects palette 1 to 4; any other number throws EVrException and changes nothing.
    void SetColorIndex(int value);

    // The colour the lamp shows now.
    TColor LampColor() const;
    // Where the last paint put the lamp.
    TRect LampRect() const { return ImageRect(); }

    TNotifyEvent OnChange;

protected:
    // Fires OnChange.
    virtual void Changed();
    void Paint() override;

private:
    void SyncBlinkTimer();
    void CalcLayout();
    void PaintRectangle(QPainter& canvas, TColor color, int frameWidth) const;
    void PaintRounded(QPainter& canvas, TColor color) const;

    std::array<TVrPalette, 4> palettes_;
    TVrBlinkLedType blinkLedType_ = TVrBlinkLedType::ltRounded;
    bool enableBlinking_ = false;
    int blinkSpeed_ = 500;
    int colorIndex_ = 1;
    bool active_ = false;
    // Declared after the palettes so that it stops before they go.
    QTimer blinkTimer_;
};

class TVrBlinkLed : public TVrCustomBlinkLed {
    Q_OBJECT

public:
    using TVrCustomBlinkLed::TVrCustomBlinkLed;
};
