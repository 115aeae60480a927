#pragma once

#include <QString>

namespace input {

// What the operator's keys and controller change on the main window besides the line.
class ConsolePanel {
public:
    virtual ~ConsolePanel() = default;

    // The status line.
    virtual void showStatus(const QString& text) = 0;
    virtual void setPowerBar(int position) = 0;
    // Moves the motor slider; its change handler runs when the position changes.
    virtual void setMotorSlider(int position) = 0;
    // Sets "Motor Limpieza" without running its click handler.
    virtual void setCleaningSwitch(bool on) = 0;
    // Flips "Motor Limpieza" and runs its click handler, which sends the motor command.
    virtual void clickCleaningSwitch() = 0;
    virtual void showCamera(bool front) = 0;
    // Saves a still picture under the next snapshot name and counts it.
    virtual void takeSnapshot() = 0;
    virtual void clickRecord() = 0;
    virtual void clickStopRecord() = 0;
    // Asks the robot for its text and shows the answer in the status line.
    virtual void showRobotText() = 0;
    virtual void setJogMeter(int value) = 0;
};

} // namespace input
