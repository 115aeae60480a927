#pragma once

#include "widgets/Vrcontrols.h"

#include <QImage>

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
enum class TTextLayout { tlTop, tlCenter, tlBottom };
enum class TVrLabelStyle { lsNone, lsRaised, lsLowered, lsShadow };

// A caption with a 3-D or shadow relief, at any angle, optionally filled with a texture.
class TVrLabel : public TVrGraphicImageControl {
    Q_OBJECT
    Q_PROPERTY(TAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(quint32 ColorHighlight READ ColorHighlight WRITE SetColorHighlight)
    Q_PROPERTY(quint32 ColorShadow READ ColorShadow WRITE SetColorShadow)
    Q_PROPERTY(TVrLabelStyle Style READ Style WRITE SetStyle)
    Q_PROPERTY(TTextLayout Layout READ Layout WRITE SetLayout)
    Q_PROPERTY(int ShadowDepth READ ShadowDepth WRITE SetShadowDepth)
    Q_PROPERTY(QImage Bitmap READ Bitmap WRITE SetBitmap)
    Q_PROPERTY(int Angle READ Angle WRITE SetAngle)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)

public:
    explicit TVrLabel(QWidget* parent = nullptr);

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    TColor ColorHighlight() const { return colorHighlight_; }
    void SetColorHighlight(TColor value);
    TColor ColorShadow() const { return colorShadow_; }
    void SetColorShadow(TColor value);
    TVrLabelStyle Style() const { return style_; }
    void SetStyle(TVrLabelStyle value);
    TTextLayout Layout() const { return layout_; }
    void SetLayout(TTextLayout value);
    // Offset of the lsShadow copy.
    int ShadowDepth() const { return shadowDepth_; }
    void SetShadowDepth(int value);
    // A texture stretched over the control that shows only inside the letters.
    QImage Bitmap() const { return bitmap_; }
    void SetBitmap(const QImage& value);
    // Counter-clockwise rotation in degrees, 0 to 359; other values are taken modulo 360.
    int Angle() const { return angle_; }
    void SetAngle(int value);

    // Where the text's top-left corner goes (before rotation), in client coordinates.
    QPoint TextOrigin() const;

protected:
    bool CanAutoSize(int& newWidth, int& newHeight) override;
    void Paint() override;
    void FontChanged() override;
    void TextChanged() override;

private:
    QSize MeasuredText() const;
    // Draws the caption rotated about `origin` in `color`.
    void PaintText(QPainter& canvas, QPoint origin, TColor color) const;
    void PaintTexture(QPoint origin);

    TAlignment alignment_ = TAlignment::taCenter;
    TColor colorHighlight_ = clWhite;
    TColor colorShadow_ = clGray;
    TVrLabelStyle style_ = TVrLabelStyle::lsRaised;
    TTextLayout layout_ = TTextLayout::tlCenter;
    int shadowDepth_ = 2;
    QImage bitmap_;
    int angle_ = 0;
};
