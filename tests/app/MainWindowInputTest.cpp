#include "app/Main.h"
#include "platform/VirtualJoystick.h"
#include "tests/support/HexBytes.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/SimulatorFixture.h"
#include "tests/support/TempSettings.h"
#include "tests/support/WorkingFolder.h"
#include "ui_Main.h"
#include "widgets/Vrthreads.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <fstream>
#include <tuple>

using namespace std::chrono_literals;
using testing_support::hexBytes;

namespace {

using Bytes = std::vector<std::uint8_t>;

// A console shown against the simulated robot; keys reach it the way the window system
// delivers them, through its window. What each key and stick position does is in the unit
// tables; these tests prove the window's part.
struct ConsoleInput : SimulatorFixture {
    // The photo and recording keys write their files here.
    testing_support::WorkingFolder folder;
    testing_support::TempSettings settings;
    testing_support::ScriptedDialogs dialogs;
    std::unique_ptr<TForm1> form;
    bool pollingAtStart = false;

    void SetUp() override {
        SimulatorFixture::SetUp();
        settings.store("Puerto Comm", portPath());
        settings.store("Retardo", 1);
        form = std::make_unique<TForm1>();
        pollingAtStart = form->Timer1->Enabled();
        form->Timer1->SetEnabled(false);
        form->show();
        ASSERT_TRUE(simulator->waitForBytes(2, 2s));
        simulator->clearRecord();
    }
    Ui::TForm1& ui() { return form->ui(); }

    void key(QEvent::Type type, int key, Qt::KeyboardModifiers modifiers, bool autoRepeat = false) {
        QKeyEvent event(type, key, modifiers, QString(), autoRepeat);
        QCoreApplication::sendEvent(form->windowHandle(), &event);
    }
    void press(int k, Qt::KeyboardModifiers m = {}) { key(QEvent::KeyPress, k, m); }
    void release(int k, Qt::KeyboardModifiers m = {}) { key(QEvent::KeyRelease, k, m); }
    void send(QEvent::Type type) {
        QEvent event(type);
        QCoreApplication::sendEvent(form.get(), &event);
    }
    // Everything the robot received since the last call, once at least count bytes came.
    Bytes received(std::size_t count) {
        simulator->waitForBytes(count, 2s);
        QTest::qWait(20);
        Bytes values = simulator->receivedValues();
        simulator->clearRecord();
        return values;
    }
};

struct ConsoleWithController : ConsoleInput {
    platform::VirtualJoystick stick;

    void SetUp() override {
        ConsoleInput::SetUp();
        ASSERT_TRUE(form->state().JoystickPresent);
        // The device watch would turn the polling timer on again: the test ticks alone.
        form->TimerJoy->SetEnabled(false);
        send(QEvent::WindowActivate);
        form->VrTimer1Timer();
        received(3);
    }
};

} // namespace

