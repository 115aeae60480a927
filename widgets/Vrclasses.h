#pragma once

// Small change-notifying value objects the widgets describe their colours and frames with.
// The owning widget installs OnChange (normally calling its UpdateControlCanvas); every setter
// compares first and notifies only when the value changes.

#include "widgets/Vrsysutils.h"

#include <QImage>
#include <QString>

#include <functional>

class QPainter;

class TVrPersistent {
public:
    using TNotifyEvent = std::function<void(TVrPersistent& sender)>;

    TVrPersistent() = default;
    // A copy is detached: it keeps the values, not the owner's handler nor the update counter.
    TVrPersistent(const TVrPersistent&) {}
    // Values are taken over with Assign, which notifies the owner.
    TVrPersistent& operator=(const TVrPersistent&) = delete;
    virtual ~TVrPersistent() = default;

    TNotifyEvent OnChange;

    // Notifies OnChange, unless inside BeginUpdate / EndUpdate.
    void Changed();
    void BeginUpdate() { ++updateCount_; }
    // Leaves one update level (never below 0) and notifies.
    void EndUpdate();
    int UpdateCount() const { return updateCount_; }

private:
    int updateCount_ = 0;
};

// Compares, stores and notifies: the shape of every value-object setter.
template <typename T> bool AssignChanged(TVrPersistent& owner, T& field, const T& value) {
    if (field == value)
        return false;
    field = value;
    owner.Changed();
    return true;
}

// Two colours: Low for off / inactive, High for on / active.
class TVrPalette : public TVrPersistent {
public:
    TColor Low() const { return low_; }
    void SetLow(TColor value) { AssignChanged(*this, low_, value); }
    TColor High() const { return high_; }
    void SetHigh(TColor value) { AssignChanged(*this, high_, value); }

    // Low for an index of 0 or below, High otherwise (so true picks High).
    virtual TColor GetColors(int index) const;
    // Takes both colours over, notifying once.
    void Assign(const TVrPalette& source);
    // Recolours a template image: pixels equal to lowMatch become Low, those equal to highMatch
    // become High; both masks come from the image as it was.
    void ToBMP(QImage& bitmap, TColor lowMatch, TColor highMatch) const;

private:
    TColor low_ = clGreen;
    TColor high_ = clLime;
};

enum class TVrBevelStyle { bsNone, bsLowered, bsRaised };
enum class TVrBevelOutlineStyle { osOuter, osInner, osNone };

// A double bevel (outer and inner ring) with an optional border.
class TVrBevel : public TVrPersistent {
public:
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int value) { AssignChanged(*this, borderWidth_, value); }
    TColor BorderColor() const { return borderColor_; }
    void SetBorderColor(TColor value) { AssignChanged(*this, borderColor_, value); }
    TColor InnerShadow() const { return innerShadow_; }
    void SetInnerShadow(TColor value) { AssignChanged(*this, innerShadow_, value); }
    TColor InnerHighlight() const { return innerHighlight_; }
    void SetInnerHighlight(TColor value) { AssignChanged(*this, innerHighlight_, value); }
    int InnerWidth() const { return innerWidth_; }
    void SetInnerWidth(int value) { AssignChanged(*this, innerWidth_, value); }
    TVrBevelStyle InnerStyle() const { return innerStyle_; }
    void SetInnerStyle(TVrBevelStyle value) { AssignChanged(*this, innerStyle_, value); }
    TVrBevelOutlineStyle InnerOutline() const { return innerOutline_; }
    void SetInnerOutline(TVrBevelOutlineStyle value) { AssignChanged(*this, innerOutline_, value); }
    int InnerSpace() const { return innerSpace_; }
    void SetInnerSpace(int value) { AssignChanged(*this, innerSpace_, value); }
    TColor InnerColor() const { return innerColor_; }
    void SetInnerColor(TColor value) { AssignChanged(*this, innerColor_, value); }
    TColor OuterShadow() const { return outerShadow_; }
    void SetOuterShadow(TColor value) { AssignChanged(*this, outerShadow_, value); }
    TColor OuterHighlight() const { return outerHighlight_; }
    void SetOuterHighlight(TColor value) { AssignChanged(*this, outerHighlight_, value); }
    int OuterWidth() const { return outerWidth_; }
    void SetOuterWidth(int value) { AssignChanged(*this, outerWidth_, value); }
    TVrBevelStyle OuterStyle() const { return outerStyle_; }
    void SetOuterStyle(TVrBevelStyle value) { AssignChanged(*this, outerStyle_, value); }
    TVrBevelOutlineStyle OuterOutline() const { return outerOutline_; }
    void SetOuterOutline(TVrBevelOutlineStyle value) { AssignChanged(*this, outerOutline_, value); }
    int OuterSpace() const { return outerSpace_; }
    void SetOuterSpace(int value) { AssignChanged(*this, outerSpace_, value); }
    TColor OuterColor() const { return outerColor_; }
    void SetOuterColor(TColor value) { AssignChanged(*this, outerColor_, value); }
    bool Visible() const { return visible_; }
    void SetVisible(bool value) { AssignChanged(*this, visible_, value); }

    // Takes every property over, notifying once.
    void Assign(const TVrBevel& source);
    // Draws border, outer ring and inner ring inside `rect`; `rect` becomes the area left inside.
    void Paint(QPainter& canvas, TRect& rect) const;
    // Shrinks `rect` to the area Paint leaves inside, without drawing.
    void GetVisibleArea(TRect& rect) const;

