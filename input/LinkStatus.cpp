#include "input/LinkStatus.h"

namespace input {

using Condition = StatusLine::Condition;
using robot::LinkState;

void LinkStatus::show(LinkState state) {
    if (state == LinkState::Lost) {
        statusLine_.clear(Condition::RobotSilent);
        statusLine_.raise(Condition::LinkLost, QStringLiteral("Conexión con el robot perdida"));
        wasLost_ = true;
        return;
    }
    statusLine_.clear(Condition::LinkLost);
    if (state == LinkState::RobotSilent)
        statusLine_.raise(Condition::RobotSilent, QStringLiteral("El robot no responde"));
    else
        statusLine_.clear(Condition::RobotSilent);
    if (wasLost_)
        statusLine_.show(QStringLiteral("Conexión con el robot restablecida"));
    wasLost_ = false;
}

QString LinkStatus::indicatorText(LinkState state) {
    switch (state) {
    case LinkState::Connected:
        return {};
    case LinkState::RobotSilent:
        return QStringLiteral("Sin respuesta");
    case LinkState::Lost:
        return QStringLiteral("Sin conexión");
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
