#pragma once

#include "widgets/Vrsysutils.h"

#include <QImage>
#include <QObject>
#include <QPainter>
#include <QString>
#include <QWidget>

#include <functional>
#include <optional>

// Non-visual component base: the timer derives from it.
class TVrComponent : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Version READ Version WRITE SetVersion STORED false)

public:
    explicit TVrComponent(QObject* owner = nullptr);

    QString Version() const { return version_; }
    void SetVersion(const QString& version) { version_ = version; }

    // Called once the owner has set every stored property; components that hold back work
    // while their properties are being set do it here.
    virtual void Loaded();
    bool Loading() const { return loading_; }
    // Marks the component as being filled from a window description until Loaded runs.
    void BeginLoading() { loading_ = true; }

private:
    QString version_ = QStringLiteral("1.3");
    bool loading_ = false;
};

// Handler of a control notification; the argument is the control.
using TNotifyEvent = std::function<void(QObject* sender)>;

// Compares and stores; true when the value changed.
template <typename T> bool StoreChanged(T& field, const T& value) {
    if (field == value)
        return false;
    field = value;
    return true;
}

// What every control base shares: Version, Caption, Color, font colour, the update counter,
// the loading state and the enter / leave / font / text notifications.
//
// A widget draws in Paint() on Canvas() (valid while a paint is running) and ends each property
// setter, after comparing and storing, with UpdateControlCanvas().
class TVrControl : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Version READ Version WRITE SetVersion STORED false)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(quint32 Color READ Color WRITE SetColor)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
    Q_PROPERTY(quint32 FontColor READ FontColor WRITE SetFontColor)

public:
    explicit TVrControl(QWidget* parent = nullptr);

    QString Version() const { return version_; }
    void SetVersion(const QString& version) { version_ = version; }

    QString Caption() const { return caption_; }
    // Stores the text, then TextChanged and a repaint.
    void SetCaption(const QString& caption);

    // The background colour; the parent's while ParentColor is on.
    TColor Color() const;
    // Stores the colour and switches ParentColor off.
    void SetColor(TColor color);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool value);
    // The colour text is drawn in (the font is the widget's QWidget::font()).
    TColor FontColor() const { return fontColor_; }
    void SetFontColor(TColor color);

    // The console never runs inside a form designer.
    bool Designing() const { return false; }
    bool Loading() const { return loading_; }
    // Marks the control as being filled from a window description: no repaints until Loaded.
    void BeginLoading() { loading_ = true; }
    virtual void Loaded();

    // Counted and not clamped: calls must be balanced, since an unmatched EndUpdate silences the
    // control until a BeginUpdate brings the counter back to 0.
    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();
    int UpdateCount() const { return updateCount_; }

    // Repaints at once, unless loading or inside BeginUpdate / EndUpdate.
    virtual void UpdateControlCanvas();
    // Fills the client area of Canvas() with Color.
    void ClearClientCanvas();

protected:
    // Draws the control; the base draws nothing.
    virtual void Paint() {}
    // The screen canvas while Paint runs; outside a paint, a canvas that draws nowhere.
    QPainter& Canvas();

    virtual void MouseEnter();
    virtual void MouseLeave();
    virtual void FontChanged();
    virtual void TextChanged();

    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TNotifyEvent OnFontChanged;
    TNotifyEvent OnTextChanged;

    // An opaque control paints every pixel; a non-opaque one shows its parent beneath.
    void SetOpaque(bool opaque);

    // The whole of a plain property setter: compare, store, repaint.
    template <typename T> void AssignAndRepaint(T& field, const T& value) {
        if (StoreChanged(field, value))
            UpdateControlCanvas();
    }

    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QString version_ = QStringLiteral("1.3");
    QString caption_;
    TColor color_ = clBtnFace;
    bool parentColor_ = false;
    TColor fontColor_ = clWindowText;
    int updateCount_ = 0;
    bool loading_ = false;
    QPainter* canvas_ = nullptr;
    QImage scratchImage_;
    std::optional<QPainter> scratchCanvas_;
};

// The off-screen image an image control draws on, with a canvas open on it for the duration of
// one paint, then copies to the screen in one block.
class TVrOffscreenImage {
public:
    // The image's canvas (sized to the control while a paint runs); opens it at the current size
    // when no paint has.
    QPainter& BitmapCanvas();
    const QImage& BitmapImage() const { return image_; }

protected:
    // Runs `paint` with the image sized to `control` and its canvas open in the control's font.
    void PaintOffscreen(const QWidget& control, const std::function<void()>& paint);
    // Fills the whole image, alpha included.
    void FillBitmap(const QColor& color);
    void CopyBitmapTo(QPainter& canvas) const { canvas.drawImage(0, 0, image_); }

private:
    // Sizes the image (keeping it when the size is unchanged) and opens its canvas.
    void Open(QSize size);

    QImage image_{1, 1, QImage::Format_ARGB32_Premultiplied};
    std::optional<QPainter> canvas_;
};

// Windowless control: no focus, painted over its parent.
class TVrGraphicControl : public TVrControl {
    Q_OBJECT
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)

public:
    explicit TVrGraphicControl(QWidget* parent = nullptr);

    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value);

    // After a change that may alter the control's size: lets AutoSize resize it (a new size
    // repaints by itself), else repaints.
    virtual void UpdateControlBounds();
    virtual void AdjustControlSize();

protected:
    // With AutoSize on, proposes the control's size; false keeps the current one.
    virtual bool CanAutoSize(int& newWidth, int& newHeight);

private:
    bool autoSize_ = false;
};

// Windowless control painted through an off-screen image, optionally transparent over its
// parent. A widget's Paint calls ClearBitmapCanvas, draws on BitmapCanvas(), then this class's
// Paint, which copies the image to the screen in one block.
class TVrGraphicImageControl : public TVrGraphicControl, public TVrOffscreenImage {
    Q_OBJECT

public:
    explicit TVrGraphicImageControl(QWidget* parent = nullptr);

    bool Transparent() const { return transparent_; }
    // Transparent controls leave unpainted pixels see-through, showing the parent beneath.
    void SetTransparent(bool value);

protected:
    // Fills the off-screen image with Color, or with see-through pixels when Transparent.
    virtual void ClearBitmapCanvas();
    void Paint() override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool transparent_ = false;
};

// Windowed control: can take the focus (TabStop) and keyboard input.
class TVrCustomControl : public TVrControl {
    Q_OBJECT
    Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)

public:
    explicit TVrCustomControl(QWidget* parent = nullptr);

    bool TabStop() const { return focusPolicy() != Qt::NoFocus; }
    void SetTabStop(bool value);
};

// Windowed control painted through an off-screen image; same drawing pattern as
// TVrGraphicImageControl, always opaque.
class TVrCustomImageControl : public TVrCustomControl, public TVrOffscreenImage {
    Q_OBJECT

public:
    explicit TVrCustomImageControl(QWidget* parent = nullptr);

protected:
    // Fills the off-screen image with Color.
    virtual void ClearBitmapCanvas();
    void Paint() override;
    void paintEvent(QPaintEvent* event) override;
};
