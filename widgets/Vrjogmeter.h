#pragma once

#include "widgets/Vrclasses.h"
#include "widgets/Vrcontrols.h"

#include <QImage>
#include <QString>

#include <cmath>
#include <vector>

using TVrDirection = TVrOrientation;
// Side of the ticks: voBefore is the top of a horizontal meter, the left of a vertical one.
enum class TVrPosition { voAfter, voBefore };
enum class TvrIndicatorShape { voLine, voBitmap, voTriangle };

// Like AssignChanged; not-a-number and infinities are refused, as no scale can show them.
inline void AssignFinite(TVrPersistent& owner, double& field, double value) {
    if (std::isfinite(value))
        AssignChanged(owner, field, value);
}

// The moving scale: ticks, labels and their spacing in value units.
class TVrJogMeterScale : public TVrPersistent {
public:
    TColor Color() const { return color_; }
    void SetColor(TColor value) { AssignChanged(*this, color_, value); }
    int Decimals() const { return decimals_; }
    void SetDecimals(int value) { AssignChanged(*this, decimals_, value); }
    // A label format with one "%s" placeholder for the tick value.
    QString FormatText() const { return formatText_; }
    void SetFormatText(const QString& value) { AssignChanged(*this, formatText_, value); }
    // Value units shown across the control.
    double Apperture() const { return apperture_; }
    void SetApperture(double value) { AssignFinite(*this, apperture_, value); }
    TVrPosition Position() const { return position_; }
    void SetPosition(TVrPosition value) { AssignChanged(*this, position_, value); }
    double Step() const { return step_; }
    void SetStep(double value) { AssignFinite(*this, step_, value); }
    double SmallStep() const { return smallStep_; }
    void SetSmallStep(double value) { AssignFinite(*this, smallStep_, value); }
    int HeightMax() const { return heightMax_; }
    void SetHeightMax(int value) { AssignChanged(*this, heightMax_, value); }
    int HeightMin() const { return heightMin_; }
    void SetHeightMin(int value) { AssignChanged(*this, heightMin_, value); }
    bool Visible() const { return visible_; }
    void SetVisible(bool value) { AssignChanged(*this, visible_, value); }

    // The label of a tick value: fixed notation with Decimals digits, put into FormatText.
    QString LabelText(double value) const;

private:
    TColor color_ = clBlack;
    int decimals_ = 0;
    QString formatText_ = QStringLiteral("%s");
    double apperture_ = 60;
    TVrPosition position_ = TVrPosition::voBefore;
    double step_ = 10;
    double smallStep_ = 2;
    int heightMax_ = 15;
    int heightMin_ = 8;
    bool visible_ = true;
};

// The fixed value indicator in the middle of the meter, and the value it stands for.
class TVrLiniarIndicator : public TVrPersistent {
public:
    TVrLiniarIndicator();

    double Value() const { return value_; }
    void SetValue(double value) { AssignFinite(*this, value_, value); }
    // The pin drawn with voBitmap; the stock pin when none is given.
    const QImage& Bitmap() const { return bitmap_; }
    void SetBitmap(const QImage& value);
    TvrIndicatorShape Shape() const { return shape_; }
    void SetShape(TvrIndicatorShape value) { AssignChanged(*this, shape_, value); }
    TColor Color() const { return color_; }
    void SetColor(TColor value) { AssignChanged(*this, color_, value); }
    bool Visible() const { return visible_; }
    void SetVisible(bool value) { AssignChanged(*this, visible_, value); }

private:
    double value_ = 0;
    QImage bitmap_;
    TvrIndicatorShape shape_ = TvrIndicatorShape::voLine;
    TColor color_ = clRed;
    bool visible_ = true;
};

// A tick inside the meter's window: its pixel along the scale and its value.
struct TVrJogMark {
    int pixel = 0;
    double value = 0;
};

// A value on a moving scale: the indicator stays in the middle and a window of Scale.Apperture
// value units, centred on Value.Value, slides under it over a symmetric colour gradient.
class TVrJogMeter : public TVrGraphicImageControl {
    Q_OBJECT
    Q_PROPERTY(TVrDirection Direction READ Direction WRITE SetDirection)
    Q_PROPERTY(bool ShowCaption READ ShowCaption WRITE SetShowCaption)
    Q_PROPERTY(quint32 FromColor READ FromColor WRITE SetFromColor)
    Q_PROPERTY(quint32 ToColor READ ToColor WRITE SetToColor)

public:
    explicit TVrJogMeter(QWidget* parent = nullptr);

    TVrDirection Direction() const { return direction_; }
    // Swaps width and height (unless loading).
    void SetDirection(TVrDirection value);
    bool ShowCaption() const { return showCaption_; }
    void SetShowCaption(bool value);
    TColor FromColor() const { return fromColor_; }
    void SetFromColor(TColor value);
    TColor ToColor() const { return toColor_; }
    void SetToColor(TColor value);

    // Edited in place; every change repaints.
    TVrJogMeterScale& Scale() { return scale_; }
    const TVrJogMeterScale& Scale() const { return scale_; }
    TVrLiniarIndicator& Value() { return value_; }
    const TVrLiniarIndicator& Value() const { return value_; }

    // Pixel of a value measured from the window's left or top edge.
    int PixelOf(double relative) const;
    // The labelled major ticks and the minor ticks now inside the window, in order.
    std::vector<TVrJogMark> MajorMarks() const { return Marks(scale_.Step()); }
    std::vector<TVrJogMark> MinorMarks() const { return Marks(scale_.SmallStep()); }

protected:
    void Paint() override;

private:
    int Length() const;
    int BaseLine() const;
    void PaintGradient();
    void PaintCaption();
    std::vector<TVrJogMark> Marks(double step) const;
    void PaintLabels();
    void PaintTicks();
    void PaintIndicator();
    // A line of `length` pixels from the base line into the control at `pixel`.
    void TickLine(int pixel, int length);

    TVrDirection direction_ = TVrDirection::voHorizontal;
    bool showCaption_ = false;
    TColor fromColor_ = clBlack;
    TColor toColor_ = clWhite;
    TVrJogMeterScale scale_;
    TVrLiniarIndicator value_;
};
