#pragma once

#include <QString>

#include <array>
#include <chrono>
#include <functional>
#include <optional>

namespace input {

// The status line under the instruments. It shows the last key's or button's text, and the
// conditions that must stay in view while they last (a lost link, a camera without pictures,
// a recording in trouble, an observation not saved whole, a traffic record that cannot be kept).
// A condition shows the moment it starts or changes; a key text covers it only for holdTime. With
// several conditions on, each refresh after holdTime shows the next one, most urgent first, so
// none is hidden for good by another. A lost link is never covered: whatever else is shown while
// it lasts follows its text.
class StatusLine {
public:
    using Clock = std::chrono::steady_clock;
    using Display = std::function<void(const QString&)>;
    using Now = std::function<Clock::time_point()>;

    // Most urgent first.
    enum class Condition {
        LinkLost,
        PortInUse,
        RobotSilent,
        RecordingFailed,
        RecordingPaused,
        DiskLow,
        FramesDropped,
        ObservationFailed,
        CameraNoPicture,
        TrafficRecordUnavailable,
    };
    static constexpr int conditionCount = 10;
    static constexpr auto holdTime = std::chrono::seconds(2);
    static constexpr Condition neverCovered = Condition::LinkLost;

    explicit StatusLine(Display display, Now now = Clock::now);

    // A passing text: shown now, covering any condition until the next refresh after holdTime.
    void show(const QString& text);
    // Starts the condition or changes its text, and shows it now; the same text again is no news.
    void raise(Condition condition, const QString& text);
    // Ends the condition; when it was in view, the next condition still on, if any, is shown.
    void clear(Condition condition);
    bool active(Condition condition) const;
    // Once the text in view has been seen for holdTime, shows the next condition that is on.
    void refresh();

    const QString& text() const { return shown_; }

private:
    // The first condition on after the given one, wrapping round; the most urgent without one.
    std::optional<Condition> nextAfter(std::optional<Condition> condition) const;
    void display(std::optional<Condition> condition, const QString& text);

    Display display_;
    Now now_;
    std::array<std::optional<QString>, conditionCount> conditions_;
    QString shown_;
    // The text in view without the lost link's text before it.
    QString shownBody_;
    // The condition in view; none while a passing text is.
    std::optional<Condition> shownCondition_;
    Clock::time_point shownSince_{};
};

} // namespace input
