#include "app/RemoteAddress.h"

#include "platform/SettingsStore.h"

std::optional<RemoteAddress> parseRemoteAddress(const QString& text) {
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    QString host = colon < 0 ? QString() : text.left(colon);
    const QString portText = colon < 0 ? text : text.mid(colon + 1);
    bool isNumber = false;
    const int port = portText.toInt(&isNumber);
    if (!isNumber || port < 1 || port > 65535 || portText.startsWith(QLatin1Char('+')))
        return std::nullopt;
    RemoteAddress where;
    where.port = static_cast<quint16>(port);
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
        host = host.mid(1, host.size() - 2);
    else if (host.contains(QLatin1Char(':')))
        return std::nullopt;
    if (!host.isEmpty() && !where.address.setAddress(host))
        return std::nullopt;
    return where;
}

quint16 storedRemotePort() {
    constexpr quint16 fallback = 8080;
    const auto store = platform::SettingsStore::open();
    if (!store)
        return fallback;
    try {
        const std::optional<int> port = store->readInteger(settings::kRemotePort);
        return port && *port >= 1 && *port <= 65535 ? static_cast<quint16>(*port) : fallback;
    } catch (const platform::SettingsReadError&) {
        return fallback;
    }
}

void rememberRemotePort(quint16 port) {
    if (const auto store = platform::SettingsStore::open())
        store->writeInteger(settings::kRemotePort, port);
}
