#include "app/CommandLine.h"

#include <gtest/gtest.h>

namespace {

TEST(CommandLineTest, OnlyTextRequestsRunWithoutAWindow) {
    const struct {
        QStringList arguments;
        bool textOnly;
    } cases[] = {
        {{}, false},
        {{"--camera", "test"}, false},
        {{"--camera=/dev/video0"}, false},
        {{"--help"}, true},
        {{"-h"}, true},
        {{"--help-all"}, true},
        {{"--version"}, true},
        {{"-v"}, true},
        {{"--list-ports"}, true},
        {{"--camera", "test", "--list-ports"}, true},
        {{"--bogus"}, false},
        {{"--bogus", "--version"}, true},
    };
    for (const auto& c : cases) {
        QStringList arguments = c.arguments;
        arguments.prepend("marlo-consola");
        EXPECT_EQ(needsNoWindow(arguments), c.textOnly) << arguments.join(' ').toStdString();
    }
}

TEST(CommandLineTest, CameraAndPortListAreRead) {
    const ConsoleOptions options = parseCommandLine({"marlo-consola", "--camera", "test"});
    EXPECT_EQ(options.camera, "test");
    EXPECT_FALSE(options.listPorts);
    EXPECT_TRUE(parseCommandLine({"marlo-consola", "--list-ports"}).listPorts);
}

} // namespace
