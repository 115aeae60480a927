#pragma once

#include "Limits.h"

#include <QHash>
#include <QPointer>
#include <QTcpServer>
#include <QTimer>

#include <chrono>

class QTcpSocket;

namespace remote {

// The listening socket of the remote view, which Qt's HTTP server is bound to: it keeps the
// connection limit, the request size cap and the time-outs that the server itself lacks.
// A request over the cap is answered 431 before the server reads it; a connection past
// the limit gets 503; an idle, slow or stalled one is closed.
class GuardedServer final : public QTcpServer {
    Q_OBJECT
public:
    using Clock = std::chrono::steady_clock;

    GuardedServer(const Limits& limits, QObject* parent);

    // The server took a whole request from `socket`: the next one is counted afresh.
    void requestTaken(QTcpSocket* socket);
    // `socket` now carries a stream: it waits for its viewer to read, never for a request.
    void streaming(QTcpSocket* socket);
    // Connections open now.
    int openConnections();

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    struct Connection {
        QPointer<QTcpSocket> socket;
        qint64 requestBytes = 0;
        Clock::time_point firstByte{};
        Clock::time_point lastActivity{};
        bool streaming = false;
    };

    void received(QTcpSocket* socket);
    void check();
    void forget();

    const Limits limits_;
    QHash<QTcpSocket*, Connection> connections_;
    QTimer checks_;
};

} // namespace remote
