#include "link/PortSetup.h"
#include "platform/NetworkLine.h"
#include "tests/link/LinkTestSupport.h"

#include <QFile>
#include <QNetworkProxy>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QUdpSocket>

#include <gtest/gtest.h>

#include <atomic>
#include <future>

#include <unistd.h>

using namespace link_testing;
using platform::NetworkLine;
using Clock = std::chrono::steady_clock;

namespace {

const QString robotName = QStringLiteral("tcp://robot.marlo.test:2000");
const QString mode = QStringLiteral("9600,n,8,1");

// Far beyond the start-up's one second, yet short enough for a busy machine to keep.
constexpr auto startupBound = 4s;
constexpr auto attemptBound = 500ms;

// A name server that answers nothing while the test runs; its lookups end with the test.
class SilentNameServer {
public:
    ~SilentNameServer() { state_->end.set_value(); }

    NetworkLine::Resolver resolver() const {
        return [state = state_](const QString&) {
            ++state->asked;
            state->ended.wait_for(60s);
            return std::vector<QHostAddress>{};
        };
    }
    int asked() const { return state_->asked; }

private:
    struct State {
        std::promise<void> end;
        std::shared_future<void> ended = end.get_future().share();
        std::atomic<int> asked{0};
    };
    std::shared_ptr<State> state_ = std::make_shared<State>();
};

// A name that the resolver answers with these addresses at once.
NetworkLine::Resolver answering(std::vector<QHostAddress> addresses) {
    return [addresses](const QString& host) {
        return host == "robot.marlo.test" ? addresses : std::vector<QHostAddress>{};
    };
}

Clock::duration timeOf(const std::function<void()>& step) {
    const auto began = Clock::now();
    step();
    return Clock::now() - began;
}

bool waitUntil(const std::function<bool()>& condition) {
    const auto deadline = Clock::now() + 10s;
    while (!condition()) {
        if (Clock::now() > deadline)
            return false;
        runEventLoopFor(10ms);
    }
    return true;
}

} // namespace

TEST(NameLookup, ALookupThatNeverAnswersHoldsTheStartUpItsSecondAndAnAttemptNotAtAll) {
    SilentNameServer names;
    robot::LineSetup setup;
    const auto startup =
        timeOf([&] { setup = robot::setUpLine(robotName, mode, names.resolver()); });
    EXPECT_LT(startup, startupBound);
    EXPECT_FALSE(setup.portOk);
    ASSERT_EQ(setup.failures.size(), 1u);
    EXPECT_EQ(setup.failures[0].text, "Error abriendo puerto COMM");
    EXPECT_FALSE(setup.line->isOpen());

    robot::LineReopener reopener(robotName, mode, names.resolver());
    for (int attempt = 0; attempt < 3; ++attempt)
        EXPECT_LT(timeOf([&] { EXPECT_EQ(reopener.attempt(), nullptr); }), attemptBound);
    EXPECT_TRUE(waitUntil([&] { return names.asked() == 2; }));

    // A line given up while its lookup waits goes at once.
    auto line = std::make_unique<NetworkLine>(names.resolver());
    line->connectTo({QStringLiteral("robot.marlo.test"), 2000});
    EXPECT_TRUE(line->connecting());
    EXPECT_LT(timeOf([&] { line.reset(); }), attemptBound);
}

TEST(NameLookup, AReconnectionWaitingForItsLookupIsNotStartedAgain) {
    SilentNameServer names;
    robot::LineReopener reopener(robotName, mode, names.resolver());
    const auto beyondPatience = Clock::now() + robot::LineReopener::connectionPatience + 1s;
    while (Clock::now() < beyondPatience) {
        EXPECT_EQ(reopener.attempt(), nullptr);
        runEventLoopFor(250ms);
    }
    EXPECT_EQ(names.asked(), 1) << "lookups that never answer must not pile up";
}

