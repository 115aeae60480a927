#pragma once

#include "platform/SerialPort.h"

#include <QHostAddress>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

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
// A host name is looked up on a thread of its own that nobody waits for: a name server that
// never answers holds neither the caller nor the end of the program.
class NetworkLine final : public SerialLine {
public:
    // Answers a host name with its addresses, in the order to try them; none when unknown.
    // Runs on the lookup's own thread and may take as long as it likes.
    using Resolver = std::function<std::vector<QHostAddress>(const QString& host)>;
    // The operating system's resolver.
    static std::vector<QHostAddress> systemResolver(const QString& host);

    explicit NetworkLine(Resolver resolver = systemResolver);
    ~NetworkLine() override;
    NetworkLine(const NetworkLine&) = delete;
    NetworkLine& operator=(const NetworkLine&) = delete;

    // Whether the port name asks for the network ("tcp://..."), and the address it names:
    // "tcp://HOST:PORT" with a port 1 to 65535; an IPv6 host goes in brackets.
    static bool isNetworkName(const QString& name);
    static std::optional<NetworkAddress> parseAddress(const QString& name);

    // Starts connecting; the line is open once connected.
    void connectTo(const NetworkAddress& address);
    // Still trying to connect: neither open nor failed. Takes the host's addresses once the
    // lookup has them and starts connecting to them, one after the other.
    bool connecting();
    // Still waiting for the host name's addresses.
    bool lookingUp() const { return lookup_ != nullptr; }
    // Waits for the lookup and the connection at most this long; true once it is open.
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
    struct Lookup;
    void watch();
    void lose();
    void takeAddresses();
    void connectNext();

    Resolver resolver_;
    std::shared_ptr<Lookup> lookup_;
    // Addresses not tried yet, and whether the last one failed and the next is due.
    std::vector<QHostAddress> untried_;
    bool nextDue_ = false;
    quint16 port_ = 0;
    std::unique_ptr<QTcpSocket> socket_;
    SerialTimeouts timeouts_;
    bool lost_ = false;
    HangUpHandler hangUpHandler_;
};

} // namespace platform
