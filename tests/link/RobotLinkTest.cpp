#include "link/RobotLink.h"
#include "link/Cp1252.h"
#include "link/PortSetup.h"
#include "tests/link/LinkTestSupport.h"

#include <QWidget>

#include <gtest/gtest.h>

using namespace link_testing;
using Clock = std::chrono::steady_clock;

namespace {

struct RobotLinkTest : SimulatorFixture {
    RecordingIndicators indicators;
    ObservedLine* observed = nullptr;
    std::unique_ptr<robot::RobotLink> link;

    void SetUp() override {
        SimulatorFixture::SetUp();
        auto line = std::make_unique<ObservedLine>(openConsolePort(portPath()), *simulator);
        observed = line.get();
        link = std::make_unique<robot::RobotLink>(std::move(line), indicators, 0);
    }

    std::vector<std::uint8_t> received(std::size_t count) {
        EXPECT_TRUE(simulator->waitForBytes(count, 2s));
        return simulator->receivedValues();
    }
};

} // namespace

TEST_F(RobotLinkTest, AnAnswerAtOnceIsShownAndTheLampsGoOffAtTheTick) {
    link->SendByte('P');
    EXPECT_EQ(indicators.events,
              QStringList({"tx on", "timer on", "rx on", "timer on", "return 65"}));
    EXPECT_TRUE(link->replyExpected());
    EXPECT_EQ(observed->reads, 1);
    EXPECT_EQ(observed->purges, 1);
    EXPECT_EQ(received(1), std::vector<std::uint8_t>{'P'});

    indicators.events.clear();
    link->lampTimerTick();
    EXPECT_EQ(indicators.events, QStringList({"tx off", "rx off", "timer off"}));
}

TEST_F(RobotLinkTest, NoAnswerSwitchesToSendingOnlyForTheRestOfTheRun) {
    simulator->setFault(sim::Fault::silent());
    link->SendByte('A');
    EXPECT_FALSE(link->replyExpected());
    EXPECT_EQ(observed->reads, 10);
    EXPECT_EQ(observed->purges, 1);
    EXPECT_TRUE(indicators.returns.isEmpty());
    EXPECT_EQ(indicators.events, QStringList({"tx on", "timer on"}));

    // The robot answering again changes nothing, and its answers are left unread.
    simulator->setFault(sim::Fault::none());
    link->SendByte('r');
    link->SendByte('P');
    EXPECT_EQ(observed->reads, 10);
    EXPECT_EQ(observed->purges, 1);
    EXPECT_TRUE(indicators.returns.isEmpty());
    EXPECT_EQ(received(3), (std::vector<std::uint8_t>{'A', 'r', 'P'}));
    ASSERT_TRUE(waitUntilSent(*simulator, 2));
    EXPECT_EQ(link->line().read(2), QByteArray("AA"));
}

TEST_F(RobotLinkTest, ReturnKeepsTheLastAnswerOnceTheRobotFallsSilent) {
    link->SendByte('E');
    simulator->setFault(sim::Fault::silent());
    link->SendByte('e');
    link->SendByte('e');
    EXPECT_EQ(indicators.returns, QStringList({"65"}));
    EXPECT_FALSE(link->replyExpected());
}

struct AnswerOnRead : RobotLinkTest, ::testing::WithParamInterface<int> {};

TEST_P(AnswerOnRead, LateAnswersAreShownUpToTheNinthReadAndSwitchReadingOff) {
    const int read = GetParam();
    simulator->setFault(sim::Fault::silent());
    observed->answerOnRead(read, 200);
    link->SendByte('C');
    EXPECT_EQ(observed->reads, read);
    EXPECT_EQ(indicators.returns, read <= 9 ? QStringList({"200"}) : QStringList());
    EXPECT_EQ(link->replyExpected(), read <= 8);
    EXPECT_EQ(observed->purges, 1);
}

INSTANTIATE_TEST_SUITE_P(Reads, AnswerOnRead, ::testing::Values(1, 8, 9, 10));

TEST_F(RobotLinkTest, StrayInputStaysInSendOnlyState) {
    simulator->setFault(sim::Fault::silent());
    link->SendByte('A');
    simulator->sendRaw({'x', 'y'});
    ASSERT_TRUE(waitUntilSent(*simulator, 2));
    link->SendByte('P');
    EXPECT_EQ(link->line().read(2), QByteArray("xy"));
}

TEST_F(RobotLinkTest, StrayInputIsPurgedAfterAnAnswer) {
    simulator->setFault(sim::Fault::silent());
    observed->answerOnRead(1, 'A');
    simulator->sendRaw({'x', 'y'});
    ASSERT_TRUE(waitUntilSent(*simulator, 2));
    link->SendByte('P');
    EXPECT_TRUE(link->line().read(2).isEmpty());
}

