#pragma once

#include "input/ConsolePanel.h"
#include "input/GameController.h"
#include "link/CommandLink.h"
#include "link/Commands.h"
#include "tests/link/LinkTestSupport.h"

#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <optional>

namespace input_testing {

// Records what the input handlers show; the cleaning switch sends its command as the main
// window's click handler does.
struct RecordingPanel final : input::ConsolePanel {
    explicit RecordingPanel(robot::CommandLink& link) : link(link) {}

    robot::CommandLink& link;
    QString status;
    // Every text shown, in order.
    QStringList texts;
    int power = -1, slider = -1;
    bool cleaning = false;
    std::optional<bool> frontCamera;
    int snapshots = 0, records = 0, stopRecords = 0, jogMeter = 0;

    void showStatus(const QString& text) override { texts << (status = text); }
    void setPowerBar(int position) override { power = position; }
    void setMotorSlider(int position) override { slider = position; }
    void setCleaningSwitch(bool on) override { cleaning = on; }
    void clickCleaningSwitch() override {
        cleaning = !cleaning;
        robot::sendCleaningMotor(link, cleaning);
    }
    void showCamera(bool front) override { frontCamera = front; }
    void takeSnapshot() override { ++snapshots; }
    void clickRecord() override { ++records; }
    void clickStopRecord() override { ++stopRecords; }
    void showRobotText() override { status = QStringLiteral("robot text"); }
    void setJogMeter(int value) override { jogMeter = value; }
};

// A controller's console: what it shares, what it sends and what it shows.
struct ControllerConsole {
    input::ControlState state;
    link_testing::RecordingLink link;
    RecordingPanel panel{link};
    input::GameController controller{state, panel, link};

    // Takes the first controller, acquired as in an active window.
    void open() {
        ASSERT_TRUE(controller.init(platform::openFirstJoystick()));
        controller.acquire(true);
    }
    std::vector<std::uint8_t> tick(bool present = true) {
        link.steps.clear();
        controller.tick(present);
        return link.bytes();
    }
};

} // namespace input_testing
