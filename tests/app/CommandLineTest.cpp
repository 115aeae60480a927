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

TEST(CommandLineTest, ATestPatternOutOfItsBoundsEndsTheStartWithItsReason) {
    EXPECT_EQ(parseCommandLine({"marlo-consola", "--camera", "test:1920x1080"}).camera,
              "test:1920x1080");
    for (const char* camera : {"test:1922x1080", "test:15x16", "test:grande"})
        EXPECT_EXIT(parseCommandLine({"marlo-consola", "--camera", camera}),
                    testing::ExitedWithCode(EXIT_FAILURE), "lados pares de 16 a 1920")
            << camera;
}

} // namespace
