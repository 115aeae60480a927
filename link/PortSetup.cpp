#include "link/PortSetup.h"

namespace robot {

PortSetup setUpPort(const QString& portName, const QString& modeString) {
    PortSetup setup;
    const auto mode = platform::parseMode(modeString.toStdString());
    setup.portOk = mode.ok();
    if (!mode.ok())
        setup.failures.push_back({QStringLiteral("Parámetros puerto serie incorrectos"), true});

    setup.port = std::make_unique<platform::SerialPort>();
    if (!setup.port->open(portName)) {
        setup.failures.push_back({QStringLiteral("Error abriendo puerto COMM"), false});
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

platform::MessageRequest failureMessage(const PortFailure& failure, QWidget* mainWindow) {
    platform::MessageRequest request;
    request.owner = failure.ownedByMainWindow ? mainWindow : nullptr;
    request.text = failure.text;
    request.caption = QStringLiteral("Error");
    request.icon = platform::MessageIcon::Error;
    return request;
}

} // namespace robot
