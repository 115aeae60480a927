#include "widgets/Vrimagecaption.h"

template <typename T> void TVrImageCaptionLayout::SetAndRepaint(T& field, const T& value) {
    if (StoreChanged(field, value))
        control_.UpdateControlCanvas();
}

void TVrImageCaptionLayout::SetLayout(TVrImageTextLayout value) {
    SetAndRepaint(layout_, value);
}

void TVrImageCaptionLayout::SetMargin(int value) {
    SetAndRepaint(margin_, value);
}

void TVrImageCaptionLayout::SetSpacing(int value) {
    SetAndRepaint(spacing_, value);
}

void TVrImageCaptionLayout::PlaceImageAndCaption(const TRect& area, QSize imageSize) {
    QPoint imagePos;
    CalcImageTextLayout(control_.font(), area, QPoint(0, 0), control_.Caption(), margin_, spacing_,
                        layout_, imageSize, imagePos, captionRect_);
    imageRect_ = {imagePos.x(), imagePos.y(),
                  ClampCoordinate(static_cast<long long>(imagePos.x()) + imageSize.width()),
                  ClampCoordinate(static_cast<long long>(imagePos.y()) + imageSize.height())};
    imageRect_.Normalize();
}

void TVrImageCaptionLayout::PaintCaption(QPainter& canvas) const {
    TRect caption = captionRect_;
    DrawText(canvas, control_.Caption(), caption,
             TextFormat::SingleLine | TextFormat::VCenter | TextFormat::Left, control_.FontColor());
}
