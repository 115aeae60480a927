#include "link/PortSetup.h"
#include "sim/Simulator.h"

#include <gtest/gtest.h>

namespace {

const QString mode = QStringLiteral("9600,n,8,1");

} // namespace

TEST(PortInUse, APortAnotherProgramHoldsIsNamedSoAndAMissingOneIsNot) {
    sim::Simulator simulator;
    const QString path = QString::fromStdString(simulator.devicePath());
    auto otherProgram = std::make_unique<platform::SerialPort>();
    ASSERT_TRUE(otherProgram->open(path));

    const robot::LineSetup held = robot::setUpLine(path, mode);
    EXPECT_TRUE(held.portInUse);
    EXPECT_FALSE(held.line->isOpen());
    ASSERT_EQ(held.failures.size(), 1u);
    EXPECT_EQ(held.failures[0].text, "Error abriendo puerto COMM");
    const platform::MessageRequest box = robot::failureMessage(held.failures[0], nullptr);
    EXPECT_EQ(box.text, "Error abriendo puerto COMM");
    EXPECT_EQ(box.detail, "Puerto en uso por otro programa");

    const robot::LineSetup missing = robot::setUpLine("/nonexistent/marlo-port", mode);
    EXPECT_FALSE(missing.portInUse);
    ASSERT_EQ(missing.failures.size(), 1u);
    EXPECT_EQ(missing.failures[0].text, "Error abriendo puerto COMM");
    EXPECT_EQ(missing.failures[0].detail, "");

    robot::LineReopener reopener(path, mode);
    EXPECT_EQ(reopener.attempt(), nullptr);
    EXPECT_TRUE(reopener.portInUse());
    otherProgram.reset();
    const auto line = reopener.attempt();
    EXPECT_TRUE(line && line->isOpen()) << "free again";
    EXPECT_FALSE(reopener.portInUse());

    robot::LineReopener elsewhere("/nonexistent/marlo-port", mode);
    EXPECT_EQ(elsewhere.attempt(), nullptr);
    EXPECT_FALSE(elsewhere.portInUse());
}
