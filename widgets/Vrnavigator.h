#pragma once

#include "widgets/Vrbuttoninput.h"
#include "widgets/Vrcontrols.h"

#include <QImage>

enum class TVrButtonType {
    btPower,
    btPlay,
    btPause,
    btStop,
    btPrev,
    btBack,
    btStep,
    btNext,
    btRecord,
    btEject
};

// A small push button showing one of ten stock transport glyphs on a gradient face. Fires
// OnClick once per completed press.
class TVrMediaButton : public TVrCustomImageControl {
    Q_OBJECT
    Q_PROPERTY(TVrButtonType ButtonType READ ButtonType WRITE SetButtonType)
    Q_PROPERTY(quint32 FocusColor READ FocusColor WRITE SetFocusColor)
    Q_PROPERTY(quint32 BorderColor READ BorderColor WRITE SetBorderColor)

public:
    explicit TVrMediaButton(QWidget* parent = nullptr);

    TVrButtonType ButtonType() const { return buttonType_; }
    void SetButtonType(TVrButtonType value);
    TColor FocusColor() const { return focusColor_; }
    void SetFocusColor(TColor value);
    TColor BorderColor() const { return borderColor_; }
    void SetBorderColor(TColor value);

    bool Down() const { return press_.Down(); }
    // Where the last paint put the glyph.
    QPoint GlyphPos() const { return glyphPos_; }

    TNotifyEvent OnClick;

protected:
    void Paint() override;

    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Click();
    void PaintFace(QPainter& canvas);
    void PaintGlyph(QPainter& canvas);
    void PaintBorder(QPainter& canvas);

    TVrButtonType buttonType_ = TVrButtonType::btPause;
    TColor focusColor_ = clBlue;
    TColor borderColor_ = clBlack;

    TVrButtonPress press_{*this};
    bool focused_ = false;
    QImage enabledGlyphs_;
    QImage disabledGlyphs_;
    QPoint glyphPos_;
};
