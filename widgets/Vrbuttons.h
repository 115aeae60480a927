#pragma once

#include "widgets/Vrbuttoninput.h"
#include "widgets/Vrclasses.h"
#include "widgets/Vrcontrols.h"
#include "widgets/Vrimagecaption.h"

#include <QFont>
#include <QImage>

// A latching push button with a small square LED beside its caption. Each completed press (or
// Space) toggles Active and then fires OnClick; setting Active from code never clicks.
class TVrPowerButton : public TVrCustomImageControl, public TVrImageCaptionLayout {
    Q_OBJECT
    Q_PROPERTY(bool Active READ Active WRITE SetActive)
    Q_PROPERTY(int LedWidth READ LedWidth WRITE SetLedWidth)
    Q_PROPERTY(int LedHeight READ LedHeight WRITE SetLedHeight)
    Q_PROPERTY(TVrImageTextLayout Layout READ Layout WRITE SetLayout)
    Q_PROPERTY(int Margin READ Margin WRITE SetMargin)
    Q_PROPERTY(int Spacing READ Spacing WRITE SetSpacing)
    Q_PROPERTY(quint32 FocusColor READ FocusColor WRITE SetFocusColor)
    Q_PROPERTY(quint32 OutlineColor READ OutlineColor WRITE SetOutlineColor)
    Q_PROPERTY(int OutlineWidth READ OutlineWidth WRITE SetOutlineWidth)
    Q_PROPERTY(quint32 HighlightColor READ HighlightColor WRITE SetHighlightColor)
    Q_PROPERTY(quint32 ShadowColor READ ShadowColor WRITE SetShadowColor)
    Q_PROPERTY(int BevelWidth READ BevelWidth WRITE SetBevelWidth)

public:
    explicit TVrPowerButton(QWidget* parent = nullptr);

    bool Active() const { return active_; }
    void SetActive(bool value);
    // LED size, at least 1 pixel each way.
    int LedWidth() const { return ledWidth_; }
    void SetLedWidth(int value);
    int LedHeight() const { return ledHeight_; }
    void SetLedHeight(int value);
    // LED colours: Low while inactive, High while active. Changes made inside it repaint.
    TVrPalette& Palette() { return palette_; }
    const TVrPalette& Palette() const { return palette_; }
    void SetPalette(const TVrPalette& value) { palette_.Assign(value); }
    TColor FocusColor() const { return focusColor_; }
    void SetFocusColor(TColor value);
    TColor OutlineColor() const { return outlineColor_; }
    void SetOutlineColor(TColor value);
    // 0 to 255 pixels.
    int OutlineWidth() const { return outlineWidth_; }
    void SetOutlineWidth(int value);
    TColor HighlightColor() const { return highlightColor_; }
    void SetHighlightColor(TColor value);
    TColor ShadowColor() const { return shadowColor_; }
    void SetShadowColor(TColor value);
    // 0 to 255 pixels.
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int value);

    // Drawn pressed: a press is on and the pointer inside, or Space is held.
    bool Down() const { return press_.Down(); }
    // Where the last paint put the LED.
    TRect LedRect() const { return ImageRect(); }

    TNotifyEvent OnClick;

protected:
    void Paint() override;
    void MouseEnter() override;
    void MouseLeave() override;
    void TextChanged() override;

    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void CalcLayout();
    void SetHasFocus(bool value);
    void ToggleAndClick();
    void Click();
    void PaintFrame(QPainter& canvas);
    void PaintLed(QPainter& canvas);

    bool active_ = false;
    int ledWidth_ = 12;
    int ledHeight_ = 12;
    TVrPalette palette_;
    TColor focusColor_ = clBlue;
    TColor outlineColor_ = clBlack;
    int outlineWidth_ = 1;
    TColor highlightColor_ = clBtnHighlight;
    TColor shadowColor_ = clBtnShadow;
    int bevelWidth_ = 2;

    bool hasFocus_ = false;
    TVrButtonPress press_{*this};
    TVrAccelerator accelerator_{*this, [this] { Click(); }};
};

