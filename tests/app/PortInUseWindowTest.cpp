#include "app/Main.h"
#include "platform/SerialPort.h"
#include "sim/Simulator.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempSettings.h"
#include "ui_Main.h"

#include <QTest>

#include <gtest/gtest.h>

using Condition = input::StatusLine::Condition;
using testing_support::ScriptedDialogs;
using testing_support::TempSettings;

TEST(ConsoleOnAPortInUse, SaysAnotherProgramHoldsThePortUntilItLetsGo) {
    TempSettings settings;
    ScriptedDialogs dialogs;
    sim::Simulator simulator;
    const QString path = QString::fromStdString(simulator.devicePath());
    auto otherConsole = std::make_unique<platform::SerialPort>();
    ASSERT_TRUE(otherConsole->open(path));
    settings.store("Puerto Comm", path);

    TForm1 form;
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].text, "Error abriendo puerto COMM");
    EXPECT_EQ(dialogs.messages()[0].detail, "Puerto en uso por otro programa");
    EXPECT_EQ(form.ui().Retorno->text(), "Sin conexión");
    EXPECT_TRUE(form.statusLine().active(Condition::PortInUse));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return form.ui().Rxtext->text() ==
                   testing_support::afterLostLink + "Puerto en uso por otro programa";
        },
        10000));
    // Still held a few attempts later: still said.
    QTest::qWait(2500);
    EXPECT_TRUE(form.statusLine().active(Condition::PortInUse));

    otherConsole.reset();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form.link()->lost(); }, 10000));
    EXPECT_FALSE(form.statusLine().active(Condition::PortInUse));
    EXPECT_EQ(dialogs.messages().size(), 1u) << "no box for the attempts";
}
