#pragma once

#include <QString>
#include <QStringList>

// What the operator may choose when starting the console from a shell.
struct ConsoleOptions {
    // Camera source to start with instead of the first attached camera; empty for none.
    QString camera;
    bool listPorts = false;
};

// Reads the options; --help and --version print their text and end the program.
ConsoleOptions parseCommandLine(const QStringList& arguments);
