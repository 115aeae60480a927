#pragma once

#include "app/ConsoleSettings.h"
#include "app/RemoteAddress.h"

#include <QString>
#include <QStringList>

#include <optional>

// What the operator may choose when starting the console from a shell.
struct ConsoleOptions {
    // Camera source to start with instead of the first attached camera; empty for none.
    QString camera;
    bool listPorts = false;
    // The inspection job to start with; empty for none.
    QString job;
    // A job folder whose report is to be written, with no window; empty for none.
    QString report;
    // Where the remote view is to listen from the start; none for off.
    std::optional<RemoteAddress> remoteView;
    // The language of this run, over the stored one; none to use the stored one.
    std::optional<settings::Language> language;
};

// Reads the options; --help and --version print their text and end the program, as does
// a bad option or camera source, with its reason.
ConsoleOptions parseCommandLine(const QStringList& arguments);

// True when the command line asks only for text (help, version, the port list), which
// must work without a display.
bool needsNoWindow(const QStringList& arguments);
// True when the command line asks for a job's report, which is written with no window.
bool wantsReport(const QStringList& arguments);

// Answers such a command line (and --report) with no window system and returns the exit status;
// nothing when the console itself is to start.
std::optional<int> runWithoutWindow(int& argc, char** argv);
