#pragma once

#include "widgets/Vrcontrols.h"

enum class TVrBorderShape {
    bsBox,
    bsFrame,
    bsTopLine,
    bsBottomLine,
    bsLeftLine,
    bsRightLine,
    bsSpacer
};
enum class TVrBorderStyle { bsLowered, bsRaised };

// A windowless rule or frame in two colours, etched or raised; nothing is drawn between the
// lines, so the parent shows through.
class TVrBorder : public TVrGraphicControl {
    Q_OBJECT
    Q_PROPERTY(TVrBorderShape Shape READ Shape WRITE SetShape)
    Q_PROPERTY(TVrBorderStyle Style READ Style WRITE SetStyle)
    Q_PROPERTY(quint32 ShadowColor READ ShadowColor WRITE SetShadowColor)
    Q_PROPERTY(quint32 HighlightColor READ HighlightColor WRITE SetHighlightColor)

public:
    explicit TVrBorder(QWidget* parent = nullptr);

    // These setters compare, store and schedule a repaint instead of repainting at once.
    TVrBorderShape Shape() const { return shape_; }
    void SetShape(TVrBorderShape value);
    TVrBorderStyle Style() const { return style_; }
    void SetStyle(TVrBorderStyle value);
    TColor ShadowColor() const { return shadowColor_; }
    void SetShadowColor(TColor value);
    TColor HighlightColor() const { return highlightColor_; }
    void SetHighlightColor(TColor value);

protected:
    void Paint() override;

private:
    // The rectangle with the corners `first` and `last`, both included: left and top edges in
    // topLeft, right and bottom edges in bottomRight.
    void PaintRectangle(QPoint first, QPoint last, TColor topLeft, TColor bottomRight);

    TVrBorderShape shape_ = TVrBorderShape::bsFrame;
    TVrBorderStyle style_ = TVrBorderStyle::bsRaised;
    TColor shadowColor_ = clGreen;
    TColor highlightColor_ = clLime;
};