TEST_F(ConsoleInput, KeysReachTheirRulesAndTheWindowsControlsThroughThePreview) {
    const struct {
        int key;
        Qt::KeyboardModifiers modifiers;
        const char* bytes; // the key's and its release's
        QString status;
    } rows[] = {
        {Qt::Key_A, {}, "42 50", "10   1 -- 65"},
        {Qt::Key_T, {}, "43 50", "10   1 -- 84"},
        {Qt::Key_F, {}, "50", "Botón 1: Foto instantánea"},
        {Qt::Key_G, {}, "50", "Botón 5: Secuencia de vídeo"},
        {Qt::Key_P, {}, "50", "Botón 5: Fin secuencia de vídeo"},
        {Qt::Key_0, Qt::KeypadModifier, "30 50", "MARLO 3 SIMULADOR"},
        {Qt::Key_Plus, Qt::KeypadModifier, "50", "8   1 -- 107"},
        {Qt::Key_Return, {}, "50 50", "8   1 -- 13"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(QKeySequence(row.key).toString().toStdString());
        press(row.key, row.modifiers);
        EXPECT_EQ(ui().Rxtext->text(), row.status);
        release(row.key, row.modifiers);
        const Bytes expected = hexBytes(row.bytes);
        EXPECT_EQ(received(expected.size()), expected);
    }
    EXPECT_EQ(std::tuple(form->state().SnapshotNumber, ui().Shape11->isVisibleTo(form.get()),
                         ui().VrPowerButton8->Active(), ui().VrSlider3->Position(),
                         ui().Label20->text(), ui().Power->value()),
              std::tuple(2, true, true, 42, QString("% 84"), 0))
        << "a picture, the rear camera, cleaning on, motor slider moved, power bar empty";
    // The motor slider keeps the speed it had before its last move for Up and Down.
    ui().VrSlider3->SetPosition(31);
    ui().VrSlider3->SetPosition(30);
    EXPECT_EQ(form->state().DriveSpeed, 20);
    press(Qt::Key_Down);
    EXPECT_EQ(received(6), hexBytes("52 61 31 13 32 13"));
}

TEST_F(ConsoleInput, HeldArrowActsOnceBlocksTheOtherArrowsAndShiftCountsAsAKey) {
    press(Qt::Key_Up);
    for (int repeat = 0; repeat < 10; ++repeat) {
        key(QEvent::KeyRelease, Qt::Key_Up, {}, true);
        key(QEvent::KeyPress, Qt::Key_Up, {}, true);
    }
    press(Qt::Key_Left);
    EXPECT_EQ(received(6), hexBytes("41 72 31 0A 32 0A")) << "repeats and Left send nothing";
    release(Qt::Key_Up);
    press(Qt::Key_Shift, Qt::ShiftModifier);
    EXPECT_EQ(ui().Rxtext->text(), "10   1 -- 16");
    press(Qt::Key_Up, Qt::ShiftModifier);
    release(Qt::Key_Shift);
    EXPECT_EQ(received(8), hexBytes("50 41 72 31 0A 32 0A 50")) << "Up acts again once released";
}

TEST_F(ConsoleInput, KeyActsAndStillReachesTheFocusedSlider) {
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    ui().VrSlider1->setFocus();
    press(Qt::Key_Right);
    EXPECT_EQ(received(4), hexBytes("33 0A 61 41"));
    EXPECT_NE(ui().VrSlider1->Position(), 128);
    EXPECT_EQ(ui().Bal->text(), QString::number(ui().VrSlider1->Position()));
}

TEST_F(ConsoleWithController, IsPolledFromTheStartAndReleasedWhileTheWindowIsInactive) {
    EXPECT_TRUE(pollingAtStart);
    send(QEvent::WindowDeactivate);
    EXPECT_FALSE(form->PollJoystick());
    stick.setStick(0, -48);
    form->VrTimer1Timer();
    send(QEvent::WindowActivate);
    EXPECT_EQ(received(0), Bytes{}) << "nothing was sent while released, no stop at rest";
    form->VrTimer1Timer();
    EXPECT_EQ(received(6), hexBytes("41 72 31 02 32 02"));
    send(QEvent::WindowDeactivate);
    EXPECT_EQ(received(1), Bytes{0x50}) << "the stick alone drove; one stop";

    send(QEvent::WindowActivate);
    stick.setButton(1, true);
    for (int i = 0; i < 3; ++i)
        form->VrTimer1Timer();
    EXPECT_EQ(received(3), hexBytes("42 62 42")) << "the cleaning button toggles every tick";
    EXPECT_TRUE(ui().VrPowerButton8->Active());
    form->Timer1->SetEnabled(true);
    form->FormDestroy();
    EXPECT_FALSE(form->Timer1->Enabled());
}

TEST_F(ConsoleInput, ControllerPluggedInLaterIsTakenNamedAndPolledUntilPulledOutAndRecorded) {
    ASSERT_FALSE(form->state().JoystickPresent);
    EXPECT_FALSE(pollingAtStart);
    send(QEvent::WindowActivate);
    auto stick = std::make_unique<platform::VirtualJoystick>();
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->state().JoystickPresent; }, 5000));
    EXPECT_TRUE(ui().Rxtext->text().startsWith("Joystick: ")) << ui().Rxtext->text().toStdString();
    EXPECT_TRUE(form->Timer1->Enabled());
    EXPECT_EQ(received(3), hexBytes("53 8F 50")) << "the polling timer reads it";
    stick->unplug();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form->state().JoystickPresent; }, 5000));
    EXPECT_FALSE(form->Timer1->Enabled());
    form->trafficRecord().flush();
    std::ifstream record(form->trafficRecord().currentFile());
    const std::string lines{std::istreambuf_iterator<char>(record), {}};
    EXPECT_NE(lines.find("! controller removed", lines.find("! controller attached")),
              std::string::npos)
        << lines;
}
