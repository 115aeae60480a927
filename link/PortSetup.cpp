#include "link/PortSetup.h"

#include <QCoreApplication>

namespace robot {

namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(PortSetup)
};

PortFailure openFailure() {
    return {Texts::tr("Error abriendo puerto COMM"), false};
}

// Starts connecting; nothing for a name that is no usable address.
std::unique_ptr<platform::NetworkLine>
startConnection(const QString& portName, const platform::NetworkLine::Resolver& resolver) {
    const auto address = platform::NetworkLine::parseAddress(portName);
    if (!address)
        return nullptr;
    auto line = std::make_unique<platform::NetworkLine>(resolver);
    line->setTimeouts(consoleTimeouts);
    line->connectTo(*address);
    return line;
}

} // namespace

QString portInUseText() {
    return Texts::tr("Puerto en uso por otro programa");
}

PortSetup setUpPort(const QString& portName, const QString& modeString) {
    PortSetup setup;
    const auto mode = platform::parseMode(modeString.toStdString());
    setup.portOk = mode.ok();
    if (!mode.ok())
        setup.failures.push_back({Texts::tr("Parámetros puerto serie incorrectos"), true});

    setup.port = std::make_unique<platform::SerialPort>();
    if (!setup.port->open(portName)) {
        setup.portInUse = setup.port->heldByOther();
        PortFailure failure = openFailure();
        if (setup.portInUse)
            failure.detail = portInUseText();
        setup.failures.push_back(failure);
        setup.portOk = false;
        return setup;
    }
    setup.port->setTimeouts(consoleTimeouts);
    if (setup.portOk)
        setup.port->applyLineSettings(mode.settings());
    return setup;
}

std::unique_ptr<platform::SerialPort> reopenPort(const QString& portName,
                                                 const QString& modeString) {
    PortSetup setup = setUpPort(portName, modeString);
    if (!setup.port->isOpen())
        return nullptr;
    return std::move(setup.port);
}

LineSetup setUpLine(const QString& portName, const QString& modeString,
                    const platform::NetworkLine::Resolver& resolver) {
    if (!platform::NetworkLine::isNetworkName(portName)) {
        PortSetup port = setUpPort(portName, modeString);
        return {std::move(port.port), port.portOk, std::move(port.failures), port.portInUse};
    }
    LineSetup setup;
    setup.portOk = platform::parseMode(modeString.toStdString()).ok();
    if (!setup.portOk)
        setup.failures.push_back({Texts::tr("Parámetros puerto serie incorrectos"), true});
    auto line = startConnection(portName, resolver);
    if (!line || !line->waitUntilConnected(startupConnectWaitMs)) {
        setup.failures.push_back(openFailure());
        setup.portOk = false;
        setup.line = std::make_unique<platform::NetworkLine>();
        return setup;
    }
    setup.line = std::move(line);
    return setup;
}

LineReopener::LineReopener(QString portName, QString modeString,
                           platform::NetworkLine::Resolver resolver)
    : portName_(std::move(portName)), modeString_(std::move(modeString)),
      resolver_(std::move(resolver)) {}

LineReopener::~LineReopener() = default;

std::unique_ptr<platform::SerialLine> LineReopener::attempt() {
    if (!platform::NetworkLine::isNetworkName(portName_)) {
        PortSetup setup = setUpPort(portName_, modeString_);
        portInUse_ = setup.portInUse;
        if (!setup.port->isOpen())
            return nullptr;
        return std::move(setup.port);
    }
    if (connecting_ && connecting_->isOpen())
        return std::move(connecting_);
    const auto now = std::chrono::steady_clock::now();
    if (!connecting_ || !connecting_->connecting() ||
        (now - connectingSince_ > connectionPatience && !connecting_->lookingUp())) {
        connecting_ = startConnection(portName_, resolver_);
        connectingSince_ = now;
    }
    return nullptr;
}

platform::MessageRequest failureMessage(const PortFailure& failure, QWidget* mainWindow) {
    platform::MessageRequest request;
    request.owner = failure.ownedByMainWindow ? mainWindow : nullptr;
    request.text = failure.text;
    request.detail = failure.detail;
    request.caption = Texts::tr("Error");
    request.icon = platform::MessageIcon::Error;
    return request;
}

} // namespace robot
