#pragma once

#include "widgets/Vrclasses.h"
#include "widgets/Vrcontrols.h"
#include "widgets/Vrimagecaption.h"

#include <QImage>

enum class TVrLedType { ltRounded, ltRectangle, ltLargeRect, ltCustom };

// A lamp beside its caption, drawn from a two-frame image (off on the left, on on the right).
// The stock lamps are templates recoloured with Palette: Low for the off frame, High for the on
// frame; their black pixels are left out, as are the pixels of Color in a custom image.
class TVrCustomLed : public TVrGraphicImageControl, public TVrImageCaptionLayout {
    Q_OBJECT
    Q_PROPERTY(bool Active READ Active WRITE SetActive)
    Q_PROPERTY(TVrLedType LedType READ LedType WRITE SetLedType)
    Q_PROPERTY(TVrImageTextLayout Layout READ Layout WRITE SetLayout)
    Q_PROPERTY(int Margin READ Margin WRITE SetMargin)
    Q_PROPERTY(int Spacing READ Spacing WRITE SetSpacing)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_PROPERTY(QImage Glyphs READ Glyphs WRITE SetGlyphs)

public:
    explicit TVrCustomLed(QWidget* parent = nullptr);

    bool Active() const { return active_; }
    // Repaints, then OnChange.
    void SetActive(bool value);
    // Changes made inside the palette reload the lamp and repaint.
    TVrPalette& Palette() { return palette_; }
    const TVrPalette& Palette() const { return palette_; }
    void SetPalette(const TVrPalette& value) { palette_.Assign(value); }
    TVrLedType LedType() const { return ledType_; }
    void SetLedType(TVrLedType value);
    // The user's two-frame image for ltCustom.
    const QImage& Glyphs() const { return glyphs_; }
    void SetGlyphs(const QImage& value);

    // Where the last paint put the lamp.
    TRect LampRect() const { return ImageRect(); }

    TNotifyEvent OnChange;

protected:
    // Rebuilds the working two-frame image from the lamp type, the palette and Glyphs.
    virtual void LoadBitmaps();
    // Fires OnChange.
    virtual void Changed();
    void Paint() override;

private:
    void ImageChanged();

    bool active_ = false;
    TVrPalette palette_;
    TVrLedType ledType_ = TVrLedType::ltRounded;
    QImage glyphs_;
    QImage lamp_;
};

class TVrLed : public TVrCustomLed {
    Q_OBJECT

public:
    using TVrCustomLed::TVrCustomLed;
};
