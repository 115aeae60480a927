#pragma once

#include "widgets/Vrclasses.h"
#include "widgets/Vrthumbcontrol.h"

#include <QFlags>

#include <vector>

enum class TVrProgressStyle { psBottomLeft, psTopRight };

enum class TVrTrackBarOption {
    toActiveClick = 0x1,
    toMouseClip = 0x2,
    toHandPoint = 0x4,
    toFixedPoints = 0x8,
    toThumbOpaque = 0x10,
};
using TVrTrackBarOptions = QFlags<TVrTrackBarOption>;
Q_DECLARE_OPERATORS_FOR_FLAGS(TVrTrackBarOptions)

// A classic track bar: a bevelled gutter, tick scales on one or both sides and a thumb.
class TVrTrackBar : public TVrThumbControl {
    Q_OBJECT
    Q_PROPERTY(TVrProgressStyle Style READ Style WRITE SetStyle)
    Q_PROPERTY(TVrTrackBarOptions Options READ Options WRITE SetOptions)
    Q_PROPERTY(int Frequency READ Frequency WRITE SetFrequency)
    Q_PROPERTY(int BorderWidth READ BorderWidth WRITE SetBorderWidth)
    Q_PROPERTY(int GutterWidth READ GutterWidth WRITE SetGutterWidth)
    Q_PROPERTY(quint32 GutterColor READ GutterColor WRITE SetGutterColor)
    Q_PROPERTY(TVrTickMarks TickMarks READ TickMarks WRITE SetTickMarks)
    Q_PROPERTY(quint32 TickColor READ TickColor WRITE SetTickColor)
    Q_PROPERTY(int ScaleOffset READ ScaleOffset WRITE SetScaleOffset)
    Q_PROPERTY(quint32 FocusColor READ FocusColor WRITE SetFocusColor)
    Q_PROPERTY(int FocusOffset READ FocusOffset WRITE SetFocusOffset)

public:
    explicit TVrTrackBar(QWidget* parent = nullptr);

    TVrProgressStyle Style() const { return style_; }
    void SetStyle(TVrProgressStyle value);
    TVrTrackBarOptions Options() const { return options_; }
    void SetOptions(TVrTrackBarOptions value);
    // Tick spacing in value units, also the arrow-key step.
    int Frequency() const { return frequency_; }
    void SetFrequency(int value);
    int BorderWidth() const { return borderWidth_; }
    // Negative values are refused.
    void SetBorderWidth(int value);
    int GutterWidth() const { return gutterWidth_; }
    void SetGutterWidth(int value);
    TColor GutterColor() const { return gutterColor_; }
    void SetGutterColor(TColor value);
    TVrTickMarks TickMarks() const { return tickMarks_; }
    void SetTickMarks(TVrTickMarks value);
    TColor TickColor() const { return tickColor_; }
    void SetTickColor(TColor value);
    int ScaleOffset() const { return scaleOffset_; }
    void SetScaleOffset(int value);
    TColor FocusColor() const { return focusColor_; }
    void SetFocusColor(TColor value);
    // Inset of the focus frame; negative: no frame.
    int FocusOffset() const { return focusOffset_; }
    void SetFocusOffset(int value);

    // Edited in place; an invisible bevel means no gutter at all.
    TVrBevel& GutterBevel() { return gutterBevel_; }
    void SetGutterBevel(const TVrBevel& value) { gutterBevel_.Assign(value); }

    // The values that get a tick on each scale, in order.
    std::vector<int> TickValues() const;

protected:
    bool MinimumAtBottomLeft() const override { return style_ == TVrProgressStyle::psBottomLeft; }
    int TrackInset() const override { return borderWidth_; }
    QString StockThumbName() const override;
    bool ActiveClick() const override { return options_ & TVrTrackBarOption::toActiveClick; }
    bool MouseClip() const override { return options_ & TVrTrackBarOption::toMouseClip; }
    bool HandPoint() const override { return options_ & TVrTrackBarOption::toHandPoint; }
    bool ThumbOpaque() const override { return options_ & TVrTrackBarOption::toThumbOpaque; }
    int SnapFrequency() const override;
    int KeyStep() const override { return frequency_; }
    int HomeValue() const override { return MaxValue(); }
    int EndValue() const override { return MinValue(); }

    void Paint() override;

private:
    TRect Gutter() const;
    void PaintScale(const TRect& gutter, bool beforeGutter);

    TVrProgressStyle style_ = TVrProgressStyle::psBottomLeft;
    TVrTrackBarOptions options_ = TVrTrackBarOption::toActiveClick |
                                  TVrTrackBarOption::toMouseClip | TVrTrackBarOption::toHandPoint |
                                  TVrTrackBarOption::toThumbOpaque;
    int frequency_ = 10;
    int borderWidth_ = 10;
    TVrBevel gutterBevel_;
    int gutterWidth_ = 9;
    TColor gutterColor_ = clBlack;
    TVrTickMarks tickMarks_ = TVrTickMarks::tmBoth;
    TColor tickColor_ = clBlack;
    int scaleOffset_ = 5;
    TColor focusColor_ = clBlack;
    int focusOffset_ = 0;
};
