#pragma once

#include <QHostAddress>
#include <QString>

#include <optional>

// Where the remote view listens: `[ADDRESS:]PORT`, every interface when no address is given.
struct RemoteAddress {
    QHostAddress address{QHostAddress::Any};
    quint16 port = 8080;
    bool operator==(const RemoteAddress&) const = default;
};

// Reads `[ADDRESS:]PORT` (an IPv6 address in brackets); nothing when it is not one.
std::optional<RemoteAddress> parseRemoteAddress(const QString& text);

namespace settings {
inline const QString kRemotePort = QStringLiteral("Vista remota puerto");
}

// The port stored with the settings, 8080 when none or an unusable one is.
quint16 storedRemotePort();
void rememberRemotePort(quint16 port);
