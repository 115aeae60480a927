#pragma once

#include "widgets/Vrcontrols.h"

#include <QCursor>
#include <QImage>

// Geometry of a thumb travelling along a track: value to offset and back. Offsets are the
// thumb's top (vertical) or left (horizontal) edge in client coordinates.
struct TVrThumbTrack {
    QSize client;
    TRect track;
    QSize thumb;
    bool vertical = false;
    // The minimum lies at the bottom (vertical) or at the left (horizontal).
    bool minimumAtBottomLeft = true;
    int minValue = 0;
    int maxValue = 100;

    int MinIndent() const;
    int Travel() const;
    int ThumbExtent() const { return vertical ? thumb.height() : thumb.width(); }
    // Where the thumb stands for `value`.
    int OffsetOf(int value) const;
    // The value shown with the thumb at `offset`, mirrored for a vertical track; a positive
    // `frequency` snaps it to multiples of that step.
    int ValueAt(int offset, int frequency) const;
    // The position the thumb takes when the pointer moves it to `offset`.
    int PositionForOffset(int offset, int frequency) const;
    QRect ThumbRect(int value) const;
    // The coordinate along the track.
    int AlongTrack(QPoint point) const { return vertical ? point.y() : point.x(); }
};

// What the slider and the track bar share: range and position with OnChange, the stock thumb
// image, dragging with the mouse (optionally confined to the control), the hand cursor over the
// thumb and the arrow keys.
class TVrThumbControl : public TVrCustomImageControl {
    Q_OBJECT
    Q_PROPERTY(int MaxValue READ MaxValue WRITE SetMaxValue)
    Q_PROPERTY(int MinValue READ MinValue WRITE SetMinValue)
    Q_PROPERTY(int Position READ Position WRITE SetPosition NOTIFY OnChange)
    Q_PROPERTY(TVrOrientation Orientation READ Orientation WRITE SetOrientation)
    Q_PROPERTY(int ThumbStates READ ThumbStates WRITE SetThumbStates)

public:
    int MaxValue() const { return maxValue_; }
    // Moves Position onto the new bound when it falls outside (firing OnChange).
    void SetMaxValue(int value);
    int MinValue() const { return minValue_; }
    void SetMinValue(int value);
    int Position() const { return position_; }
    // Clamps to [MinValue, MaxValue]; a real change repaints, then fires OnChange.
    void SetPosition(int value);
    TVrOrientation Orientation() const { return orientation_; }
    // Swaps width and height (unless loading) and takes the stock thumb of the new orientation.
    void SetOrientation(TVrOrientation value);
    int ThumbStates() const { return thumbStates_; }
    // Frames in the thumb image, 1 to 4.
    void SetThumbStates(int value);

    void Loaded() override;

    // Where the thumb stands now, in client coordinates.
    QRect ThumbRect() const { return Track().ThumbRect(position_); }
    bool Dragging() const { return dragging_; }
    bool Hot() const { return hot_; }
    bool PointerConfined() const { return confined_; }

signals:
    void OnChange(QObject* sender);

protected:
    TVrThumbControl(TVrOrientation orientation, QWidget* parent);

    virtual void Changed();
    virtual bool MinimumAtBottomLeft() const = 0;
    virtual int TrackInset() const = 0;
    virtual QString StockThumbName() const = 0;
    virtual bool ActiveClick() const = 0;
    virtual bool MouseClip() const = 0;
    virtual bool HandPoint() const = 0;
    virtual bool ThumbOpaque() const = 0;
    // Snapping step of the mouse (0: none), arrow-key step, and the values of Home and End.
    virtual int SnapFrequency() const { return 0; }
    virtual int KeyStep() const = 0;
    virtual int HomeValue() const = 0;
    virtual int EndValue() const = 0;
    // The orientation changed without a resize following.
    virtual void OrientationChanged() {}

    // Takes the stock thumb image of the current orientation.
    void LoadStockThumb();
    TVrThumbTrack Track() const;
    // Draws the thumb frame for the current state onto the off-screen image.
    void PaintThumb();

    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void MouseLeave() override;

private:
    int ThumbFrameIndex() const;
    void MoveThumbTo(int offset);
    void EndDragging();
    void ConfinePointer(QPoint global);
    void ShowHandCursor(bool overThumb);

    int maxValue_ = 100;
    int minValue_ = 0;
    int position_ = 0;
    TVrOrientation orientation_;
    int thumbStates_ = 1;
    QImage thumbImage_;
    QCursor handCursor_;
    bool dragging_ = false;
    bool hot_ = false;
    bool confined_ = false;
    bool handShown_ = false;
    bool restoreUserCursor_ = false;
    QCursor userCursor_;
    int grabOffset_ = 0;
};