TEST_F(RobotLinkTest, TextQueryShowsTheTextUpToItsZeroByte) {
    EXPECT_EQ(link->textQuery(), "MARLO 3 SIMULADOR");
    EXPECT_EQ(received(1), std::vector<std::uint8_t>{'0'});
    EXPECT_EQ(indicators.returns, QStringList({"65"}));
}

TEST_F(RobotLinkTest, TextQueryDropsOldInputAndReadsCodePage1252) {
    simulator->setText("25\xBA"
                       "C \x80");
    simulator->sendRaw({'o', 'l', 'd'});
    ASSERT_TRUE(waitUntilSent(*simulator, 3));
    EXPECT_EQ(link->textQuery(), QString::fromUtf8("25ºC €"));
}

TEST_F(RobotLinkTest, TextQueryWithoutAnswerIsEmpty) {
    simulator->setFault(sim::Fault::silent());
    EXPECT_EQ(link->textQuery(), QString());
}

TEST(Cp1252, MapsTheWindowsRangeAndKeepsUnassignedCodes) {
    EXPECT_EQ(robot::fromCp1252("\x80\x81\x9F\xBA\xFF"),
              QString::fromUtf16(u"\u20AC\u0081\u0178\u00BA\u00FF"));
}

TEST(RobotLinkWithoutPort, IsLostSendsNothingAndNeverWaits) {
    RecordingIndicators indicators;
    robot::RobotLink link(std::make_unique<platform::SerialPort>(), indicators, 100);
    EXPECT_EQ(indicators.states, std::vector<robot::LinkState>{robot::LinkState::Lost});
    indicators.events.clear();
    const auto start = Clock::now();
    link.SendByte('L');
    link.pause(100ms);
    link.SendByte(30);
    EXPECT_EQ(link.textQuery(), QString());
    EXPECT_LT(Clock::now() - start, 100ms) << "one Retardo would already take this long";
    EXPECT_TRUE(indicators.events.isEmpty()) << "no lamp lights for a byte that never left";
    EXPECT_EQ(indicators.states.size(), 1u);
}

TEST_F(RobotLinkTest, PortSetUpWithGoodSettings) {
    link.reset();
    const auto setup = robot::setUpPort(portPath(), "9600,n,8,1");
    EXPECT_TRUE(setup.portOk);
    EXPECT_TRUE(setup.failures.empty());
    ASSERT_TRUE(setup.port->isOpen());
    EXPECT_EQ(setup.port->timeouts(), robot::consoleTimeouts);
}

TEST_F(RobotLinkTest, PortSetUpWithABadModeStillOpensAndBoundsEveryRead) {
    link.reset();
    const auto setup = robot::setUpPort(portPath(), "9600,n,9,1");
    EXPECT_FALSE(setup.portOk);
    EXPECT_EQ(setup.failures,
              std::vector<robot::PortFailure>({{"Parámetros puerto serie incorrectos", true}}));
    ASSERT_TRUE(setup.port->isOpen());
    EXPECT_EQ(setup.port->timeouts(), robot::consoleTimeouts);
}

TEST(PortSetUp, BothFailuresInOrder) {
    const auto setup = robot::setUpPort("/dev/marlo-missing", "garbage");
    EXPECT_FALSE(setup.portOk);
    EXPECT_EQ(setup.failures,
              std::vector<robot::PortFailure>({{"Parámetros puerto serie incorrectos", true},
                                               {"Error abriendo puerto COMM", false}}));
    ASSERT_TRUE(setup.port);
    EXPECT_FALSE(setup.port->isOpen());
}

TEST(PortSetUp, MissingPortWithGoodSettings) {
    const auto setup = robot::setUpPort("ttyMarloMissing", "9600,n,8,1");
    EXPECT_FALSE(setup.portOk);
    EXPECT_EQ(setup.failures,
              std::vector<robot::PortFailure>({{"Error abriendo puerto COMM", false}}));
}

TEST(PortSetUp, FailureMessagesAreErrorsOwnedAsStated) {
    QWidget window;
    const auto owned =
        robot::failureMessage({"Parámetros puerto serie incorrectos", true}, &window);
    EXPECT_EQ(owned.owner, &window);
    EXPECT_EQ(owned.caption, "Error");
    EXPECT_EQ(owned.icon, platform::MessageIcon::Error);
    EXPECT_EQ(owned.text, "Parámetros puerto serie incorrectos");
    EXPECT_EQ(robot::failureMessage({"Error abriendo puerto COMM", false}, &window).owner, nullptr);
}
