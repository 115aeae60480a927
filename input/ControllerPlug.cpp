#include "input/ControllerPlug.h"

#include "link/Commands.h"

#include <QCoreApplication>

namespace input {

namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(ControllerPlug)
};

} // namespace

ControllerPlug::ControllerPlug(GameController& controller, ConsolePanel& panel,
                               robot::CommandLink& link, Opener open)
    : controller_(controller), panel_(panel), link_(link), open_(std::move(open)) {}

bool ControllerPlug::follow(bool present, bool active) {
    if (present && !controller_.deviceAttached()) {
        if (controller_.detach())
            robot::sendStop(link_);
        panel_.showStatus(Texts::tr("Sin joystick"));
        present = false;
    }
    if (present)
        return true;
    std::unique_ptr<platform::Joystick> device = open_();
    if (!device)
        return false;
    const QString name = QString::fromStdString(device->name());
    controller_.attach(std::move(device));
    controller_.acquire(active);
    panel_.showStatus(Texts::tr("Joystick: %1").arg(name));
    return true;
}

} // namespace input