// A push button whose caption changes font while the pointer is over it, with an optional
// tiled background and an optional flat look. Fires OnClick once per completed press.
class TVrDemoButton : public TVrCustomImageControl {
    Q_OBJECT
    Q_PROPERTY(QFont FontEnter READ FontEnter WRITE SetFontEnter)
    Q_PROPERTY(quint32 FontEnterColor READ FontEnterColor WRITE SetFontEnterColor)
    Q_PROPERTY(QFont FontLeave READ FontLeave WRITE SetFontLeave)
    Q_PROPERTY(quint32 FontLeaveColor READ FontLeaveColor WRITE SetFontLeaveColor)
    Q_PROPERTY(QImage Bitmap READ Bitmap WRITE SetBitmap)
    Q_PROPERTY(quint32 OutlineColor READ OutlineColor WRITE SetOutlineColor)
    Q_PROPERTY(quint32 ShadowColor READ ShadowColor WRITE SetShadowColor)
    Q_PROPERTY(quint32 HighlightColor READ HighlightColor WRITE SetHighlightColor)
    Q_PROPERTY(int BevelWidth READ BevelWidth WRITE SetBevelWidth)
    Q_PROPERTY(int OutlineWidth READ OutlineWidth WRITE SetOutlineWidth)
    Q_PROPERTY(TVrTextAlignment TextAlignment READ TextAlignment WRITE SetTextAlignment)
    Q_PROPERTY(quint32 DisabledTextColor READ DisabledTextColor WRITE SetDisabledTextColor)
    Q_PROPERTY(quint32 FocusColor READ FocusColor WRITE SetFocusColor)
    Q_PROPERTY(bool Flat READ Flat WRITE SetFlat)

public:
    explicit TVrDemoButton(QWidget* parent = nullptr);

    // Caption font and colour while the pointer is over the enabled button.
    const QFont& FontEnter() const { return fontEnter_; }
    void SetFontEnter(const QFont& value);
    TColor FontEnterColor() const { return fontEnterColor_; }
    void SetFontEnterColor(TColor value);
    // Caption font and colour otherwise.
    const QFont& FontLeave() const { return fontLeave_; }
    void SetFontLeave(const QFont& value);
    TColor FontLeaveColor() const { return fontLeaveColor_; }
    void SetFontLeaveColor(TColor value);
    // Background tile; a null image shows plain Color.
    const QImage& Bitmap() const { return bitmap_; }
    void SetBitmap(const QImage& value);
    TColor OutlineColor() const { return outlineColor_; }
    void SetOutlineColor(TColor value);
    TColor ShadowColor() const { return shadowColor_; }
    void SetShadowColor(TColor value);
    TColor HighlightColor() const { return highlightColor_; }
    void SetHighlightColor(TColor value);
    // 0 to 255 pixels.
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int value);
    int OutlineWidth() const { return outlineWidth_; }
    void SetOutlineWidth(int value);
    TVrTextAlignment TextAlignment() const { return textAlignment_; }
    void SetTextAlignment(TVrTextAlignment value);
    TColor DisabledTextColor() const { return disabledTextColor_; }
    void SetDisabledTextColor(TColor value);
    TColor FocusColor() const { return focusColor_; }
    void SetFocusColor(TColor value);
    // Caption relief; changes made inside it repaint.
    TVrFont3D& Font3D() { return font3D_; }
    const TVrFont3D& Font3D() const { return font3D_; }
    void SetFont3D(const TVrFont3D& value) { font3D_.Assign(value); }
    // Bevel only while the pointer is over the button.
    bool Flat() const { return flat_; }
    void SetFlat(bool value);

    bool Down() const { return press_.Down(); }
    bool Hover() const { return hover_; }

    TNotifyEvent OnClick;

protected:
    void Paint() override;
    void MouseEnter() override;
    void MouseLeave() override;
    void TextChanged() override;

    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void Click();
    void PaintBackground(QPainter& canvas);
    void PaintFrame(QPainter& canvas, TRect& rect);
    void PaintCaption(QPainter& canvas, TRect rect);

    QFont fontEnter_;
    TColor fontEnterColor_ = clRed;
    QFont fontLeave_;
    TColor fontLeaveColor_ = clBlack;
    QImage bitmap_;
    TColor outlineColor_ = clBlack;
    TColor shadowColor_ = clBtnShadow;
    TColor highlightColor_ = clBtnHighlight;
    int bevelWidth_ = 2;
    int outlineWidth_ = 1;
    TVrTextAlignment textAlignment_ = TVrTextAlignment::vtaCenter;
    TColor disabledTextColor_ = clInactiveCaption;
    TColor focusColor_ = clBlue;
    TVrFont3D font3D_;
    bool flat_ = false;

    TVrButtonPress press_{*this};
    bool hover_ = false;
    bool focused_ = false;
    TVrAccelerator accelerator_{*this, [this] { Click(); }};
};
