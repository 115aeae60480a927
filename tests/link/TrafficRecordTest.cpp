#include "link/TrafficRecord.h"
#include "link/Commands.h"
#include "link/RecordedLine.h"
#include "link/Telemetry.h"
#include "sim/Replay.h"
#include "tests/link/LinkTestSupport.h"
#include "tests/support/ScriptedDisk.h"

#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

#include <unistd.h>

using namespace link_testing;
namespace fs = std::filesystem;

namespace {

struct Parsed {
    std::vector<std::uint8_t> sent;
    std::vector<std::uint8_t> received;
    std::vector<std::string> events;
    std::vector<std::string> names;
};

Parsed parse(const fs::path& file) {
    Parsed parsed;
    std::ifstream in(file);
    std::string text;
    while (std::getline(in, text)) {
        std::istringstream fields(text);
        long long ms = 0;
        std::string direction;
        fields >> ms >> direction;
        std::string rest;
        std::getline(fields >> std::ws, rest);
        if (direction == "!") {
            parsed.events.push_back(rest);
            continue;
        }
        const auto byte = static_cast<std::uint8_t>(std::stoul(rest.substr(0, 2), nullptr, 16));
        (direction == ">" ? parsed.sent : parsed.received).push_back(byte);
        if (direction == ">" && rest.size() > 3)
            parsed.names.push_back(rest.substr(3));
    }
    return parsed;
}

std::vector<fs::path> filesIn(const QTemporaryDir& folder) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder.path().toStdString()))
        files.push_back(entry.path().filename());
    std::sort(files.begin(), files.end());
    return files;
}

void touch(const QTemporaryDir& folder, const std::string& name) {
    std::ofstream(folder.filePath(QString::fromStdString(name)).toStdString()) << "0 ! old\n";
}

// Whether `part` is `whole` with some bytes left out, the rest in the same order.
bool isSubsequence(const std::vector<std::uint8_t>& part, const std::vector<std::uint8_t>& whole) {
    auto at = whole.begin();
    for (const std::uint8_t byte : part) {
        at = std::find(at, whole.end(), byte);
        if (at == whole.end())
            return false;
        ++at;
    }
    return true;
}

struct NullDisplay final : robot::TelemetryDisplay {
    void showTelemetryLine(const QString&) override {}
};

} // namespace

TEST(TrafficRecord, HoldsExactlyWhatTheRobotReceivedAndSentWithTheEvents) {
    QTemporaryDir folder;
    sim::Simulator simulator;
    RecordingIndicators indicators;
    robot::TrafficRecord record(folder.path().toStdString());
    ASSERT_TRUE(record.ok());
    {
        robot::RobotLink link(
            std::make_unique<robot::RecordedLine>(
                openConsolePort(QString::fromStdString(simulator.devicePath())), record),
            indicators, 2);
        record.event("link up");
        robot::sendForward(link, 10);
        simulator.sendRaw({'x', 'y'});
        ASSERT_TRUE(waitUntilSent(simulator, 8));
        robot::sendStop(link);
        record.event("recording started 00123video.avi");
        NullDisplay display;
        robot::Telemetry telemetry;
        EXPECT_EQ(telemetry.poll(link, display), robot::PollOutcome::Decoded);
        EXPECT_FALSE(link.textQuery().isEmpty());
        robot::sendLightsFromSlider(link, 20);
        ASSERT_TRUE(simulator.waitForBytes(11, 2s));
        // Bytes the console holds when it empties the line are recorded all the same.
        simulator.sendRaw({'p', 'q'});
        ASSERT_TRUE(QTest::qWaitFor([&] { return link.line().hasInput(); }, 5000));
        runEventLoopFor(100ms);
        link.line().purgeInput();
    }
    record.flush();

    const Parsed parsed = parse(record.currentFile());
    EXPECT_EQ(parsed.sent, simulator.receivedValues());
    // Each command's answer is awaited, then the line emptied: an answer still held by the
    // system then never reaches the console, so on a busy machine some may be missing.
    const std::vector<std::uint8_t> sent = simulator.sentBytes();
    EXPECT_TRUE(isSubsequence(parsed.received, sent))
        << "nothing the robot did not send, in its order";
    ASSERT_GE(parsed.received.size(), 2u);
    EXPECT_EQ(std::vector<std::uint8_t>(parsed.received.end() - 2, parsed.received.end()),
              (std::vector<std::uint8_t>{'p', 'q'}))
        << "purged bytes included";
    EXPECT_EQ(parsed.events,
              (std::vector<std::string>{"link up", "recording started 00123video.avi"}));
    EXPECT_EQ(parsed.names, simulator.decodedLines()) << "the simulator's own names";
}

