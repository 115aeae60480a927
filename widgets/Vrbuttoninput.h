#pragma once

#include "widgets/Vrcontrols.h"

#include <QPoint>
#include <QString>

#include <functional>

class QEvent;
class QKeyEvent;
class QMouseEvent;

// Space typed once (X11's auto-repeat pairs are not separate presses); accepts the event when
// it is.
bool AcceptSpace(QKeyEvent& event);

// Follows one press of a push button, by the left button or Space: pressed while it lasts, down
// while the button is drawn pressed. Changes of down repaint the button, except through Release,
// for a button with more to change before its repaint.
class TVrButtonPress {
public:
    explicit TVrButtonPress(TVrCustomControl& button) : button_(button) {}

    bool Pressed() const { return pressed_; }
    bool Down() const { return down_; }

    // Starts a press: pressed and down, then the focus if the button is a tab stop.
    void Press();
    // A left-button press inside the button starts a press.
    void MousePress(const QMouseEvent& event);
    // While pressed, down follows whether the pointer is inside; true when down changed.
    bool Follow(bool inside);
    void MouseMove(const QMouseEvent& event);
    void SetDown(bool value);
    // Ends the press without repainting; true when the button was down.
    bool Release();
    // Ends the press, repainting a button that was down; true when it was, which completes the
    // press into a click.
    bool Complete();
    // A disabled button gets no release, so its press ends here; either way it repaints.
    void EnabledChanged();

private:
    bool Inside(QPoint pos) const;

    TVrCustomControl& button_;
    bool pressed_ = false;
    bool down_ = false;
};

// The window-wide Alt+letter shortcut that the '&' in a button's caption marks; it clicks the
// enabled button.
class TVrAccelerator {
public:
    TVrAccelerator(QWidget& button, std::function<void()> click)
        : button_(button), click_(std::move(click)) {}

    // Swaps the shortcut for the one the new caption marks, if any.
    void Regrab(const QString& caption);
    // True when the event is the shortcut, which is then handled.
    bool Dispatch(QEvent& event);

private:
    QWidget& button_;
    std::function<void()> click_;
    int id_ = 0;
};
