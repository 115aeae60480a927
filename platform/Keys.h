#pragma once

#include <QElapsedTimer>

#include <cstdint>

class QKeyEvent;

namespace platform {

// The code that stands for keys that have no virtual-key code of their own.
inline constexpr int unnamedKey = 255;

// The Windows virtual-key code of a key event, as the console's key handlers expect it:
// 13 Enter, 38 Up, 65 A, 96 keypad 0, 107 keypad plus, 187 and 189 the plus and minus keys of
// the main block. The shift state does not change the code of a key.
int virtualKey(const QKeyEvent& event);

// X11 sends a release before every auto-repeated press of a held key; Windows sends none.
bool isRepeatRelease(const QKeyEvent& event);

// Windows folds the repeats of a held key that the program has not read yet into one; X11
// queues every repeat, so a slow key handler would fall further behind for as long as the key
// is held, and the release's Stop would come late. A repeated press that waited in the queue
// longer than a repeat period is stale and dropped. The wait is measured against the press
// that began the hold, so the two clocks never need to agree.
class KeyRepeatFilter {
public:
    KeyRepeatFilter();

    bool isStaleRepeat(const QKeyEvent& event);
    // The same, at a given time of the console's clock in milliseconds.
    bool isStaleRepeat(const QKeyEvent& event, std::int64_t nowMs);

private:
    QElapsedTimer clock_;
    std::int64_t shortestWaitOffset_ = 0;
};

// Asks the X server to deliver a held key as repeated presses and one release, so that a busy
// machine cannot turn a repeat into a release. Does nothing on other platforms.
void requestDetectableAutoRepeat();

} // namespace platform
