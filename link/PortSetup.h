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

// The reason given while another program holds the port.
QString portInUseText();

// A start-up failure of the port, to be shown in a message box; the detail says why.
struct PortFailure {
    PortFailure(QString text, bool ownedByMainWindow, QString detail = {})
        : text(std::move(text)), ownedByMainWindow(ownedByMainWindow), detail(std::move(detail)) {}

    QString text;
    bool ownedByMainWindow = false;
    QString detail;

    bool operator==(const PortFailure&) const = default;
};

struct PortSetup {
    // Always present; not open when the open failed.
    std::unique_ptr<platform::SerialPort> port;
    // True only when the mode string was accepted and the port opened.
    bool portOk = false;
    // In the order they are to be shown.
    std::vector<PortFailure> failures;
    // The open failed because another program holds the port.
    bool portInUse = false;
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
    bool portInUse = false;
};
inline constexpr int startupConnectWaitMs = 1000;
LineSetup
setUpLine(const QString& portName, const QString& modeString,
          const platform::NetworkLine::Resolver& resolver = platform::NetworkLine::systemResolver);

// Opens the lost line's port again, one attempt per call, never waiting: a network
// connection is started by one call and handed over by a later one once it is up.
class LineReopener {
public:
    // A connection that is not up after this long is started afresh; one still waiting for
    // its host name's lookup is not, so lookups that never answer do not pile up.
    static constexpr auto connectionPatience = std::chrono::seconds(5);

    LineReopener(QString portName, QString modeString,
                 platform::NetworkLine::Resolver resolver = platform::NetworkLine::systemResolver);
    ~LineReopener();

    // The line, once it is open; nothing yet otherwise.
    std::unique_ptr<platform::SerialLine> attempt();
    // Whether the last attempt found the port held by another program.
    bool portInUse() const { return portInUse_; }

private:
    QString portName_;
    QString modeString_;
    platform::NetworkLine::Resolver resolver_;
    std::unique_ptr<platform::NetworkLine> connecting_;
    std::chrono::steady_clock::time_point connectingSince_;
    bool portInUse_ = false;
};

// The message box for a failure: caption "Error", error icon, owned by the main window or
// by nobody.
platform::MessageRequest failureMessage(const PortFailure& failure, QWidget* mainWindow);

} // namespace robot