private:
    struct Ring {
        TVrBevelOutlineStyle outline;
        TVrBevelStyle style;
        int width;
        TColor shadow;
        TColor highlight;
        int space;
        TColor color;
    };
    Ring OuterRing() const;
    Ring InnerRing() const;
    static void PaintRing(QPainter& canvas, TRect& rect, const Ring& ring);

    int borderWidth_ = 0;
    TColor borderColor_ = clBtnFace;
    TColor innerShadow_ = clBtnShadow;
    TColor innerHighlight_ = clBtnHighlight;
    int innerWidth_ = 1;
    TVrBevelStyle innerStyle_ = TVrBevelStyle::bsLowered;
    TVrBevelOutlineStyle innerOutline_ = TVrBevelOutlineStyle::osNone;
    int innerSpace_ = 1;
    TColor innerColor_ = clBtnFace;
    TColor outerShadow_ = clBtnShadow;
    TColor outerHighlight_ = clBtnHighlight;
    int outerWidth_ = 1;
    TVrBevelStyle outerStyle_ = TVrBevelStyle::bsRaised;
    TVrBevelOutlineStyle outerOutline_ = TVrBevelOutlineStyle::osOuter;
    int outerSpace_ = 0;
    TColor outerColor_ = clBtnFace;
    bool visible_ = true;
};

enum class TVrFont3DStyle { f3dNone, f3dRaised, f3dSunken, f3dShadow };

// A 3-D relief for text: offset copies in a highlight and a shadow colour under the text.
class TVrFont3D : public TVrPersistent {
public:
    TVrFont3DStyle Style() const { return style_; }
    void SetStyle(TVrFont3DStyle value) { AssignChanged(*this, style_, value); }
    TColor HighlightColor() const { return highlightColor_; }
    void SetHighlightColor(TColor value) { AssignChanged(*this, highlightColor_, value); }
    TColor ShadowColor() const { return shadowColor_; }
    void SetShadowColor(TColor value) { AssignChanged(*this, shadowColor_, value); }
    int HighlightDepth() const { return highlightDepth_; }
    void SetHighlightDepth(int value) { AssignChanged(*this, highlightDepth_, value); }
    int ShadowDepth() const { return shadowDepth_; }
    void SetShadowDepth(int value) { AssignChanged(*this, shadowDepth_, value); }

    // Takes every property over, notifying once.
    void Assign(const TVrFont3D& source);
    // Draws the relief copies, then `text` in fontColor, all with DrawText and `format`.
    void Paint(QPainter& canvas, const TRect& rect, unsigned format, const QString& text,
               TColor fontColor) const;

private:
    TVrFont3DStyle style_ = TVrFont3DStyle::f3dNone;
    TColor highlightColor_ = clBtnHighlight;
    TColor shadowColor_ = clBtnShadow;
    int highlightDepth_ = 1;
    int shadowDepth_ = 1;
};
