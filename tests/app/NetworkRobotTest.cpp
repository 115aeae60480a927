#include "app/Main.h"
#include "sim/Ser2net.h"
#include "sim/Simulator.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempSettings.h"
#include "ui_Main.h"

#include <QTest>

#include <gtest/gtest.h>

#include <optional>

using namespace std::chrono_literals;
using testing_support::ScriptedDialogs;
using testing_support::TempSettings;

namespace {

// Every row of the key table, by virtual-key code, and keys that send only the release's Stop.
const int tableKeys[] = {38,  40,  37,  39,  13, 32, 'X', 'Z', 'C', 'V', 112, 113, 'A', 'S',
                         'T', 'D', 'E', 'R', 35, 33, 34,  122, 123, 96,  107, 109, 16,  'Q'};

// What the simulated robot receives from a console on the given port name for every key:
// at least `expected` bytes, and all that came until none came for half a second.
std::vector<std::uint8_t> bytesForEveryKey(sim::Simulator& simulator, const QString& portName,
                                           std::size_t expected = 0) {
    TempSettings settings;
    settings.store("Puerto Comm", portName);
    settings.store("Retardo", 2);
    ScriptedDialogs dialogs;
    TForm1 form;
    EXPECT_TRUE(dialogs.messages().empty()) << portName.toStdString();
    EXPECT_TRUE(simulator.waitForBytes(2, 2s));
    simulator.clearRecord();
    for (const int key : tableKeys) {
        form.FormKeyDown(key);
        form.FormKeyUp(key);
    }
    EXPECT_TRUE(form.link()->replyExpected()) << portName.toStdString();
    EXPECT_TRUE(simulator.waitForBytes(expected, 20s)) << portName.toStdString();
    for (std::size_t seen = 0;;) {
        simulator.waitForBytes(seen + 1, 500ms);
        const std::size_t now = simulator.receivedValues().size();
        if (now == seen)
            return simulator.receivedValues();
        seen = now;
    }
}

struct ConsoleBehindSer2net : ::testing::Test {
    sim::Simulator simulator;
    std::optional<sim::Ser2net> server;

    void SetUp() override {
        if (!sim::Ser2net::installed())
            GTEST_SKIP() << sim::Ser2net::program << " is missing (scripts/install-deps)";
        server.emplace(simulator.devicePath());
        server->start();
    }
};

} // namespace

TEST_F(ConsoleBehindSer2net, EveryKeySendsWhatItSendsOnALocalPort) {
    const auto local = bytesForEveryKey(simulator, QString::fromStdString(simulator.devicePath()));
    const auto network = bytesForEveryKey(simulator, server->address(), local.size());
    EXPECT_GT(local.size(), std::size(tableKeys) * 2);
    EXPECT_EQ(network, local);
}

TEST_F(ConsoleBehindSer2net, TheServerGoneIsALostLinkAndBackAReconnect) {
    TempSettings settings;
    settings.store("Puerto Comm", server->address());
    settings.store("Retardo", 2);
    ScriptedDialogs dialogs;
    TForm1 form;
    ASSERT_TRUE(simulator.waitForBytes(2, 2s));
    EXPECT_EQ(form.ui().Retorno->text(), "65");

    form.FormKeyDown(38);
    server->stop();
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.link()->lost(); }, 5000));
    EXPECT_EQ(form.ui().Rxtext->text(), "Conexión con el robot perdida");
    form.FormKeyUp(38);

    server->start();
    simulator.clearRecord();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form.link()->lost(); }, 5000));
    EXPECT_EQ(form.ui().Rxtext->text(), "Conexión con el robot restablecida");
    form.FormKeyDown(13);
    ASSERT_TRUE(simulator.waitForBytes(2, 2s));
    EXPECT_EQ(simulator.receivedValues(), (std::vector<std::uint8_t>{'P', 'P'}))
        << "the Stop of the release in the outage first, then Enter's, and nothing else";
    EXPECT_TRUE(dialogs.messages().empty());
}
