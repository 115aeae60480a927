#include "input/Keyboard.h"

#include "link/Commands.h"

#include <QCoreApplication>

#include <algorithm>
#include <span>
#include <utility>

namespace input {
namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(Keyboard)
};

// Where "Brazo activo" sends the arm's position channel straight away, and the cap of V.
constexpr int armLowered = 8;
constexpr int armRaised = 63;
constexpr int armCap = 56;
constexpr int speedStep = 2;
constexpr int lowestPosition = 1;
constexpr int highestC0 = 64;

} // namespace

QString statusLine(int driveSpeed, bool forward, int virtualKey) {
    return QString::number(driveSpeed) + QStringLiteral("   ") +
           (forward ? QStringLiteral("1") : QStringLiteral("0")) + QStringLiteral(" -- ") +
           QString::number(static_cast<std::uint16_t>(virtualKey));
}

// One row of the key table: what the key does and whether the status line follows.
struct Keyboard::Rule {
    int key;
    void (*act)(Keyboard&);
    bool writesStatus;
};

namespace {

const Keyboard::Rule* findRule(std::span<const Keyboard::Rule> rules, int key) {
    const auto found = std::find_if(rules.begin(), rules.end(),
                                    [key](const auto& rule) { return rule.key == key; });
    return found == rules.end() ? nullptr : &*found;
}

} // namespace

Keyboard::Keyboard(ControlState& state, ConsolePanel& panel, robot::CommandLink& link)
    : state_(state), panel_(panel), link_(link) {}

std::span<const Keyboard::Rule> Keyboard::rules() {
    using robot::Command;
    static constexpr Rule table[] = {
        {13, [](Keyboard& k) { k.stopAndZeroPower(); }, true},
        {32, [](Keyboard& k) { k.centrePositions(); }, true},
        {33, [](Keyboard& k) { robot::send(k.link_, Command::PageUpCommand); }, true},
        {34, [](Keyboard& k) { robot::send(k.link_, Command::PageDownCommand); }, true},
        {35, [](Keyboard& k) { robot::send(k.link_, Command::EndCommand); }, true},
        {37, [](Keyboard& k) { k.turn(robot::sendTurnLeft); }, true},
        {38, [](Keyboard& k) { k.drive(robot::sendForward, true); }, true},
        {39, [](Keyboard& k) { k.turn(robot::sendTurnRight); }, true},
        {40, [](Keyboard& k) { k.drive(robot::sendBackward, false); }, true},
        {'A', [](Keyboard& k) { k.cleaningMotor(true); }, true},
        {'C', [](Keyboard& k) { k.armDown(); }, true},
        {'D', [](Keyboard& k) { k.camera(true); }, true},
        {'E',
         [](Keyboard& k) {
             k.elevator(Command::ElevatorUp, QT_TRANSLATE_NOOP("Keyboard", "Elevador arriba"));
         },
         false},
        {'F', [](Keyboard& k) { k.snapshot(); }, false},
        {'G', [](Keyboard& k) { k.panel_.clickRecord(); }, false},
        {'P', [](Keyboard& k) { k.panel_.clickStopRecord(); }, false},
        {'R',
         [](Keyboard& k) {
             k.elevator(Command::ElevatorDown, QT_TRANSLATE_NOOP("Keyboard", "Elevador abajo"));
         },
         false},
        {'S', [](Keyboard& k) { k.cleaningMotor(false); }, true},
        {'T', [](Keyboard& k) { k.camera(false); }, true},
        {'V', [](Keyboard& k) { k.armUp(); }, true},
        {'X', [](Keyboard& k) { k.stepC0(1); }, true},
        {'Z', [](Keyboard& k) { k.stepC0(-1); }, true},
        {96, [](Keyboard& k) { k.panel_.showRobotText(); }, false},
        {107, [](Keyboard& k) { k.changeSpeed(-speedStep); }, true},
        {187, [](Keyboard& k) { k.changeSpeed(-speedStep); }, true},
        {109, [](Keyboard& k) { k.changeSpeed(speedStep); }, true},
        {189, [](Keyboard& k) { k.changeSpeed(speedStep); }, true},
        {112, [](Keyboard& k) { robot::sendLightsPreset(k.link_); }, true},
        {113, [](Keyboard& k) { robot::send(k.link_, Command::LightsOff); }, true},
        {122, [](Keyboard& k) { robot::send(k.link_, Command::ZoomOut); }, true},
        {123, [](Keyboard& k) { robot::send(k.link_, Command::ZoomIn); }, true},
    };
    return table;
}

