#include "input/GameController.h"

#include "link/Commands.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <utility>

namespace input {
namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(GameController)
};

using namespace std::chrono_literals;
using platform::JoystickStatus;

constexpr auto betweenPolls = 20ms;
constexpr auto afterSnapshot = 50ms;
constexpr int deadBand = 2;
constexpr int turningDifference = 4;
constexpr int hardTurn = 45;
// A device that stays lost after this many re-acquisitions fails the poll.
constexpr int reacquireAttempts = 3;

std::int8_t clampMotor(int value) {
    if (value > robot::noPower)
        return robot::noPower - 1;
    if (value < 0)
        return 1;
    return static_cast<std::int8_t>(value);
}

bool nearCentre(int value) {
    return value > -deadBand && value < deadBand;
}

} // namespace

MotorValues stickMotors(int x, int y) {
    const auto sx = static_cast<std::int8_t>(std::clamp(x, platform::stickMin, platform::stickMax));
    const auto sy = static_cast<std::int8_t>(std::clamp(y, platform::stickMin, platform::stickMax));
    int motor1 = 0;
    int motor2 = 0;
    if (sy > 0) {
        const int half = sx / 2;
        motor1 = robot::noPower - sy - half;
        motor2 = robot::noPower - sy + half;
    } else {
        motor1 = robot::noPower + sy - sx;
        motor2 = robot::noPower + sy + sx;
    }
    return {clampMotor(static_cast<std::int8_t>(motor1)),
            clampMotor(static_cast<std::int8_t>(motor2))};
}

bool stickMoved(const platform::JoystickReading& now, const platform::JoystickReading& lastSent) {
    return std::abs(now.y - lastSent.y) > deadBand || std::abs(now.x - lastSent.x) > deadBand;
}

struct GameController::ButtonRule {
    int index;
    const char* status;
    void (*act)(GameController&);
};

GameController::GameController(ControlState& state, ConsolePanel& panel, robot::CommandLink& link)
    : state_(state), panel_(panel), link_(link) {}

bool GameController::init(std::unique_ptr<platform::Joystick> device) {
    device_ = std::move(device);
    return device_ != nullptr;
}

void GameController::attach(std::unique_ptr<platform::Joystick> device) {
    device_ = std::move(device);
    joyState_ = joyLastSent_ = {};
    stickIdle_ = true;
    awaitingRest_ = true;
}

bool GameController::detach() {
    device_.reset();
    awaitingRest_ = false;
    return releaseStick();
}

bool GameController::deviceAttached() const {
    return device_ && device_->attached();
}

void GameController::acquire(bool active) {
    if (!device_)
        return;
    if (active)
        device_->acquire();
    else
        device_->release();
}

// Lost input is answered by re-acquiring within the same poll, a bounded number of times.
PollOutcome GameController::poll(bool present) {
    if (!present)
        return PollOutcome::Failed;
    if (!device_)
        return PollOutcome::Ok;
    for (int attempt = 0; attempt < reacquireAttempts; ++attempt) {
        if (device_->poll() != JoystickStatus::Ok)
            return PollOutcome::Failed;
        joyState_.buttons[0] = false;
        if (device_->read(joyState_) != JoystickStatus::InputLost)
            return PollOutcome::Ok;
        if (device_->acquire() != JoystickStatus::InputLost)
            return PollOutcome::Ok;
    }
    return PollOutcome::Lost;
}

void GameController::tick(bool present) {
    if (!present)
        return;
    for (int round = 0; round < 2; ++round) {
        if (round > 0)
            link_.pause(betweenPolls);
        const PollOutcome outcome = poll(present);
        if (outcome == PollOutcome::Lost)
            stopWhenLost();
        if (outcome != PollOutcome::Ok)
            return;
    }
    if (awaitingRest_ && !stickAtRest())
        return;
    awaitingRest_ = false;
    actOnButtons();
    sendZChange();
    driveFromStick();
}

bool GameController::stickAtRest() const {
    return nearCentre(joyState_.y) && nearCentre(joyState_.x);
}

bool GameController::releaseStick() {
    return !std::exchange(stickIdle_, true);
}

// A controller pulled out while the stick drove would leave the robot driving.
void GameController::stopWhenLost() {
    if (releaseStick())
        robot::sendStop(link_);
}

