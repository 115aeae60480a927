#include "input/LinkStatus.h"

#include <QCoreApplication>

namespace input {

namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(LinkStatus)
};

} // namespace

using Condition = StatusLine::Condition;
using robot::LinkState;

void LinkStatus::show(LinkState state) {
    if (state == LinkState::Lost) {
        statusLine_.clear(Condition::RobotSilent);
        statusLine_.raise(Condition::LinkLost, Texts::tr("Conexión con el robot perdida"));
        wasLost_ = true;
        return;
    }
    statusLine_.clear(Condition::LinkLost);
    if (state == LinkState::RobotSilent)
        statusLine_.raise(Condition::RobotSilent, Texts::tr("El robot no responde"));
    else
        statusLine_.clear(Condition::RobotSilent);
    if (wasLost_)
        statusLine_.show(Texts::tr("Conexión con el robot restablecida"));
    wasLost_ = false;
}

QString LinkStatus::indicatorText(LinkState state) {
    switch (state) {
    case LinkState::Connected:
        return {};
    case LinkState::RobotSilent:
        return Texts::tr("Sin respuesta");
    case LinkState::Lost:
        return Texts::tr("Sin conexión");
    }
    return {};
}

std::string LinkStatus::eventText(LinkState state) {
    switch (state) {
    case LinkState::Connected:
        return "link up";
    case LinkState::RobotSilent:
        return "robot silent";
    case LinkState::Lost:
        return "link lost";
    }
    return {};
}

} // namespace input
