#include "app/Main.h"
#include "sim/DeviceLink.h"
#include "sim/Simulator.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempSettings.h"
#include "ui_Main.h"

#include <QEventLoop>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <optional>

#include <sys/resource.h>

using namespace std::chrono_literals;
using Condition = input::StatusLine::Condition;
using testing_support::ScriptedDialogs;
using testing_support::TempSettings;

namespace {

constexpr int upKey = 38;
constexpr int dKey = 'D';

std::chrono::microseconds threadCpuTime() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return std::chrono::seconds(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           std::chrono::microseconds(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

// A console whose "Puerto Comm" is a symbolic link to the simulated robot.
struct ConsoleOnLinkedRobot : ::testing::Test {
    TempSettings settings;
    ScriptedDialogs dialogs;
    QTemporaryDir folder;
    QString linkPath = folder.filePath("marlo-robot");
    std::unique_ptr<sim::Simulator> simulator = std::make_unique<sim::Simulator>();
    std::optional<sim::DeviceLink> deviceLink;
    std::unique_ptr<TForm1> form;

    void SetUp() override {
        deviceLink.emplace(linkPath.toStdString(), simulator->devicePath());
        settings.store("Puerto Comm", linkPath);
        settings.store("Retardo", 2);
        form = std::make_unique<TForm1>();
        ASSERT_TRUE(simulator->waitForBytes(2, 2s));
        ASSERT_EQ(form->ui().Retorno->text(), "65");
    }
    void replaceRobot() {
        deviceLink.reset();
        simulator = std::make_unique<sim::Simulator>();
        deviceLink.emplace(linkPath.toStdString(), simulator->devicePath());
    }
    QString status() { return form->ui().Rxtext->text(); }
    QString indicator() { return form->ui().Retorno->text(); }
};

} // namespace

TEST_F(ConsoleOnLinkedRobot, LostWhileDrivingThenBackBehindTheSameName) {
    const QString lost = QStringLiteral("Conexión con el robot perdida");
    form->FormKeyDown(upKey);
    simulator->closeLine();
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->link()->lost(); }, 5000));
    EXPECT_EQ(status(), lost);
    EXPECT_EQ(indicator(), "Sin conexión");
    EXPECT_FALSE(form->ui().VrLed1->Active());
    EXPECT_FALSE(form->ui().VrLed2->Active());

    // Keys still work on the window, but say that nothing went out and never cover the loss;
    // the release's Stop is owed to the robot.
    form->FormKeyUp(upKey);
    EXPECT_EQ(status(), lost);
    form->FormKeyDown(dKey);
    form->FormKeyUp(dKey);
    EXPECT_EQ(status(), lost + " · Sin conexión: no enviado");
    EXPECT_EQ(indicator(), "Sin conexión");
    EXPECT_TRUE(form->statusLine().active(Condition::LinkLost));

    // Idle on a dead line, with a reconnect attempt every second, the status line read every
    // 100 ms. An event loop of its own: QTest::qWait would add its own polling every 10 ms.
    QStringList seen;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] { seen << status(); });
    look.start(100);
    const auto cpuBefore = threadCpuTime();
    QEventLoop idle;
    QTimer::singleShot(2600, &idle, &QEventLoop::quit);
    idle.exec();
    EXPECT_LT(threadCpuTime() - cpuBefore, 26ms) << "under 1 % of one core";
    look.stop();
    EXPECT_TRUE(QTest::qWaitFor([&] { return status() == lost; }, 5000))
        << "the key's news ends after 2 s";
    EXPECT_EQ(seen.filter(QRegularExpression("^" + lost)).size(), seen.size())
        << seen.join('|').toStdString();

    replaceRobot();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form->link()->lost(); }, 5000));
    EXPECT_EQ(status(), "Conexión con el robot restablecida");
    EXPECT_EQ(indicator(), "0");
    EXPECT_FALSE(form->statusLine().active(Condition::LinkLost));
    EXPECT_EQ(simulator->receivedValues(), std::vector<std::uint8_t>{'P'})
        << "one Stop, before the news that the line is back";

    form->FormKeyDown(upKey);
    form->FormKeyUp(upKey);
    ASSERT_TRUE(simulator->waitForBytes(8, 2s));
    const std::uint8_t speed = form->state().StoredSpeed;
    EXPECT_EQ(simulator->receivedValues(),
              (std::vector<std::uint8_t>{'P', 'A', 'r', '1', speed, '2', speed, 'P'}));
    EXPECT_EQ(indicator(), "65");
}

TEST_F(ConsoleOnLinkedRobot, SilentRobotIsShownUntilItAnswersAgain) {
    simulator->setFault(sim::Fault::silent());
    form->FormKeyDown(upKey);
    form->FormKeyUp(upKey);
    EXPECT_TRUE(form->statusLine().active(Condition::RobotSilent));
    EXPECT_EQ(indicator(), "Sin respuesta");
    EXPECT_TRUE(QTest::qWaitFor([&] { return status() == "El robot no responde"; }, 5000));
    EXPECT_FALSE(form->statusLine().active(Condition::LinkLost));

    simulator->setFault(sim::Fault::none());
    form->FormKeyDown(upKey);
    form->FormKeyUp(upKey);
    EXPECT_FALSE(form->statusLine().active(Condition::RobotSilent));
    EXPECT_EQ(indicator(), "0");
    QTest::qWait(2600);
    EXPECT_NE(status(), "El robot no responde");
}

TEST(ConsoleWithoutRobot, APortThatNeverOpenedIsTriedEverySecond) {
    TempSettings settings;
    ScriptedDialogs dialogs;
    QTemporaryDir folder;
    const QString linkPath = folder.filePath("later");
    settings.store("Puerto Comm", linkPath);
    TForm1 form;
    ASSERT_EQ(dialogs.messages().back().text, "Error abriendo puerto COMM");
    EXPECT_TRUE(form.link()->lost());
    EXPECT_EQ(form.ui().Retorno->text(), "Sin conexión");

    sim::Simulator simulator;
    sim::DeviceLink deviceLink(linkPath.toStdString(), simulator.devicePath());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form.link()->lost(); }, 5000));
    EXPECT_EQ(form.ui().Rxtext->text(), "Conexión con el robot restablecida");
    EXPECT_EQ(dialogs.messages().size(), 1u) << "no box for the attempts";
}
