#pragma once

#include "platform/SerialPort.h"

#include <QString>

#include <memory>
#include <optional>

class QTcpSocket;

namespace platform {

// Where a robot behind a serial-to-network server (such as ser2net) listens.
struct NetworkAddress {
    QString host;
    quint16 port = 0;

    bool operator==(const NetworkAddress&) const = default;
};

// A robot's line over a raw TCP connection. The line settings are the server's business;
// everything else behaves as on a serial port, with the same time-outs. A connection that
// drops, is reset or stalls on a write is lost for good: a new line is made to reconnect.
class NetworkLine final : public SerialLine {
public:
    NetworkLine();
    ~NetworkLine() override;
    NetworkLine(const NetworkLine&) = delete;
    NetworkLine& operator=(const NetworkLine&) = delete;

    // Whether the port name asks for the network ("tcp://..."), and the address it names:
    // "tcp://HOST:PORT" with a port 1 to 65535; an IPv6 host goes in brackets.
    static bool isNetworkName(const QString& name);
    static std::optional<NetworkAddress> parseAddress(const QString& name);

    // Starts connecting; the line is open once connected.
    void connectTo(const NetworkAddress& address);
    // Still trying to connect: neither open nor failed.
    bool connecting() const;
    // Waits for the connection at most this long; true once it is open.
    bool waitUntilConnected(int milliseconds);

    void setTimeouts(const SerialTimeouts& timeouts) { timeouts_ = timeouts; }
    const SerialTimeouts& timeouts() const { return timeouts_; }

    bool isOpen() const override;
    void setHangUpHandler(HangUpHandler handler) override { hangUpHandler_ = std::move(handler); }
    bool hasInput() override;
    QByteArray readAvailable() override;
    bool transmitImmediately(std::uint8_t byte) override;
    QByteArray read(int maxBytes) override;
    void purgeInput() override;

private:
    void watch();
    void lose();

    std::unique_ptr<QTcpSocket> socket_;
    SerialTimeouts timeouts_;
    bool lost_ = false;
    HangUpHandler hangUpHandler_;
};

} // namespace platform
