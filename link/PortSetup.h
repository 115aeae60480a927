#pragma once

#include "platform/Dialogs.h"
#include "platform/NetworkLine.h"
#include "platform/SerialPort.h"

#include <QString>

#include <chrono>
#include <memory>
#include <vector>

class QWidget;

namespace robot {

inline constexpr platform::SerialTimeouts consoleTimeouts{
    .readPerByteMs = 2, .readConstantMs = 5, .writePerByteMs = 2, .writeConstantMs = 0};

// A start-up failure of the port, to be shown in a message box.
struct PortFailure {
    QString text;
    bool ownedByMainWindow = false;

    bool operator==(const PortFailure&) const = default;
};

struct PortSetup {
    // Always present; not open when the open failed.
    std::unique_ptr<platform::SerialPort> port;
    // True only when the mode string was accepted and the port opened.
    bool portOk = false;
    // In the order they are to be shown.
    std::vector<PortFailure> failures;
};

// Opens the robot's port by name whatever the mode string says. An open port always gets
// the console's time-outs, so that no read waits for ever; the line settings only when the
// mode string was accepted.
PortSetup setUpPort(const QString& portName, const QString& modeString);

// Opens the port again after the line was lost, with the same settings as setUpPort; nothing
// when it does not open yet.
std::unique_ptr<platform::SerialPort> reopenPort(const QString& portName,
                                                 const QString& modeString);

// The robot's line at start-up: a serial port as setUpPort opens it, or for "tcp://HOST:PORT"
// a connection to a serial-to-network server, waited for at most startupConnectWait. The mode
// string is checked either way, but the server sets the line.
struct LineSetup {
    // Always present; not open when the open failed.
    std::unique_ptr<platform::SerialLine> line;
    bool portOk = false;
    std::vector<PortFailure> failures;
};
inline constexpr int startupConnectWaitMs = 1000;
LineSetup setUpLine(const QString& portName, const QString& modeString);

// Opens the lost line's port again, one attempt per call, never waiting: a network
// connection is started by one call and handed over by a later one once it is up.
class LineReopener {
public:
    // A connection that is not up after this long is started afresh.
    static constexpr auto connectionPatience = std::chrono::seconds(5);

    LineReopener(QString portName, QString modeString);
    ~LineReopener();

    // The line, once it is open; nothing yet otherwise.
    std::unique_ptr<platform::SerialLine> attempt();

private:
    QString portName_;
    QString modeString_;
    std::unique_ptr<platform::NetworkLine> connecting_;
    std::chrono::steady_clock::time_point connectingSince_;
};

// The message box for a failure: caption "Error", error icon, owned by the main window or
// by nobody.
platform::MessageRequest failureMessage(const PortFailure& failure, QWidget* mainWindow);

} // namespace robot
