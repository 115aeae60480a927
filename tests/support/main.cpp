#include "platform/Application.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

// One application object shared by every test of a program, on the offscreen platform
// unless the caller chose another.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The console's traffic records of a test run go nowhere lasting.
    const QTemporaryDir state;
    qputenv("XDG_STATE_HOME", state.path().toLocal8Bit());
    ::testing::InitGoogleTest(&argc, argv);
    platform::Application app(argc, argv);
    return RUN_ALL_TESTS();
}
