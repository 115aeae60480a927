#include "app/Main.h"
#include "platform/VirtualJoystick.h"
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
using testing_support::ScriptedDialogs;
using testing_support::TempSettings;

namespace {

using Bytes = std::vector<std::uint8_t>;

// A console shown against the simulated robot; keys reach it the way the window system
// delivers them, through its window.
struct ConsoleInput : SimulatorFixture {
    // The photo and recording keys write their files here.
    testing_support::WorkingFolder folder;
    TempSettings settings;
    ScriptedDialogs dialogs;
    std::unique_ptr<TForm1> form;

    void SetUp() override {
        SimulatorFixture::SetUp();
        settings.store("Puerto Comm", portPath());
        settings.store("Retardo", 1);
        form = std::make_unique<TForm1>();
        form->Timer1->SetEnabled(false);
        form->show();
        ASSERT_TRUE(simulator->waitForBytes(2, 2s));
        simulator->clearRecord();
    }
    void TearDown() override {
        form.reset();
        SimulatorFixture::TearDown();
    }
    Ui::TForm1& ui() { return form->ui(); }

    void key(QEvent::Type type, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
             bool autoRepeat = false) {
        QKeyEvent event(type, key, modifiers, QString(), autoRepeat);
        QCoreApplication::sendEvent(form->windowHandle(), &event);
    }
    void press(int k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        key(QEvent::KeyPress, k, modifiers);
    }
    void release(int k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        key(QEvent::KeyRelease, k, modifiers);
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
        ASSERT_TRUE(stick.attached());
        ConsoleInput::SetUp();
        ASSERT_TRUE(form->state().JoystickPresent);
        activate();
        form->VrTimer1Timer();
        received(3);
    }
    void deactivate() {
        QEvent event(QEvent::WindowDeactivate);
        QCoreApplication::sendEvent(form.get(), &event);
    }
    void activate() {
        QEvent event(QEvent::WindowActivate);
        QCoreApplication::sendEvent(form.get(), &event);
    }
};

} // namespace

TEST_F(ConsoleInput, KeysReachTheTableThroughThePreviewAndEveryReleaseStops) {
    struct Row {
        int key;
        Qt::KeyboardModifiers modifiers;
        Bytes bytes;
        QString status;
    };
    const auto none = Qt::NoModifier;
    const auto keypad = Qt::KeypadModifier;
    const Row rows[] = {
        {Qt::Key_Return, none, {0x50}, "10   1 -- 13"},
        {Qt::Key_Up, none, {0x41, 0x72, 0x31, 10, 0x32, 10}, "10   1 -- 38"},
        {Qt::Key_A, none, {0x42}, "10   1 -- 65"},
        {Qt::Key_D, none, {0x63}, "10   1 -- 68"},
        {Qt::Key_F, none, {}, "Botón 1: Foto instantánea"},
        {Qt::Key_G, none, {}, "Botón 5: Secuencia de vídeo"},
        {Qt::Key_P, none, {}, "Botón 5: Fin secuencia de vídeo"},
        {Qt::Key_S, none, {0x62}, "10   1 -- 83"},
        {Qt::Key_T, none, {0x43}, "10   1 -- 84"},
        {Qt::Key_0, keypad, {0x30}, "MARLO 3 SIMULADOR"},
        {Qt::Key_Plus, keypad, {}, "8   1 -- 107"},
        {Qt::Key_Down, none, {0x52, 0x61, 0x31, 8, 0x32, 8}, "8   0 -- 40"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(QKeySequence(row.key).toString().toStdString());
        press(row.key, row.modifiers);
        EXPECT_EQ(ui().Rxtext->text(), row.status);
        release(row.key, row.modifiers);
        Bytes expected = row.bytes;
        expected.push_back(0x50);
        EXPECT_EQ(received(expected.size()), expected);
    }
    EXPECT_EQ(form->state().SnapshotNumber, 2);
    EXPECT_TRUE(ui().Shape11->isVisibleTo(form.get())) << "T selected the rear camera";
    EXPECT_FALSE(ui().VrPowerButton8->Active()) << "S switched the cleaning motor off";
}

TEST_F(ConsoleInput, HeldArrowKeyActsOnceAndBlocksTheOtherArrowsUntilAKeyIsReleased) {
    const Bytes up{0x41, 0x72, 0x31, 10, 0x32, 10};
    press(Qt::Key_Up);
    EXPECT_EQ(ui().Power->value(), 40);
    for (int repeat = 0; repeat < 10; ++repeat) {
        key(QEvent::KeyRelease, Qt::Key_Up, Qt::NoModifier, true);
        key(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier, true);
    }
    press(Qt::Key_Left);
    EXPECT_EQ(received(up.size()), up) << "repeats and Left send nothing";
    release(Qt::Key_Left);
    EXPECT_EQ(received(1), Bytes{0x50});
    release(Qt::Key_Up);
    press(Qt::Key_Up);
    Bytes again{0x50};
    again.insert(again.end(), up.begin(), up.end());
    EXPECT_EQ(received(again.size()), again) << "Up acts again only when pressed anew";
}

TEST_F(ConsoleInput, ShiftUpDrivesAndReleasingShiftAloneStops) {
    press(Qt::Key_Shift, Qt::ShiftModifier);
    EXPECT_EQ(ui().Rxtext->text(), "10   1 -- 16");
    press(Qt::Key_Up, Qt::ShiftModifier);
    release(Qt::Key_Shift);
    EXPECT_EQ(received(7), (Bytes{0x41, 0x72, 0x31, 10, 0x32, 10, 0x50}));
}

TEST_F(ConsoleInput, SpeedKeysMoveTheMotorSliderAndPowerAndSendNothing) {
    press(Qt::Key_Plus);
    EXPECT_EQ(std::tuple(int(form->state().StoredSpeed), ui().VrSlider3->Position(),
                         ui().Power->value(), ui().Label20->text()),
              std::tuple(8, 42, 42, QString("% 84")));
    QTest::qWait(30);
    EXPECT_TRUE(simulator->receivedValues().empty());
}

TEST_F(ConsoleInput, UpAndDownApplyTheSpeedFromBeforeTheLastSliderMove) {
    ui().VrSlider3->SetPosition(30);
    EXPECT_EQ(form->state().DriveSpeed, 20);
    press(Qt::Key_Up);
    EXPECT_EQ(ui().Rxtext->text(), "10   1 -- 38");
    release(Qt::Key_Up);
    EXPECT_EQ(received(7), (Bytes{0x41, 0x72, 0x31, 10, 0x32, 10, 0x50})) << "one move from 40";
    ui().VrSlider3->SetPosition(31);
    ui().VrSlider3->SetPosition(30);
    press(Qt::Key_Down);
    EXPECT_EQ(received(6), (Bytes{0x52, 0x61, 0x31, 19, 0x32, 19})) << "one step at a time";
    EXPECT_EQ(ui().Power->value(), 31);
}

TEST_F(ConsoleInput, KeyActsAndStillReachesTheFocusedSlider) {
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    ui().VrSlider1->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), ui().VrSlider1);
    press(Qt::Key_Right);
    EXPECT_EQ(received(4), (Bytes{0x33, 10, 0x61, 0x41}));
    EXPECT_NE(ui().VrSlider1->Position(), 128);
    EXPECT_EQ(ui().Bal->text(), QString::number(ui().VrSlider1->Position()));
}

