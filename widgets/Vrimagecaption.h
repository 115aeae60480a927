#pragma once

#include "widgets/Vrcontrols.h"

// An image placed beside a control's caption: on which side (Layout), how far from the edge
// (Margin) and how far from the caption (Spacing), -1 meaning as in CalcImageTextLayout. The
// setters repaint the control, whose paint places image and caption again.
class TVrImageCaptionLayout {
public:
    TVrImageTextLayout Layout() const { return layout_; }
    void SetLayout(TVrImageTextLayout value);
    // -1 centres image and caption as a group.
    int Margin() const { return margin_; }
    void SetMargin(int value);
    // -1 spreads image and caption evenly.
    int Spacing() const { return spacing_; }
    void SetSpacing(int value);

    // Where the last paint put the caption.
    TRect CaptionRect() const { return captionRect_; }

protected:
    TVrImageCaptionLayout(TVrControl& control, int margin, int spacing)
        : control_(control), margin_(margin), spacing_(spacing) {}

    // Places an image of `imageSize` and the caption, measured in the control's font, inside
    // `area`.
    void PlaceImageAndCaption(const TRect& area, QSize imageSize);
    // Where the last placing put the image, left <= right and top <= bottom.
    TRect ImageRect() const { return imageRect_; }
    // The caption on one line, vertically centred and left-aligned in its rectangle.
    void PaintCaption(QPainter& canvas) const;

private:
    template <typename T> void SetAndRepaint(T& field, const T& value);

    TVrControl& control_;
    TVrImageTextLayout layout_ = TVrImageTextLayout::ImageLeft;
    int margin_;
    int spacing_;
    TRect imageRect_;
    TRect captionRect_;
};
