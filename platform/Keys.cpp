#include "platform/Keys.h"

#include <QGuiApplication>
#include <QKeyEvent>

#include <optional>
#include <utility>

#if defined(MARLO_HAVE_XCB_XKB) && QT_CONFIG(xcb)
#include <QtGui/qguiapplication_platform.h>
// The C header names a member "explicit".
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit

#include <cstdlib>
#include <memory>
#endif

namespace platform {
namespace {

using KeyCode = std::pair<int, int>;

constexpr KeyCode keyCodes[] = {
    {Qt::Key_Backspace, 8},
    {Qt::Key_Tab, 9},
    {Qt::Key_Backtab, 9},
    {Qt::Key_Clear, 12},
    {Qt::Key_Return, 13},
    {Qt::Key_Enter, 13},
    {Qt::Key_Shift, 16},
    {Qt::Key_Control, 17},
    {Qt::Key_Alt, 18},
    {Qt::Key_AltGr, 18},
    {Qt::Key_Pause, 19},
    {Qt::Key_CapsLock, 20},
    {Qt::Key_Escape, 27},
    {Qt::Key_Space, 32},
    {Qt::Key_PageUp, 33},
    {Qt::Key_PageDown, 34},
    {Qt::Key_End, 35},
    {Qt::Key_Home, 36},
    {Qt::Key_Left, 37},
    {Qt::Key_Up, 38},
    {Qt::Key_Right, 39},
    {Qt::Key_Down, 40},
    {Qt::Key_Print, 44},
    {Qt::Key_Insert, 45},
    {Qt::Key_Delete, 46},
    {Qt::Key_Meta, 91},
    {Qt::Key_Menu, 93},
    {Qt::Key_NumLock, 144},
    {Qt::Key_ScrollLock, 145},
    // Keys of the main block named by their character; shifted characters give the code of
    // their key on a US or Spanish layout.
    {Qt::Key_Plus, 187},
    {Qt::Key_Equal, 187},
    {Qt::Key_Asterisk, 187},
    {Qt::Key_Minus, 189},
    {Qt::Key_Underscore, 189},
    {Qt::Key_Comma, 188},
    {Qt::Key_Less, 188},
    {Qt::Key_Period, 190},
    {Qt::Key_Greater, 190},
    {Qt::Key_Ntilde, 192},
    {Qt::Key_masculine, 220},
    {Qt::Key_ordfeminine, 220},
    {Qt::Key_Semicolon, 186},
    {Qt::Key_Colon, 186},
    {Qt::Key_Slash, 191},
    {Qt::Key_Question, 191},
    {Qt::Key_Ccedilla, 191},
    {Qt::Key_QuoteLeft, 192},
    {Qt::Key_AsciiTilde, 192},
    {Qt::Key_BracketLeft, 219},
    {Qt::Key_BraceLeft, 219},
    {Qt::Key_Backslash, 220},
    {Qt::Key_Bar, 220},
    {Qt::Key_BracketRight, 221},
    {Qt::Key_BraceRight, 221},
    {Qt::Key_exclamdown, 221},
    {Qt::Key_Apostrophe, 222},
    {Qt::Key_QuoteDbl, 222},
    {Qt::Key_Exclam, '1'},
    {Qt::Key_At, '2'},
    {Qt::Key_NumberSign, '3'},
    {Qt::Key_Dollar, '4'},
    {Qt::Key_Percent, '5'},
    {Qt::Key_ParenLeft, '9'},
};

constexpr int keypadZero = 96;
// Longer than the slowest auto-repeat period a keyboard offers.
constexpr std::int64_t staleRepeatMs = 50;

// Keypad digits and operators; with Num Lock off the keypad gives navigation keys instead,
// which keep their own codes.
std::optional<int> keypadKey(int key) {
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return keypadZero + (key - Qt::Key_0);
    switch (key) {
    case Qt::Key_Asterisk:
        return 106;
    case Qt::Key_Plus:
        return 107;
    case Qt::Key_Minus:
        return 109;
    case Qt::Key_Period:
    case Qt::Key_Comma:
        return 110;
    case Qt::Key_Slash:
        return 111;
    default:
        return std::nullopt;
    }
}

// The digit row by its position on X11 (key codes 10 to 19), whatever the layout and shift.
std::optional<int> digitRowKey(const QKeyEvent& event) {
    const auto scanCode = static_cast<int>(event.nativeScanCode());
    if (QGuiApplication::platformName() != QLatin1String("xcb") || scanCode < 10 || scanCode > 19)
        return std::nullopt;
    return scanCode == 19 ? '0' : '1' + (scanCode - 10);
}

bool isLetterOrDigit(int key) {
    return (key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9);
}

} // namespace

int virtualKey(const QKeyEvent& event) {
#ifdef Q_OS_WIN
    if (event.nativeVirtualKey() > 0 && event.nativeVirtualKey() <= 0xFE)
        return static_cast<int>(event.nativeVirtualKey());
#endif
    const int key = event.key();
    if (event.modifiers().testFlag(Qt::KeypadModifier))
        if (auto code = keypadKey(key))
            return *code;
    if (auto code = digitRowKey(event))
        return *code;
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return 112 + (key - Qt::Key_F1);
    if (isLetterOrDigit(key))
        return key;
    for (const auto& [qtKey, code] : keyCodes)
        if (qtKey == key)
            return code;
    return unnamedKey;
}

KeyRepeatFilter::KeyRepeatFilter() {
    clock_.start();
}

bool KeyRepeatFilter::isStaleRepeat(const QKeyEvent& event) {
    return isStaleRepeat(event, clock_.elapsed());
}

bool KeyRepeatFilter::isStaleRepeat(const QKeyEvent& event, std::int64_t nowMs) {
    if (event.type() != QEvent::KeyPress || event.timestamp() == 0)
        return false;
    const std::int64_t offset = nowMs - static_cast<std::int64_t>(event.timestamp());
    if (!event.isAutoRepeat() || offset < shortestWaitOffset_) {
        shortestWaitOffset_ = offset;
        return false;
    }
    return offset - shortestWaitOffset_ > staleRepeatMs;
}

bool isRepeatRelease(const QKeyEvent& event) {
    return event.type() == QEvent::KeyRelease && event.isAutoRepeat();
}

void requestDetectableAutoRepeat() {
#if defined(MARLO_HAVE_XCB_XKB) && QT_CONFIG(xcb)
    // The offscreen platform answers as X11 too, without a connection.
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (QGuiApplication::platformName() != QLatin1String("xcb") || !x11 || !x11->connection())
        return;
    xcb_connection_t* connection = x11->connection();
    const auto flag = XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT;
    const auto cookie =
        xcb_xkb_per_client_flags(connection, XCB_XKB_ID_USE_CORE_KBD, flag, flag, 0, 0, 0);
    std::unique_ptr<xcb_xkb_per_client_flags_reply_t, decltype(&std::free)> reply(
        xcb_xkb_per_client_flags_reply(connection, cookie, nullptr), &std::free);
#endif
}

} // namespace platform