TEST_F(ConsoleWithController, DeactivationReleasesStopsTheDrivingStickOnceAndActivationReacquires) {
    EXPECT_TRUE(form->PollJoystick());
    deactivate();
    EXPECT_FALSE(form->state().ControllerActive);
    EXPECT_FALSE(form->PollJoystick());
    stick.setStick(0, -48);
    form->VrTimer1Timer();
    activate();
    EXPECT_TRUE(form->PollJoystick());
    EXPECT_EQ(received(0), Bytes{}) << "nothing was sent while released, no stop at rest";
    form->VrTimer1Timer();
    EXPECT_EQ(received(6), (Bytes{0x41, 0x72, 0x31, 2, 0x32, 2}));
    EXPECT_EQ(std::tuple(ui().Power->value(), ui().VrSlider3->Position(), ui().Rxtext->text()),
              std::tuple(48, 48, QString("Recto adelante")));
    deactivate();
    EXPECT_EQ(received(1), Bytes{0x50}) << "the stick alone drove";
    EXPECT_TRUE(form->controller().stickIdle());
    EXPECT_EQ(received(0), Bytes{});
}

TEST_F(ConsoleWithController, CleaningButtonHeldTogglesTheSwitchEveryTick) {
    stick.setButton(1, true);
    for (int i = 0; i < 4; ++i)
        form->VrTimer1Timer();
    EXPECT_EQ(received(4), (Bytes{0x42, 0x62, 0x42, 0x62}));
    EXPECT_FALSE(ui().VrPowerButton8->Active());
}

TEST_F(ConsoleInput, ControllerPluggedInLaterIsTakenNamedAndDrivesUntilPulledOutThenKeysGoOn) {
    ASSERT_FALSE(form->state().JoystickPresent);
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(form.get(), &activate);
    auto stick = std::make_unique<platform::VirtualJoystick>();
    ASSERT_TRUE(stick->attached());
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->state().JoystickPresent; }, 5000));
    EXPECT_TRUE(ui().Rxtext->text().startsWith("Joystick: ")) << ui().Rxtext->text().toStdString();
    EXPECT_TRUE(form->Timer1->Enabled());
    EXPECT_EQ(received(3), (Bytes{0x53, 15 ^ 0x80, 0x50}));
    stick->setStick(0, -48);
    EXPECT_EQ(received(6), (Bytes{0x41, 0x72, 0x31, 2, 0x32, 2}));
    stick->unplug();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form->state().JoystickPresent; }, 5000));
    EXPECT_EQ(received(1), Bytes{0x50});
    EXPECT_EQ(ui().Rxtext->text(), "Sin joystick");
    EXPECT_FALSE(form->Timer1->Enabled());
    press(Qt::Key_D);
    EXPECT_EQ(received(1), Bytes{0x63}) << "the keys go on";
    form->trafficRecord().flush();
    std::ifstream record(form->trafficRecord().currentFile());
    const std::string lines{std::istreambuf_iterator<char>(record), {}};
    const auto attached = lines.find("! controller attached");
    EXPECT_NE(attached, std::string::npos) << lines;
    EXPECT_NE(lines.find("! controller removed", attached), std::string::npos) << lines;
}

TEST(ConsoleControllerSetUp, ControllerPresentEnablesPollingAndDestroySwitchesItOff) {
    TempSettings settings;
    settings.store("Puerto Comm", "/nonexistent/marlo-port");
    ScriptedDialogs dialogs;
    platform::VirtualJoystick stick;
    ASSERT_TRUE(stick.attached());
    auto form = std::make_unique<TForm1>();
    EXPECT_TRUE(form->state().JoystickPresent);
    EXPECT_TRUE(form->Timer1->Enabled());
    EXPECT_EQ(form->ui().Rxtext->text(), "Conexión con el robot perdida");
    form->FormDestroy();
    EXPECT_FALSE(form->Timer1->Enabled());
}
