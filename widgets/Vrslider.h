#pragma once

#include "widgets/Vrclasses.h"
#include "widgets/Vrthumbcontrol.h"

#include <QFlags>

enum class TVrSliderStyle { ssBottomLeft, ssTopRight };

enum class TVrSliderOption {
    soActiveClick = 0x1,
    soMouseClip = 0x2,
    soHandPoint = 0x4,
    soThumbOpaque = 0x8,
};
using TVrSliderOptions = QFlags<TVrSliderOption>;
Q_DECLARE_OPERATORS_FOR_FLAGS(TVrSliderOptions)

// A value shown as a segmented bar: Palette.High from the minimum end up to the thumb's centre,
// Palette.Low beyond, inside a double bevel and an outer frame that shows the focus.
class TVrSlider : public TVrThumbControl {
    Q_OBJECT
    Q_PROPERTY(int Spacing READ Spacing WRITE SetSpacing)
    Q_PROPERTY(int TickWidth READ TickWidth WRITE SetTickWidth)
    Q_PROPERTY(bool SolidFill READ SolidFill WRITE SetSolidFill)
    Q_PROPERTY(TVrSliderStyle Style READ Style WRITE SetStyle)
    Q_PROPERTY(TVrSliderOptions Options READ Options WRITE SetOptions)
    Q_PROPERTY(int KeyIncrement READ KeyIncrement WRITE SetKeyIncrement)
    Q_PROPERTY(quint32 BorderColor READ BorderColor WRITE SetBorderColor)
    Q_PROPERTY(int BorderWidth READ BorderWidth WRITE SetBorderWidth)
    Q_PROPERTY(quint32 FocusColor READ FocusColor WRITE SetFocusColor)
    Q_PROPERTY(int ThumbIndent READ ThumbIndent WRITE SetThumbIndent)

public:
    explicit TVrSlider(QWidget* parent = nullptr);

    int Spacing() const { return spacing_; }
    // Gap between bar segments; negative values are refused.
    void SetSpacing(int value);
    int TickWidth() const { return tickWidth_; }
    // Thickness of one segment; values below 1 are refused.
    void SetTickWidth(int value);
    bool SolidFill() const { return solidFill_; }
    void SetSolidFill(bool value);
    TVrSliderStyle Style() const { return style_; }
    void SetStyle(TVrSliderStyle value);
    TVrSliderOptions Options() const { return options_; }
    void SetOptions(TVrSliderOptions value);
    int KeyIncrement() const { return keyIncrement_; }
    void SetKeyIncrement(int value);
    TColor BorderColor() const { return borderColor_; }
    void SetBorderColor(TColor value);
    int BorderWidth() const { return borderWidth_; }
    // Negative values are refused.
    void SetBorderWidth(int value);
    TColor FocusColor() const { return focusColor_; }
    void SetFocusColor(TColor value);
    int ThumbIndent() const { return thumbIndent_; }
    // Negative values are refused.
    void SetThumbIndent(int value);

    // Edited in place; every change rebuilds the bar and repaints.
    TVrBevel& Bevel() { return bevel_; }
    void SetBevel(const TVrBevel& value) { bevel_.Assign(value); }
    TVrPalette& Palette() { return palette_; }
    void SetPalette(const TVrPalette& value) { palette_.Assign(value); }

protected:
    bool MinimumAtBottomLeft() const override { return style_ == TVrSliderStyle::ssBottomLeft; }
    int TrackInset() const override { return borderWidth_ + thumbIndent_; }
    QString StockThumbName() const override;
    bool ActiveClick() const override { return options_ & TVrSliderOption::soActiveClick; }
    bool MouseClip() const override { return options_ & TVrSliderOption::soMouseClip; }
    bool HandPoint() const override { return options_ & TVrSliderOption::soHandPoint; }
    bool ThumbOpaque() const override { return options_ & TVrSliderOption::soThumbOpaque; }
    int KeyStep() const override { return keyIncrement_; }
    int HomeValue() const override { return MinValue(); }
    int EndValue() const override { return MaxValue(); }
    void OrientationChanged() override;

    void Paint() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The bar area: the client rectangle inside the border and the bevel.
    TRect BarArea() const;
    // Marks the bar for rebuilding and repaints.
    void BarChanged();
    void RebuildBar();
    QImage BarImage(QSize size, TColor color) const;
    void CopyActivePart(const TRect& bar);

    int spacing_ = 1;
    int tickWidth_ = 1;
    bool solidFill_ = true;
    TVrSliderStyle style_ = TVrSliderStyle::ssBottomLeft;
    TVrSliderOptions options_ = TVrSliderOption::soHandPoint | TVrSliderOption::soThumbOpaque;
    int keyIncrement_ = 5;
    TColor borderColor_ = clBtnFace;
    int borderWidth_ = 1;
    TColor focusColor_ = clBlue;
    int thumbIndent_ = 2;
    TVrBevel bevel_;
    TVrPalette palette_;
    // The whole bar drawn in Palette.Low and in Palette.High; rebuilt when stale.
    QImage lowBar_;
    QImage highBar_;
    bool barStale_ = true;
    TColor barColor_ = clBlack;
};
