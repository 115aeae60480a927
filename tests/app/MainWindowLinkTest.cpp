#include "app/Main.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/SimulatorFixture.h"
#include "tests/support/TempSettings.h"
#include "ui_Main.h"
#include "widgets/Vrthreads.h"

#include <QTest>

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using testing_support::ScriptedDialogs;
using testing_support::TempSettings;

namespace {

std::vector<std::uint8_t> bytes(std::initializer_list<int> values) {
    return {values.begin(), values.end()};
}

// A console started against the simulated robot, with its own settings.
struct ConsoleOnSimulator : SimulatorFixture {
    TempSettings settings;
    ScriptedDialogs dialogs;
    std::unique_ptr<TForm1> form;

    void start(const QString& modeString = QStringLiteral("9600,n,8,1"), int retardo = 2) {
        settings.store("Puerto Comm", portPath());
        settings.store("Cadena", modeString);
        settings.store("Retardo", retardo);
        form = std::make_unique<TForm1>();
    }
    Ui::TForm1& ui() { return form->ui(); }
    void click(QWidget* widget) {
        form->show();
        QTest::mouseClick(widget, Qt::LeftButton);
    }
};

} // namespace

TEST_F(ConsoleOnSimulator, FirstTrafficAfterStartIsTheLightsCommandWithValue30) {
    start();
    ASSERT_TRUE(simulator->waitForBytes(2, 2s));
    EXPECT_EQ(simulator->receivedValues(), bytes({'L', 30}));
    EXPECT_TRUE(dialogs.messages().empty());
    EXPECT_TRUE(form->state().PortOk);
    EXPECT_TRUE(form->link()->replyExpected());
    EXPECT_EQ(ui().Retorno->text(), "65");
    EXPECT_EQ(ui().Label21->text(), "% 40");
    EXPECT_EQ(ui().Label20->text(), "% 80");
    EXPECT_EQ(ui().Power->value(), 40);
    EXPECT_EQ(form->state().DriveSpeed, 10);
    EXPECT_EQ(form->state().StoredSpeed, 10);
}

TEST_F(ConsoleOnSimulator, LampsGoOffTogetherAtTheNextLampTimerTick) {
    start();
    EXPECT_TRUE(ui().VrLed1->Active());
    EXPECT_TRUE(ui().VrLed2->Active());
    EXPECT_TRUE(form->Timer2->Enabled());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form->Timer2->Enabled(); }, 2000));
    EXPECT_FALSE(ui().VrLed1->Active());
    EXPECT_FALSE(ui().VrLed2->Active());
}

TEST_F(ConsoleOnSimulator, SilentRobotSwitchesToSendOnlyAtTheFirstByte) {
    simulator->setFault(sim::Fault::silent());
    start();
    EXPECT_FALSE(form->link()->replyExpected());
    EXPECT_EQ(ui().Retorno->text(), "0");
    simulator->setFault(sim::Fault::none());
    form->VrSlider4Change();
    EXPECT_EQ(ui().Retorno->text(), "0") << "answers are no longer read";
}

TEST_F(ConsoleOnSimulator, RefusedModeStringStillOpensThePortAndSends) {
    start(QStringLiteral("9600,q,8,1"));
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].text, "Parámetros puerto serie incorrectos");
    EXPECT_FALSE(form->state().PortOk);
    ASSERT_TRUE(simulator->waitForBytes(2, 2s));
    EXPECT_EQ(simulator->receivedValues(), bytes({'L', 30}));
}

TEST(ConsoleWithoutPort, BothPortErrorsAppearInOrderAndTheConsoleStillOpens) {
    TempSettings settings;
    settings.store("Puerto Comm", "/nonexistent/marlo-port");
    settings.store("Cadena", "rápido");
    ScriptedDialogs dialogs;

    TForm1 form;

    ASSERT_EQ(dialogs.messages().size(), 2u);
    EXPECT_EQ(dialogs.messages()[0].text, "Parámetros puerto serie incorrectos");
    EXPECT_EQ(dialogs.messages()[0].owner, &form) << "the failures are told as the link words them";
    EXPECT_EQ(dialogs.messages()[1].text, "Error abriendo puerto COMM");
    EXPECT_FALSE(form.state().PortOk);
    EXPECT_TRUE(form.link()->lost());
    EXPECT_EQ(form.ui().Bal->text(), "128") << "the start-up went on";
}

TEST_F(ConsoleOnSimulator, TelemetryPollsExactlyWhileEitherButtonIsOn) {
    start();
    EXPECT_FALSE(form->TimerRx->Enabled());
    click(ui().VrTemp);
    EXPECT_TRUE(form->TimerRx->Enabled());
    click(ui().VrHumedad);
    click(ui().VrTemp);
    EXPECT_TRUE(form->TimerRx->Enabled()) << "humidity is still asked for";
    click(ui().VrHumedad);
    EXPECT_FALSE(form->TimerRx->Enabled());
}

TEST_F(ConsoleOnSimulator, TelemetryTickShowsTheReadingsInTheDisplay) {
    simulator->setTelemetry({150, 512});
    start();
    form->TimerRxTimer();
    EXPECT_EQ(form->telemetry().humidityText(), "50%");
    EXPECT_EQ(form->telemetry().temperatureText(), "21º");
    EXPECT_EQ(ui().Label11->text(), "HR: 50% T.: 21º");
}

TEST_F(ConsoleOnSimulator, InversionReversesOnlyWhileTheCleaningMotorRuns) {
    start();
    click(ui().VrPowerButton9);
    EXPECT_TRUE(form->TimerInv->Enabled());
    EXPECT_EQ(form->TimerInv->Interval(), 10000u);
    ui().TempInv->SetPosition(7);
    EXPECT_EQ(form->TimerInv->Interval(), 7000u);

    simulator->clearRecord();
    form->TimerInvTimer();
    EXPECT_TRUE(simulator->receivedValues().empty()) << "the cleaning motor is off";

    click(ui().VrPowerButton8);
    form->TimerInvTimer();
    form->TimerInvTimer();
    ASSERT_TRUE(simulator->waitForBytes(7, 2s));
    EXPECT_EQ(simulator->receivedValues(), bytes({'B', 'b', 'i', 'B', 'b', 'I', 'B'}));

    click(ui().VrPowerButton9);
    EXPECT_FALSE(form->TimerInv->Enabled());
}

TEST_F(ConsoleOnSimulator, PanelControlsSendTheirCommands) {
    start();
    simulator->clearRecord();
    ui().VrSlider4->SetPosition(21);
    ui().VrSlider4->SetPosition(22);
    form->Label7Click();
    form->Label8Click();
    ASSERT_TRUE(simulator->waitForBytes(6, 2s));
    EXPECT_EQ(simulator->receivedValues(), bytes({'L', 29, 'L', 28, 'c', 'C'}));
    EXPECT_TRUE(ui().Shape11->isVisibleTo(form.get()));
    EXPECT_FALSE(ui().Shape8->isVisibleTo(form.get()));
}

TEST_F(ConsoleOnSimulator, DeadLineLeavesTheConsoleResponsive) {
    start();
    simulator->closeLine();
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 5; ++i)
        form->VrSlider4Change();
    form->TimerRxTimer();
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_EQ(ui().Label11->text(), "QUELMAR Ingeniería");
}