TEST(NameLookup, TheHostsAddressesAreTriedInTurnAndAnUnknownHostFailsAtOnce) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    const QString name = QStringLiteral("tcp://robot.marlo.test:%1").arg(server.serverPort());
    // Nobody listens on the first address.
    const auto resolver = answering({QHostAddress::LocalHostIPv6, QHostAddress::LocalHost});

    robot::LineSetup setup = robot::setUpLine(name, mode, resolver);
    EXPECT_TRUE(setup.failures.empty());
    EXPECT_TRUE(setup.line->isOpen());
    EXPECT_TRUE(server.waitForNewConnection(5000));

    robot::LineReopener reopener(name, mode, resolver);
    std::unique_ptr<platform::SerialLine> line;
    EXPECT_TRUE(waitUntil([&] { return (line = reopener.attempt()) != nullptr; }));
    EXPECT_TRUE(line && line->isOpen());

    robot::LineSetup unknown;
    const auto failing = timeOf([&] { unknown = robot::setUpLine(name, mode, answering({})); });
    EXPECT_LT(failing, attemptBound) << "no answer to wait for";
    EXPECT_EQ(unknown.failures.size(), 1u);
    EXPECT_FALSE(unknown.line->isOpen());
}

// Runs inside a mount and network namespace of its own, where the name server is a local
// port that reads every question and answers none (see the test below).
TEST(NameLookupInside, TheSystemsResolverHoldsNeitherTheStartUpNorTheEnd) {
    if (qEnvironmentVariableIsEmpty("MARLO_SILENT_NAME_SERVER"))
        GTEST_SKIP() << "run by NameLookup.ASilentNameServerHoldsNeitherTheStartUpNorTheEnd";
    QUdpSocket nameServer;
    // Asking for the system's proxy starts a thread of its own that nothing here needs.
    nameServer.setProxy(QNetworkProxy::NoProxy);
    ASSERT_TRUE(nameServer.bind(QHostAddress::LocalHost, 53));
    robot::LineSetup setup;
    EXPECT_LT(timeOf([&] { setup = robot::setUpLine(robotName, mode); }), startupBound);
    ASSERT_EQ(setup.failures.size(), 1u);
    EXPECT_EQ(setup.failures[0].text, "Error abriendo puerto COMM");
    EXPECT_TRUE(nameServer.hasPendingDatagrams()) << "the question reached the silent server";
    robot::LineReopener reopener(robotName, mode);
    for (int attempt = 0; attempt < 3; ++attempt)
        EXPECT_LT(timeOf([&] { EXPECT_EQ(reopener.attempt(), nullptr); }), attemptBound);
}

TEST(NameLookup, ASilentNameServerHoldsNeitherTheStartUpNorTheEnd) {
    const QString unshare = QStandardPaths::findExecutable(QStringLiteral("unshare"));
    const QString ip = QStandardPaths::findExecutable(
        QStringLiteral("ip"), {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
    if (::geteuid() != 0 || unshare.isEmpty() || ip.isEmpty())
        GTEST_SKIP() << "needs root, unshare and ip for a private name server";
    QTemporaryDir folder;
    QFile resolvConf(folder.filePath(QStringLiteral("resolv.conf")));
    ASSERT_TRUE(resolvConf.open(QIODevice::WriteOnly));
    // The longest waits the resolver allows: minutes for a console that waits on it.
    resolvConf.write("nameserver 127.0.0.1\noptions timeout:30 attempts:5\n");
    resolvConf.close();

    QProcess inside;
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("MARLO_SILENT_NAME_SERVER"), QStringLiteral("1"));
    inside.setProcessEnvironment(environment);
    inside.setProcessChannelMode(QProcess::MergedChannels);
    inside.start(unshare,
                 {"--mount", "--net", "--", "/bin/sh", "-c",
                  "\"$0\" link set lo up && mount --bind \"$1\" /etc/resolv.conf && exec \"$2\" "
                  "--gtest_filter=NameLookupInside.*",
                  ip, resolvConf.fileName(),
                  QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))});
    const bool finished = inside.waitForFinished(60000);
    const QString output = QString::fromLocal8Bit(inside.readAll());
    if (!finished)
        inside.kill();
    ASSERT_TRUE(finished) << "the program waited on the lookups at its end\n"
                          << output.toStdString();
    EXPECT_EQ(inside.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("[  PASSED  ] 1 test.")) << output.toStdString();
    EXPECT_FALSE(output.contains("SKIPPED")) << output.toStdString();
}
