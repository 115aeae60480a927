#include "widgets/Vrbuttoninput.h"

#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QShortcutEvent>

bool AcceptSpace(QKeyEvent& event) {
    if (event.key() != Qt::Key_Space || event.isAutoRepeat())
        return false;
    event.accept();
    return true;
}

void TVrButtonPress::Press() {
    pressed_ = true;
    SetDown(true);
    if (button_.TabStop())
        button_.setFocus(Qt::MouseFocusReason);
}

void TVrButtonPress::MousePress(const QMouseEvent& event) {
    if (event.button() == Qt::LeftButton && Inside(event.position().toPoint()))
        Press();
}

bool TVrButtonPress::Follow(bool inside) {
    if (!pressed_ || down_ == inside)
        return false;
    SetDown(inside);
    return true;
}

void TVrButtonPress::MouseMove(const QMouseEvent& event) {
    Follow(Inside(event.position().toPoint()));
}

void TVrButtonPress::SetDown(bool value) {
    if (StoreChanged(down_, value))
        button_.UpdateControlCanvas();
}

bool TVrButtonPress::Release() {
    const bool wasDown = down_;
    pressed_ = false;
    down_ = false;
    return wasDown;
}

bool TVrButtonPress::Complete() {
    if (!Release())
        return false;
    button_.UpdateControlCanvas();
    return true;
}

void TVrButtonPress::EnabledChanged() {
    if (!button_.isEnabled())
        Release();
    button_.UpdateControlCanvas();
}

bool TVrButtonPress::Inside(QPoint pos) const {
    return button_.rect().contains(pos);
}

void TVrAccelerator::Regrab(const QString& caption) {
    if (id_ != 0)
        button_.releaseShortcut(id_);
    const QKeySequence mnemonic = QKeySequence::mnemonic(caption);
    id_ = mnemonic.isEmpty() ? 0 : button_.grabShortcut(mnemonic);
}

bool TVrAccelerator::Dispatch(QEvent& event) {
    if (event.type() != QEvent::Shortcut || id_ == 0 ||
        static_cast<QShortcutEvent&>(event).shortcutId() != id_)
        return false;
    if (button_.isEnabled())
        click_();
    return true;
}
