#include "platform/PortList.h"

#include <QRegularExpression>
#include <QSerialPortInfo>
#include <QStringList>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>

namespace platform {

namespace {

QString groupName(gid_t gid) {
    group entry{};
    group* found = nullptr;
    std::array<char, 4096> buffer{};
    if (getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr)
        return QString::number(gid);
    return QString::fromLocal8Bit(found->gr_name);
}

QString descriptionOf(const QSerialPortInfo& info) {
    if (!info.description().isEmpty())
        return info.description();
    if (!info.manufacturer().isEmpty())
        return info.manufacturer();
    return QStringLiteral("-");
}

QString nameColumn(const PortListing& port) {
    const QString com = comNameFor(port.name);
    return com.isEmpty() ? port.name : QStringLiteral("%1 (%2)").arg(port.name, com);
}

QString accessColumn(const PortListing& port) {
    if (port.usable)
        return QStringLiteral("yes");
    if (port.group.isEmpty())
        return QStringLiteral("no");
    return QStringLiteral("no (group %1: sudo adduser $USER %1, then log in again)")
        .arg(port.group);
}

using Row = std::array<QString, 4>;

QString formatRows(const std::vector<Row>& rows) {
    std::array<qsizetype, 3> widths{};
    for (const Row& row : rows)
        for (std::size_t column = 0; column < widths.size(); ++column)
            widths[column] = std::max(widths[column], row[column].size());
    QString text;
    for (const Row& row : rows) {
        for (std::size_t column = 0; column < widths.size(); ++column)
            text += row[column].leftJustified(widths[column] + 2);
        text += row[3] + QLatin1Char('\n');
    }
    return text;
}

} // namespace

PortListing portAccess(const QString& path) {
    PortListing port;
    port.path = path;
    const QByteArray file = path.toLocal8Bit();
    struct stat status {};
    if (::stat(file.constData(), &status) != 0)
        return port;
    port.group = groupName(status.st_gid);
    port.usable = ::access(file.constData(), R_OK | W_OK) == 0;
    return port;
}

std::vector<PortListing> listSerialPorts() {
    std::vector<PortListing> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        PortListing port = portAccess(info.systemLocation());
        port.name = info.portName();
        port.description = descriptionOf(info);
        ports.push_back(port);
    }
    std::sort(ports.begin(), ports.end(), [](const PortListing& a, const PortListing& b) {
        return QString::compare(a.name, b.name) < 0;
    });
    return ports;
}

QString comNameFor(const QString& deviceName) {
    static const QRegularExpression ttyS(QStringLiteral("^ttyS(0|[1-9][0-9]{0,2})$"));
    const auto match = ttyS.match(deviceName);
    // The console reads COM1 to COM999.
    const int number = match.hasMatch() ? match.captured(1).toInt() + 1 : 0;
    if (number < 1 || number > 999)
        return {};
    return QStringLiteral("COM%1").arg(number);
}

QString describeSerialPorts(const std::vector<PortListing>& ports) {
    const QString networkHint = QStringLiteral("A robot behind a serial-to-network server (such as "
                                               "ser2net) is given as tcp://HOST:PORT.\n");
    if (ports.empty())
        return QStringLiteral("No serial ports on this machine.\n") + networkHint;
    std::vector<Row> rows{{QStringLiteral("NAME"), QStringLiteral("DEVICE"),
                           QStringLiteral("DESCRIPTION"), QStringLiteral("MAY OPEN")}};
    for (const PortListing& port : ports)
        rows.push_back({nameColumn(port), port.path, port.description, accessColumn(port)});
    return formatRows(rows) + networkHint;
}

} // namespace platform
