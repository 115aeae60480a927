#include "widgets/Vrthumbcontrol.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPixmap>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Where the hand cursor points, in its image.
constexpr QPoint HandCursorHotSpot(9, 1);

// Rounds to nearest with halves to even, clamped into the int range.
int RoundToInt(double value) {
    const double rounded = std::nearbyint(value);
    return int(std::clamp(rounded, double(std::numeric_limits<int>::min()),
                          double(std::numeric_limits<int>::max())));
}

QImage MaskedOut(const QImage& frame, QRgb key) {
    QImage masked = frame.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < masked.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(masked.scanLine(y));
        for (int x = 0; x < masked.width(); ++x)
            if ((line[x] | 0xFF000000u) == key)
                line[x] = 0;
    }
    return masked;
}

} // namespace

int TVrThumbTrack::MinIndent() const {
    return std::max(0, vertical ? track.Top : track.Left);
}

int TVrThumbTrack::Travel() const {
    return vertical ? track.Height() - thumb.height() : track.Width() - thumb.width();
}

int TVrThumbTrack::OffsetOf(int value) const {
    // An empty range puts the thumb at the minimum instead of dividing by zero.
    const double range = double(maxValue) - double(minValue);
    const double share = range == 0 ? 0 : (double(value) - double(minValue)) / range;
    int offset = RoundToInt(Travel() * share) + MinIndent();
    if (vertical && minimumAtBottomLeft)
        offset = track.Top + track.Bottom - offset - thumb.height();
    else if (!vertical && !minimumAtBottomLeft)
        offset = track.Left + track.Right - offset - thumb.width();
    return offset;
}

int TVrThumbTrack::ValueAt(int offset, int frequency) const {
    if (vertical)
        offset = client.height() - offset - thumb.height();
    const int travel = Travel();
    const double range = double(maxValue) - double(minValue);
    double value = travel == 0 ? 0 : std::nearbyint((offset - MinIndent()) * range / travel);
    if (frequency > 0)
        value = std::nearbyint(value / frequency) * frequency;
    value = std::max(value, 0.0) + minValue;
    return RoundToInt(std::min(value, double(maxValue)));
}

int TVrThumbTrack::PositionForOffset(int offset, int frequency) const {
    const int lowest = MinIndent();
    offset = std::clamp(offset, lowest, std::max(lowest, lowest + Travel()));
    int value = ValueAt(offset, frequency);
    if (!minimumAtBottomLeft)
        value = RoundToInt(double(maxValue) + double(minValue) - double(value));
    return value;
}

QRect TVrThumbTrack::ThumbRect(int value) const {
    const int offset = OffsetOf(value);
    if (vertical)
        return {(client.width() - thumb.width()) / 2, offset, thumb.width(), thumb.height()};
    return {offset, (client.height() - thumb.height()) / 2, thumb.width(), thumb.height()};
}

// ---------------------------------------------------------------------------------------------

TVrThumbControl::TVrThumbControl(TVrOrientation orientation, QWidget* parent)
    : TVrCustomImageControl(parent), orientation_(orientation),
      handCursor_(QPixmap(QStringLiteral(":/widgets/VRCURSORHANDPOINT.png")), HandCursorHotSpot.x(),
                  HandCursorHotSpot.y()) {
    setMouseTracking(true);
}

void TVrThumbControl::SetMaxValue(int value) {
    if (maxValue_ == value)
        return;
    maxValue_ = value;
    if (position_ > maxValue_)
        SetPosition(maxValue_);
    else
        UpdateControlCanvas();
}

void TVrThumbControl::SetMinValue(int value) {
    if (minValue_ == value)
        return;
    minValue_ = value;
    if (position_ < minValue_)
        SetPosition(minValue_);
    else
        UpdateControlCanvas();
}

void TVrThumbControl::SetPosition(int value) {
    // No check that MinValue < MaxValue: with the bounds crossed, MaxValue wins.
    value = std::min(std::max(value, minValue_), maxValue_);
    if (value == position_)
        return;
    position_ = value;
    UpdateControlCanvas();
    Changed();
}

void TVrThumbControl::SetOrientation(TVrOrientation value) {
    if (orientation_ == value)
        return;
    orientation_ = value;
    if (!Loading())
        resize(height(), width());
    LoadStockThumb();
    OrientationChanged();
    UpdateControlCanvas();
}

void TVrThumbControl::SetThumbStates(int value) {
    AssignAndRepaint(thumbStates_, std::clamp(value, 1, 4));
}

void TVrThumbControl::Loaded() {
    LoadStockThumb();
    TVrCustomImageControl::Loaded();
}

void TVrThumbControl::Changed() {
    emit OnChange(this);
}

void TVrThumbControl::LoadStockThumb() {
    thumbImage_ = QImage(QStringLiteral(":/widgets/%1.png").arg(StockThumbName()))
                      .convertToFormat(QImage::Format_ARGB32);
}

TVrThumbTrack TVrThumbControl::Track() const {
    TVrThumbTrack track;
    track.client = size();
    track.track = TRect::FromSize(width(), height());
    track.track.Inflate(-TrackInset(), -TrackInset());
    track.thumb = QSize(thumbImage_.width() / thumbStates_, thumbImage_.height());
    track.vertical = orientation_ == TVrOrientation::voVertical;
    track.minimumAtBottomLeft = MinimumAtBottomLeft();
    track.minValue = minValue_;
    track.maxValue = maxValue_;
    return track;
}

