#pragma once

#include <QString>

#include <vector>

namespace platform {

// One serial port of this machine, as the operator needs it to fill in "Puerto".
struct PortListing {
    QString name;
    QString path;
    QString description;
    // The current user may open it for reading and writing.
    bool usable = false;
    // Group owning the device (such as dialout), empty when unknown.
    QString group;
};

// Serial ports the system knows of, in name order.
std::vector<PortListing> listSerialPorts();

// Whether the current user may open the device for reading and writing, and its group.
PortListing portAccess(const QString& path);

// The "COMn" name the console accepts for /dev/ttyS(n-1); empty for any other device.
QString comNameFor(const QString& deviceName);

// The listing as plain text, one port a line, or a plain sentence when there is none.
QString describeSerialPorts(const std::vector<PortListing>& ports);

} // namespace platform
