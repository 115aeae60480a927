#pragma once

#include <QString>

#include <atomic>
#include <memory>

namespace robot {

// A text written on the GUI thread and read from any thread. Each write swaps in a whole
// new text, so a reader gets either the old or the new one, never a mix.
class SharedText {
public:
    explicit SharedText(const QString& initial) : text_(std::make_shared<const QString>(initial)) {}

    QString get() const { return *text_.load(); }
    void set(const QString& text) { text_.store(std::make_shared<const QString>(text)); }

private:
    std::atomic<std::shared_ptr<const QString>> text_;
};

} // namespace robot
