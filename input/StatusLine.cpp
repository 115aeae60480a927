#include "input/StatusLine.h"

namespace input {

namespace {

std::size_t slot(StatusLine::Condition condition) {
    return static_cast<std::size_t>(condition);
}

} // namespace

StatusLine::StatusLine(Display display, Now now)
    : display_(std::move(display)), now_(std::move(now)) {}

void StatusLine::show(const QString& text) {
    display(std::nullopt, text);
}

void StatusLine::raise(Condition condition, const QString& text) {
    auto& entry = conditions_[slot(condition)];
    if (entry == text)
        return;
    entry = text;
    display(condition, text);
}

void StatusLine::clear(Condition condition) {
    auto& entry = conditions_[slot(condition)];
    if (!entry)
        return;
    entry.reset();
    if (condition == neverCovered && shownCondition_ != condition) {
        display(shownCondition_, shownBody_);
        return;
    }
    if (shownCondition_ != condition)
        return;
    if (const auto next = nextAfter(condition))
        display(next, *conditions_[slot(*next)]);
    else
        shownCondition_.reset();
}

bool StatusLine::active(Condition condition) const {
    return conditions_[slot(condition)].has_value();
}

void StatusLine::refresh() {
    if (now_() - shownSince_ < holdTime)
        return;
    const auto next = nextAfter(shownCondition_);
    if (!next)
        return;
    const QString& text = *conditions_[slot(*next)];
    if (next == shownCondition_ && text == shownBody_)
        return;
    display(next, text);
}

std::optional<StatusLine::Condition>
StatusLine::nextAfter(std::optional<Condition> condition) const {
    const std::size_t start = condition ? slot(*condition) + 1 : 0;
    for (std::size_t i = 0; i < conditions_.size(); ++i) {
        const std::size_t index = (start + i) % conditions_.size();
        if (conditions_[index])
            return static_cast<Condition>(index);
    }
    return std::nullopt;
}

void StatusLine::display(std::optional<Condition> condition, const QString& text) {
    shownCondition_ = condition;
    shownSince_ = now_();
    shownBody_ = text;
    const auto& uncovered = conditions_[slot(neverCovered)];
    shown_ =
        uncovered && condition != neverCovered ? *uncovered + QStringLiteral(" · ") + text : text;
    display_(shown_);
}

} // namespace input