int TVrThumbControl::ThumbFrameIndex() const {
    int index = 0;
    if (!isEnabled())
        index = 1;
    else if (dragging_)
        index = 2;
    else if (hot_)
        index = 3;
    return index < thumbStates_ ? index : 0;
}

void TVrThumbControl::PaintThumb() {
    if (thumbImage_.isNull())
        return;
    const QRect target = ThumbRect();
    const QImage frame =
        thumbImage_.copy(ThumbFrameIndex() * target.width(), 0, target.width(), target.height());
    if (ThumbOpaque()) {
        BitmapCanvas().drawImage(target.topLeft(), frame);
        return;
    }
    // The bottom-left pixel names the colour that lets the track show through.
    const QRgb key = thumbImage_.pixel(0, thumbImage_.height() - 1) | 0xFF000000u;
    BitmapCanvas().drawImage(target.topLeft(), MaskedOut(frame, key));
}

void TVrThumbControl::MoveThumbTo(int offset) {
    SetPosition(Track().PositionForOffset(offset, SnapFrequency()));
}

void TVrThumbControl::mousePressEvent(QMouseEvent* event) {
    TVrCustomImageControl::mousePressEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    if (TabStop())
        setFocus(Qt::MouseFocusReason);
    const QPoint point = event->position().toPoint();
    const TVrThumbTrack track = Track();
    const QRect thumb = track.ThumbRect(position_);
    if (thumb.contains(point)) {
        dragging_ = true;
        grabOffset_ = track.AlongTrack(point) - track.AlongTrack(thumb.topLeft());
        confined_ = MouseClip();
        UpdateControlCanvas();
    } else if (ActiveClick()) {
        grabOffset_ = track.ThumbExtent() / 2;
        MoveThumbTo(track.AlongTrack(point) - grabOffset_);
    }
}

void TVrThumbControl::mouseMoveEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (dragging_) {
        if (confined_)
            ConfinePointer(event->globalPosition().toPoint());
        MoveThumbTo(Track().AlongTrack(point) - grabOffset_);
    } else {
        const bool overThumb = ThumbRect().contains(point);
        if (overThumb != hot_) {
            hot_ = overThumb;
            UpdateControlCanvas();
        }
    }
    ShowHandCursor(ThumbRect().contains(point));
    TVrCustomImageControl::mouseMoveEvent(event);
}

// Any button's release ends the drag, so the pointer is never left confined.
void TVrThumbControl::mouseReleaseEvent(QMouseEvent* event) {
    EndDragging();
    TVrCustomImageControl::mouseReleaseEvent(event);
}

void TVrThumbControl::EndDragging() {
    confined_ = false;
    if (!dragging_)
        return;
    dragging_ = false;
    UpdateControlCanvas();
}

void TVrThumbControl::ConfinePointer(QPoint global) {
    // Moving the pointer is a request; platforms without a pointer (offscreen) ignore it.
    const QRect area(mapToGlobal(QPoint(0, 0)), size());
    const QPoint inside(std::clamp(global.x(), area.left(), area.right()),
                        std::clamp(global.y(), area.top(), area.bottom()));
    if (inside != global)
        QCursor::setPos(screen(), inside);
}

void TVrThumbControl::ShowHandCursor(bool overThumb) {
    const bool show = overThumb && HandPoint();
    if (show == handShown_)
        return;
    handShown_ = show;
    if (show) {
        restoreUserCursor_ = testAttribute(Qt::WA_SetCursor);
        userCursor_ = cursor();
        setCursor(handCursor_);
    } else if (restoreUserCursor_) {
        setCursor(userCursor_);
    } else {
        unsetCursor();
    }
}

void TVrThumbControl::MouseLeave() {
    if (!dragging_) {
        ShowHandCursor(false);
        if (hot_) {
            hot_ = false;
            UpdateControlCanvas();
        }
    }
    TVrCustomImageControl::MouseLeave();
}

void TVrThumbControl::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() != Qt::NoModifier && event->modifiers() != Qt::KeypadModifier) {
        TVrCustomImageControl::keyPressEvent(event);
        return;
    }
    const bool vertical = orientation_ == TVrOrientation::voVertical;
    // In floating point, so that no step overflows.
    const double step = MinimumAtBottomLeft() ? double(KeyStep()) : -double(KeyStep());
    switch (event->key()) {
    case Qt::Key_Home:
        SetPosition(HomeValue());
        break;
    case Qt::Key_End:
        SetPosition(EndValue());
        break;
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down: {
        const bool alongTrack =
            vertical == (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down);
        if (!alongTrack) {
            TVrCustomImageControl::keyPressEvent(event);
            return;
        }
        const bool increase = event->key() == Qt::Key_Up || event->key() == Qt::Key_Right;
        SetPosition(RoundToInt(position_ + (increase ? step : -step)));
        break;
    }
    default:
        TVrCustomImageControl::keyPressEvent(event);
        return;
    }
    event->accept();
}

void TVrThumbControl::focusInEvent(QFocusEvent* event) {
    TVrCustomImageControl::focusInEvent(event);
    UpdateControlCanvas();
}

void TVrThumbControl::focusOutEvent(QFocusEvent* event) {
    TVrCustomImageControl::focusOutEvent(event);
    UpdateControlCanvas();
}

void TVrThumbControl::changeEvent(QEvent* event) {
    TVrCustomImageControl::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) {
        if (!isEnabled())
            EndDragging();
        UpdateControlCanvas();
    }
}

void TVrThumbControl::hideEvent(QHideEvent* event) {
    // A hidden control gets no button release: end the drag and its confinement now.
    EndDragging();
    TVrCustomImageControl::hideEvent(event);
}
