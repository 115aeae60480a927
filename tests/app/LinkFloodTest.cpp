#include "app/Main.h"
#include "tests/support/FloodServer.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempSettings.h"
#include "ui_Main.h"

#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

using namespace std::chrono_literals;
using Condition = input::StatusLine::Condition;
using testing_support::FloodServer;
using testing_support::ScriptedDialogs;
using testing_support::TempSettings;
namespace fs = std::filesystem;

namespace {

constexpr int upKey = 38;

// The traffic records of the console made meanwhile go to a folder of the test's own.
class StateFolder {
public:
    StateFolder() : previous_(qgetenv("XDG_STATE_HOME")) {
        qputenv("XDG_STATE_HOME", dir_.path().toLocal8Bit());
    }
    ~StateFolder() { qputenv("XDG_STATE_HOME", previous_); }
    StateFolder(const StateFolder&) = delete;
    StateFolder& operator=(const StateFolder&) = delete;
    fs::path records() const { return fs::path(dir_.path().toStdString()) / "marlo-consola"; }

private:
    QTemporaryDir dir_;
    QByteArray previous_;
};

long residentKilobytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with("VmRSS:"))
            return std::stol(line.substr(6));
    return 0;
}

std::vector<std::string> recordNames(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// AddressSanitizer keeps freed blocks in its quarantine, so resident memory there is not the
// console's own.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool residentIsTheConsoles = false;
#else
constexpr bool residentIsTheConsoles = true;
#endif

std::chrono::seconds floodDuration() {
    const int seconds = qEnvironmentVariableIntValue("MARLO_FLOOD_SECONDS");
    return std::chrono::seconds(seconds > 0 ? std::min(seconds, 600) : 10);
}

} // namespace

// A robot behind tcp:// that floods the line: memory stays put, keys reach it at once, the
// window closes at once and the earlier traffic records stay. MARLO_FLOOD_SECONDS sets the
// length (10 s unless told).
TEST(ConsoleFlood, KeysStillReachTheRobotAndNothingGrows) {
    StateFolder state;
    fs::create_directories(state.records());
    std::vector<std::string> earlier;
    for (int i = 0; i < 9; ++i) {
        earlier.push_back("2000-01-01_00-00-" + std::to_string(10 + i) + ".log");
        std::ofstream(state.records() / earlier.back()) << "0 ! old\n";
    }
    FloodServer server(1024 * 1024);
    TempSettings settings;
    settings.store("Puerto Comm", server.address());
    settings.store("Retardo", 2);
    ScriptedDialogs dialogs;
    auto form = std::make_unique<TForm1>();
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.connected(); }, 5000));
    const long residentAtStart = residentKilobytes();

    long mostResident = residentAtStart;
    auto slowestKey = FloodServer::Clock::duration::zero();
    int taps = 0;
    const auto end = FloodServer::Clock::now() + floodDuration();
    while (FloodServer::Clock::now() < end) {
        QTest::qWait(250);
        const auto pressed = FloodServer::Clock::now();
        form->FormKeyDown(upKey);
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return server.firstByteAfter(pressed).has_value(); }, 5000));
        slowestKey = std::max(slowestKey, *server.firstByteAfter(pressed) - pressed);
        form->FormKeyUp(upKey);
        ++taps;
        mostResident = std::max(mostResident, residentKilobytes());
    }
    const std::uint64_t flooded = server.bytesSent();

    const auto closing = FloodServer::Clock::now();
    form->VrSalirClick();
    form.reset();
    const auto closeTime = FloodServer::Clock::now() - closing;

    EXPECT_GT(flooded, 4u * 1024 * 1024) << "the robot did flood";
    EXPECT_GE(taps, 10);
    if (residentIsTheConsoles) {
        EXPECT_LT(mostResident - residentAtStart, 20 * 1024) << "kB more than at the start";
    }
    std::printf(
        "flood: %llu bytes, %d taps, slowest key %lld ms, resident +%ld kB, close %lld ms\n",
        static_cast<unsigned long long>(flooded), taps,
        static_cast<long long>(
            std::chrono::duration_cast<std::chrono::milliseconds>(slowestKey).count()),
        mostResident - residentAtStart,
        static_cast<long long>(
            std::chrono::duration_cast<std::chrono::milliseconds>(closeTime).count()));
    EXPECT_LT(slowestKey, 100ms);
    EXPECT_LT(closeTime, 1s);
    const auto names = recordNames(state.records());
    ASSERT_EQ(names.size(), 10u) << "the earlier nine and this run's";
    EXPECT_TRUE(std::equal(earlier.begin(), earlier.end(), names.begin()));
    std::ifstream record(state.records() / names.back());
    const std::string text{std::istreambuf_iterator<char>(record), {}};
    EXPECT_NE(text.find(" bytes recibidos no registrados\n"), std::string::npos);
}

TEST(TrafficRecordInView, ARecordThatCannotBeKeptStaysInTheStatusLineUntilItCanBe) {
    StateFolder state;
    std::ofstream(state.records()) << "a file where the folder goes";
    TempSettings settings;
    settings.store("Puerto Comm", "/nonexistent/marlo-port");
    ScriptedDialogs dialogs;
    TForm1 form;
    const QString text = "Registro del enlace no disponible: la carpeta es un archivo";
    EXPECT_TRUE(form.statusLine().active(Condition::TrafficRecordUnavailable));
    EXPECT_EQ(form.ui().Rxtext->text(), testing_support::afterLostLink + "Sin joystick")
        << "a passing text covers it";
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return form.ui().Rxtext->text() == testing_support::afterLostLink + text; }, 10000))
        << "and it comes back";

    fs::remove(state.records());
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return !form.statusLine().active(Condition::TrafficRecordUnavailable); }, 20000));
    EXPECT_TRUE(form.trafficRecord().ok());
    EXPECT_TRUE(fs::is_directory(state.records()));
}