void Keyboard::keyDown(int virtualKey) {
    const Rule* rule = findRule(rules(), virtualKey);
    if (rule)
        rule->act(*this);
    if (!rule || rule->writesStatus)
        panel_.showStatus(statusLine(state_.DriveSpeed, state_.Forward, virtualKey));
}

void Keyboard::keyUp() {
    robot::sendStop(link_);
    state_.KeyHeld = false;
}

bool Keyboard::releaseHeldKey() {
    return std::exchange(state_.KeyHeld, false);
}

void Keyboard::stopAndZeroPower() {
    robot::sendStop(link_);
    panel_.setPowerBar(0);
}

void Keyboard::centrePositions() {
    robot::sendCentring(link_);
    state_.PositionC0 = centreC0;
    state_.Position80 = centre80;
}

// Left and right turn on the spot at the drive speed.
void Keyboard::turn(void (*send)(robot::CommandLink&, std::uint8_t)) {
    if (state_.KeyHeld)
        return;
    send(link_, state_.DriveSpeed);
    state_.KeyHeld = true;
}

// Up and down apply the stored speed to both motors.
void Keyboard::drive(void (*send)(robot::CommandLink&, std::uint8_t), bool forward) {
    if (state_.KeyHeld)
        return;
    const std::uint8_t speed = state_.StoredSpeed;
    send(link_, speed);
    state_.KeyHeld = true;
    state_.Forward = forward;
    state_.DriveSpeed = speed;
    state_.Motor1Value = state_.Motor2Value = static_cast<std::int8_t>(speed);
    panel_.setPowerBar(robot::noPower - speed);
}

void Keyboard::cleaningMotor(bool on) {
    robot::sendCleaningMotor(link_, on);
    panel_.setCleaningSwitch(on);
}

void Keyboard::camera(bool front) {
    robot::send(link_, front ? robot::Command::FrontCamera : robot::Command::RearCamera);
    panel_.showCamera(front);
}

void Keyboard::elevator(robot::Command command, const char* text) {
    robot::send(link_, command);
    panel_.showStatus(Texts::tr(text));
}

// C and V send fixed bytes; the arm channel they step is never transmitted.
void Keyboard::armDown() {
    robot::sendPositionByte(link_, robot::cKeyPositionByte);
    state_.Position80 =
        state_.ArmActive ? armLowered : std::max(lowestPosition, state_.Position80 - 1);
}

void Keyboard::armUp() {
    robot::sendPositionByte(link_, robot::vKeyPositionByte);
    state_.Position80 = std::min(armCap, state_.ArmActive ? armRaised : state_.Position80 + 1);
}

void Keyboard::stepC0(int step) {
    state_.PositionC0 = std::clamp(state_.PositionC0 + step, lowestPosition, highestC0);
    robot::sendPositionC0(link_, static_cast<std::uint8_t>(state_.PositionC0));
}

// The new speed reaches the robot with the next arrow key.
void Keyboard::changeSpeed(int step) {
    state_.DriveSpeed =
        static_cast<std::uint8_t>(std::clamp(state_.DriveSpeed + step, 0, robot::noPower));
    state_.StoredSpeed = state_.DriveSpeed;
    panel_.setPowerBar(robot::noPower - state_.DriveSpeed);
    panel_.setMotorSlider(robot::noPower - state_.DriveSpeed);
}

void Keyboard::snapshot() {
    panel_.showStatus(Texts::tr("Botón 1: Foto instantánea"));
    panel_.takeSnapshot();
}

} // namespace input