std::span<const GameController::ButtonRule> GameController::buttonRules() {
    using robot::Command;
    static constexpr ButtonRule table[] = {
        {0, QT_TRANSLATE_NOOP("GameController", "Botón 1: Foto instantánea"),
         [](GameController& c) {
             c.panel_.takeSnapshot();
             c.link_.pause(afterSnapshot);
         }},
        {1, QT_TRANSLATE_NOOP("GameController", "Botón 2: Motor limpieza"),
         [](GameController& c) { c.panel_.clickCleaningSwitch(); }},
        {3, QT_TRANSLATE_NOOP("GameController", "Botón 3: Cámara delantera"),
         [](GameController& c) {
             robot::send(c.link_, Command::FrontCamera);
             c.panel_.showCamera(true);
         }},
        {2, QT_TRANSLATE_NOOP("GameController", "Botón 4: Cámara trasera"),
         [](GameController& c) {
             robot::send(c.link_, Command::RearCamera);
             c.panel_.showCamera(false);
         }},
        {4, nullptr, [](GameController& c) { c.panel_.clickRecord(); }},
        {5, nullptr, [](GameController& c) { c.panel_.clickStopRecord(); }},
        {6, QT_TRANSLATE_NOOP("GameController", "Botón 7: Zoom -"),
         [](GameController& c) { robot::send(c.link_, Command::ZoomOut); }},
        {7, QT_TRANSLATE_NOOP("GameController", "Botón 8: Zoom +"),
         [](GameController& c) { robot::send(c.link_, Command::ZoomIn); }},
    };
    return table;
}

// No edge detection: a held button acts on every tick.
void GameController::actOnButtons() {
    for (const ButtonRule& rule : buttonRules()) {
        if (!joyState_.buttons[static_cast<std::size_t>(rule.index)])
            continue;
        if (rule.status)
            panel_.showStatus(Texts::tr(rule.status));
        rule.act(*this);
    }
}

void GameController::sendZChange() {
    if (joyState_.z == joyLastSent_.z)
        return;
    stickIdle_ = false;
    joyLastSent_.z = joyState_.z;
    state_.Position80 = joyState_.z;
    robot::sendControllerZ(link_, static_cast<std::uint8_t>(joyState_.z));
}

// The dead band is measured from the last sent position, so slow drift is sent once it
// adds up and a stick held still sends nothing.
void GameController::driveFromStick() {
    if (!stickMoved(joyState_, joyLastSent_)) {
        if (!stickIdle_ && stickAtRest()) {
            stickIdle_ = true;
            robot::sendStop(link_);
        }
        return;
    }
    stickIdle_ = false;
    const MotorValues motors = stickMotors(joyState_.x, joyState_.y);
    state_.Motor1Value = motors.motor1;
    state_.Motor2Value = motors.motor2;
    sendMotors(motors);
    panel_.setJogMeter(joyState_.x);
    const int power = robot::noPower - (motors.motor1 + motors.motor2) / 2;
    panel_.setPowerBar(power);
    panel_.setMotorSlider(power);
    joyLastSent_ = joyState_;
}

void GameController::sendMotors(MotorValues motors) {
    const auto m1 = static_cast<std::uint8_t>(motors.motor1);
    const auto m2 = static_cast<std::uint8_t>(motors.motor2);
    const bool back = joyState_.y > 1;
    const bool turning = std::abs(motors.motor1 - motors.motor2) >= turningDifference;
    const bool level = nearCentre(joyState_.y);
    state_.Forward = !back;
    if (turning && level && joyState_.x > hardTurn) {
        robot::sendStickHardRight(link_, m1, m2);
        state_.Forward = false;
    } else if (turning && level && joyState_.x < -hardTurn) {
        robot::sendStickHardLeft(link_, m1, m2);
        state_.Forward = false;
    } else if (back) {
        robot::sendStickBack(link_, m1, m2, turning);
    } else {
        robot::sendStickForward(link_, m1, m2, turning);
    }
    if (turning)
        panel_.showStatus(Texts::tr("Girando"));
    else
        panel_.showStatus(back ? Texts::tr("Recto atrás") : Texts::tr("Recto adelante"));
}

} // namespace input
