#pragma once

#include <QString>

#include <mutex>

namespace platform {

// A text written on the GUI thread and read from any thread. Each write swaps in a whole
// new text, so a reader gets either the old or the new one, never a mix. A plain lock
// rather than an atomic shared pointer: ThreadSanitizer cannot follow the latter's
// internal lock in this standard library and reports races that are not there.
class SharedText {
public:
    explicit SharedText(const QString& initial) : text_(initial) {}

    QString get() const {
        std::lock_guard lock(mutex_);
        return text_;
    }
    void set(QString text) {
        std::lock_guard lock(mutex_);
        text_.swap(text);
    }

private:
    mutable std::mutex mutex_;
    QString text_;
};

} // namespace platform
