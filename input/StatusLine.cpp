#include "input/StatusLine.h"

namespace input {

StatusLine::StatusLine(Display display, Now now)
    : display_(std::move(display)), now_(std::move(now)) {}

void StatusLine::show(const QString& text) {
    passingShown_ = true;
    passingSince_ = now_();
    display(text);
}

void StatusLine::raise(Condition condition, const QString& text) {
    conditions_[static_cast<std::size_t>(condition)] = text;
    if (mostUrgent() == condition) {
        passingShown_ = false;
        display(text);
    }
}

void StatusLine::clear(Condition condition) {
    auto& slot = conditions_[static_cast<std::size_t>(condition)];
    if (!slot)
        return;
    const bool wasShown = !passingShown_ && shown_ == *slot;
    slot.reset();
    if (!wasShown)
        return;
    if (const auto next = mostUrgent())
        display(*conditions_[static_cast<std::size_t>(*next)]);
}

bool StatusLine::active(Condition condition) const {
    return conditions_[static_cast<std::size_t>(condition)].has_value();
}

void StatusLine::refresh() {
    const auto urgent = mostUrgent();
    if (!urgent || (passingShown_ && now_() - passingSince_ < holdTime))
        return;
    passingShown_ = false;
    const QString& text = *conditions_[static_cast<std::size_t>(*urgent)];
    if (text != shown_)
        display(text);
}

std::optional<StatusLine::Condition> StatusLine::mostUrgent() const {
    for (std::size_t i = 0; i < conditions_.size(); ++i)
        if (conditions_[i])
            return static_cast<Condition>(i);
    return std::nullopt;
}

void StatusLine::display(const QString& text) {
    shown_ = text;
    display_(text);
}

} // namespace input
