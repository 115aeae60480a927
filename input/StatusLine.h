#pragma once

#include <QString>

#include <array>
#include <chrono>
#include <functional>
#include <optional>

namespace input {

// The status line under the instruments. It shows the last key's or button's text, and the
// conditions that must stay in view while they last (a lost link, a camera without pictures,
// a recording in trouble). A key text covers a condition only for a moment: the next refresh
// after holdTime brings the most urgent condition back.
class StatusLine {
public:
    using Clock = std::chrono::steady_clock;
    using Display = std::function<void(const QString&)>;
    using Now = std::function<Clock::time_point()>;

    // Most urgent first.
    enum class Condition {
        LinkLost,
        RobotSilent,
        RecordingFailed,
        RecordingPaused,
        DiskLow,
        FramesDropped,
        CameraNoPicture,
    };
    static constexpr int conditionCount = 7;
    static constexpr auto holdTime = std::chrono::seconds(2);

    explicit StatusLine(Display display, Now now = Clock::now);

    // A passing text: shown now, covering any condition until the next refresh after holdTime.
    void show(const QString& text);
    // Starts the condition or changes its text; shown now when nothing more urgent is on.
    void raise(Condition condition, const QString& text);
    // Ends the condition; the next condition still on, if any, is shown now.
    void clear(Condition condition);
    bool active(Condition condition) const;
    // Brings the most urgent condition back once a passing text has been seen for holdTime.
    void refresh();

    const QString& text() const { return shown_; }

private:
    std::optional<Condition> mostUrgent() const;
    void display(const QString& text);

    Display display_;
    Now now_;
    std::array<std::optional<QString>, conditionCount> conditions_;
    QString shown_;
    bool passingShown_ = false;
    Clock::time_point passingSince_{};
};

} // namespace input
