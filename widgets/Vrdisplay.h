#pragma once

#include "widgets/Vrclasses.h"
#include "widgets/Vrcontrols.h"

enum class TVrShadowLayout { soTopLeft, soTopRight, soBottomLeft, soBottomRight };

// The thick dark double bevel of an instrument screen.
class TVrDisplayBevel : public TVrBevel {
public:
    TVrDisplayBevel();
};

// A container drawn like the recessed screen of an instrument: a double bevel and an inner drop
// shadow. Its contents rectangle is the area inside the bevel, so child widgets laid out in it
// (by a layout or by hand) stay clear of the frame.
class TVrDisplay : public TVrCustomControl {
    Q_OBJECT
    Q_PROPERTY(int ShadowWidth READ ShadowWidth WRITE SetShadowWidth)
    Q_PROPERTY(quint32 ShadowColor1 READ ShadowColor1 WRITE SetShadowColor1)
    Q_PROPERTY(quint32 ShadowColor2 READ ShadowColor2 WRITE SetShadowColor2)
    Q_PROPERTY(TVrShadowLayout ShadowLayout READ ShadowLayout WRITE SetShadowLayout)

public:
    explicit TVrDisplay(QWidget* parent = nullptr);

    int ShadowWidth() const { return shadowWidth_; }
    void SetShadowWidth(int value);
    // Shadow colour at the bevel.
    TColor ShadowColor1() const { return shadowColor1_; }
    void SetShadowColor1(TColor value);
    // Shadow colour at its inner end.
    TColor ShadowColor2() const { return shadowColor2_; }
    void SetShadowColor2(TColor value);
    TVrShadowLayout ShadowLayout() const { return shadowLayout_; }
    void SetShadowLayout(TVrShadowLayout value);

    // Edited in place; a change re-aligns the children and repaints.
    TVrDisplayBevel& Bevel() { return bevel_; }
    void SetBevel(const TVrBevel& value) { bevel_.Assign(value); }

protected:
    void Paint() override;

private:
    void AdjustClientRect();
    void PaintShadow(TRect rect);

    TVrDisplayBevel bevel_;
    int shadowWidth_ = 5;
    TColor shadowColor1_ = 0x5E7766;
    TColor shadowColor2_ = 0x7C9885;
    TVrShadowLayout shadowLayout_ = TVrShadowLayout::soTopLeft;
};