TEST(TrafficRecord, ReplayPrintsWhatTheSimulatorPrinted) {
    QTemporaryDir folder;
    sim::Simulator simulator;
    robot::TrafficRecord record(folder.path().toStdString());
    RecordingIndicators indicators;
    {
        robot::RobotLink link(
            std::make_unique<robot::RecordedLine>(
                openConsolePort(QString::fromStdString(simulator.devicePath())), record),
            indicators, 2);
        robot::sendBackward(link, 20);
        record.event("link lost");
        robot::sendPositionC0(link, 64);
        ASSERT_TRUE(simulator.waitForLines(5, 2s));
    }
    record.flush();
    std::ifstream file(record.currentFile());
    std::vector<std::string> expected = simulator.decodedLines();
    ASSERT_EQ(expected.size(), 5u);
    expected.insert(expected.begin() + 4, "-- link lost");
    EXPECT_EQ(sim::replayRecord(file), expected);
}

TEST(TrafficRecord, KeepsTheNewestTenFiles) {
    for (const int old : {8, 9, 12}) {
        SCOPED_TRACE(old);
        QTemporaryDir folder;
        for (int i = 0; i < old; ++i)
            touch(folder, "2000-01-01_00-00-" + std::to_string(10 + i) + ".log");
        touch(folder, "notes.txt");
        robot::TrafficRecord record(folder.path().toStdString());
        const auto files = filesIn(folder);
        const std::size_t logs = std::min(old + 1, 10);
        ASSERT_EQ(files.size(), logs + 1);
        EXPECT_EQ(files.back(), "notes.txt") << "other files stay";
        EXPECT_EQ(files[logs - 1], record.currentFile().filename()) << "the new file is kept";
        const int firstKept = old + 1 - static_cast<int>(logs);
        EXPECT_EQ(files.front(), "2000-01-01_00-00-" + std::to_string(10 + firstKept) + ".log");
    }
}

TEST(TrafficRecord, AFullFileIsFollowedByANewOne) {
    QTemporaryDir folder;
    constexpr std::uintmax_t limit = 300;
    {
        robot::TrafficRecord record(folder.path().toStdString(), limit);
        // About twenty files' worth.
        for (int i = 0; i < 400; ++i)
            record.event("event " + std::to_string(i));
    }
    const auto files = filesIn(folder);
    ASSERT_EQ(files.size(), 10u);
    for (std::size_t i = 0; i < files.size(); ++i) {
        const auto size =
            fs::file_size(folder.filePath(QString::fromStdString(files[i])).toStdString());
        EXPECT_LE(size, limit + 32) << files[i];
        const std::uintmax_t least = i + 1 < files.size() ? limit : 1;
        EXPECT_GE(size, least) << files[i] << ": only the newest may be short";
    }
    std::ifstream newest(folder.filePath(QString::fromStdString(files.back())).toStdString());
    std::string last;
    for (std::string line; std::getline(newest, line);)
        last = line;
    EXPECT_TRUE(last.ends_with("! event 399")) << last;
}

TEST(TrafficRecord, ReachesTheDiskWithinASecondWithoutBeingAsked) {
    QTemporaryDir folder;
    robot::TrafficRecord record(folder.path().toStdString());
    record.sent('P');
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (parse(record.currentFile()).sent.empty() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(20ms);
    EXPECT_EQ(parse(record.currentFile()).sent, std::vector<std::uint8_t>{'P'});
}

TEST(TrafficRecord, AFolderThatCannotBeMadeRecordsNothingAndSaysSo) {
    QTemporaryDir folder;
    touch(folder, "file");
    robot::TrafficRecord record(folder.filePath("file/marlo-consola").toStdString());
    EXPECT_FALSE(record.ok());
    record.sent('P');
    record.event("link up");
    record.flush();
    EXPECT_EQ(filesIn(folder).size(), 1u);
}

// Lines of the file, whole or not: a cut line shows as a last entry without its end.
static std::vector<std::string> linesOf(const fs::path& file, bool* endsWhole = nullptr) {
    std::ifstream in(file, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    if (endsWhole)
        *endsWhole = text.empty() || text.back() == '\n';
    std::vector<std::string> lines;
    std::istringstream split(text);
    for (std::string line; std::getline(split, line);)
        lines.push_back(line);
    return lines;
}

TEST(TrafficRecord, OneRunsReceivedBytesTakeAtMostAQuarterOfAFileAndTheRestIsCounted) {
    // A hundred received bytes a run.
    constexpr std::uintmax_t limit = 6400;
    const struct {
        int bytes;
        int recorded;
    } cases[] = {{95, 95}, {100, 100}, {101, 100}, {5000, 100}};
    for (const auto& [bytes, recorded] : cases) {
        SCOPED_TRACE(bytes);
        QTemporaryDir folder;
        for (int i = 0; i < 9; ++i)
            touch(folder, "2000-01-01_00-00-" + std::to_string(10 + i) + ".log");
        {
            robot::TrafficRecord record(folder.path().toStdString(), limit);
            ASSERT_EQ(record.receivedBytesKept(), 100u);
            record.sent('P');
            record.event("link lost");
            record.received(QByteArray(bytes, 'Z'));
            ASSERT_TRUE(record.flush());
            EXPECT_EQ(record.unrecordedBytes(), static_cast<std::uint64_t>(bytes - recorded));
            const Parsed parsed = parse(record.currentFile());
            EXPECT_EQ(parsed.received.size(), static_cast<std::size_t>(recorded));
            std::vector<std::string> events{"link lost"};
            if (bytes > recorded)
                events.push_back(std::to_string(bytes - recorded) +
                                 " bytes recibidos no registrados");
            EXPECT_EQ(parsed.events, events);
        }
        EXPECT_EQ(filesIn(folder).size(), 10u) << "every earlier record kept";
    }
}

TEST(TrafficRecord, AFloodNeverPushesTheEarlierRecordsOut) {
    QTemporaryDir folder;
    for (int i = 0; i < 9; ++i)
        touch(folder, "2000-01-01_00-00-" + std::to_string(10 + i) + ".log");
    {
        robot::TrafficRecord record(folder.path().toStdString(), 2000);
        // About a hundred files' worth of received bytes, as a key at a time would purge them.
        for (int i = 0; i < 50; ++i)
            record.received(QByteArray(4096, 'Z'));
        record.flush();
    }
    const auto files = filesIn(folder);
    ASSERT_EQ(files.size(), 10u);
    EXPECT_EQ(files.front(), "2000-01-01_00-00-10.log");
}

TEST(TrafficRecord, AFolderThatIsAFileIsReportedAndTriedAgainUntilItCanBeMade) {
    QTemporaryDir folder;
    touch(folder, "file");
    const fs::path recordFolder = folder.filePath("file/marlo-consola").toStdString();
    robot::TrafficRecord record(recordFolder);
    EXPECT_FALSE(record.ok());
    EXPECT_EQ(record.problem(), "la carpeta es un archivo");
    record.sent('A');
    EXPECT_FALSE(record.flush());

    fs::remove(folder.filePath("file").toStdString());
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (!record.ok() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(20ms);
    ASSERT_TRUE(record.ok());
    EXPECT_EQ(record.problem(), "");
    record.sent('P');
    EXPECT_TRUE(record.flush());
    const Parsed parsed = parse(record.currentFile());
    EXPECT_EQ(parsed.events, std::vector<std::string>{"registro reanudado"});
    EXPECT_EQ(parsed.sent, std::vector<std::uint8_t>{'P'}) << "nothing from the lost time";
}

TEST(TrafficRecord, AReadOnlyFolderIsReported) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into a read-only folder";
    QTemporaryDir folder;
    fs::permissions(folder.path().toStdString(), fs::perms::owner_read | fs::perms::owner_exec);
    robot::TrafficRecord record(folder.path().toStdString());
    EXPECT_FALSE(record.ok());
    EXPECT_EQ(record.problem(), "sin permiso de escritura");
    fs::permissions(folder.path().toStdString(), fs::perms::owner_all);
}

TEST(TrafficRecord, AFullDiskEndsTheFileAtItsLastWholeLineAndSaysSoWhenThereIsRoom) {
    // Each event line is "<ms> ! " and 100 letters, 105 to 108 bytes; the end note 36 to 39:
    // five lines fit either way, and a note only with the larger room.
    const std::string text(100, 'e');
    const struct {
        std::uint64_t room;
        bool noted;
    } cases[] = {{5 * 108 + 60, true}, {5 * 108 + 20, false}};
    for (const auto& [room, noted] : cases) {
        SCOPED_TRACE(room);
        QTemporaryDir folder;
        testing_support::ScriptedDisk disk;
        disk.writableBytes = room;
        robot::TrafficRecord record(folder.path().toStdString(),
                                    robot::TrafficRecord::defaultFileLimit, disk.disk());
        for (int i = 0; i < 20; ++i)
            record.event(text);
        EXPECT_FALSE(record.flush()) << "lines lost are not counted as written";
        EXPECT_FALSE(record.ok());
        EXPECT_EQ(record.problem(), "disco lleno");

        bool whole = false;
        const auto lines = linesOf(record.currentFile(), &whole);
        EXPECT_TRUE(whole);
        ASSERT_EQ(lines.size(), noted ? 6u : 5u);
        for (std::size_t i = 0; i < 5; ++i)
            EXPECT_TRUE(lines[i].ends_with(" ! " + text)) << i;
        EXPECT_EQ(lines.back().ends_with(" ! registro terminado: disco lleno"), noted);
        record.event("not kept");

        disk.writableBytes = testing_support::ScriptedDisk::unlimited;
        const auto deadline = std::chrono::steady_clock::now() + 20s;
        while (!record.ok() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(20ms);
        EXPECT_TRUE(record.ok());
        record.event("kept");
        record.flush();
        EXPECT_EQ(parse(record.currentFile()).events,
                  (std::vector<std::string>{"registro reanudado", "kept"}));
    }
}

// Lines a failing disk did not take are told on the GUI thread with the reason, once per
// failure, and the lines written before the failure are not.
TEST(TrafficRecord, LinesTheDiskRefusesAreToldOnTheGuiThreadWithTheReason) {
    const struct {
        platform::DiskError error;
        std::uint64_t room;
        const char* reason;
    } cases[] = {{platform::DiskError::Full, 0, "disco lleno"},
                 {platform::DiskError::Failed, 300, "error de escritura"}};
    for (const auto& [error, room, reason] : cases) {
        SCOPED_TRACE(reason);
        QTemporaryDir folder;
        testing_support::ScriptedDisk disk;
        robot::TrafficRecord record(folder.path().toStdString(),
                                    robot::TrafficRecord::defaultFileLimit, disk.disk());
        QStringList told;
        std::vector<bool> onGuiThread;
        record.onFailure([&](const QString& text) {
            told << text;
            onGuiThread.push_back(QThread::currentThread() == qApp->thread());
        });
        record.event("written");
        ASSERT_TRUE(record.flush());
        QCoreApplication::processEvents();
        EXPECT_TRUE(told.isEmpty());
        disk.failure = error;
        disk.writableBytes = room;
        for (int i = 0; i < 20; ++i)
            record.event(std::string(100, 'e'));
        EXPECT_FALSE(record.flush());
        ASSERT_TRUE(QTest::qWaitFor([&] { return !told.isEmpty(); }, 10000));
        EXPECT_EQ(told.first(), QString::fromUtf8(reason));
        EXPECT_EQ(record.problem(), QString::fromUtf8(reason));
        EXPECT_EQ(onGuiThread, std::vector<bool>{true});
    }
}
