#include "GuardedServer.h"

#include <QTcpSocket>

namespace remote {

namespace {

void refuse(QTcpSocket& socket, QByteArrayView statusLine) {
    socket.write("HTTP/1.1 ");
    socket.write(statusLine.data(), statusLine.size());
    socket.write("\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
    socket.disconnectFromHost();
}

} // namespace

GuardedServer::GuardedServer(const Limits& limits, QObject* parent)
    : QTcpServer(parent), limits_(limits) {
    checks_.setInterval(100);
    connect(&checks_, &QTimer::timeout, this, &GuardedServer::check);
}

void GuardedServer::incomingConnection(qintptr descriptor) {
    auto socket = std::make_unique<QTcpSocket>(this);
    if (!socket->setSocketDescriptor(descriptor))
        return;
    QTcpSocket* raw = socket.release();
    if (openConnections() >= limits_.connections) {
        connect(raw, &QTcpSocket::disconnected, raw, &QObject::deleteLater);
        refuse(*raw, "503 Service Unavailable");
        return;
    }
    // Connected before the HTTP server's own handler, so an oversized request is refused
    // before it is parsed.
    connect(raw, &QTcpSocket::readyRead, this, [this, raw] { received(raw); });
    connect(raw, &QTcpSocket::bytesWritten, this,
            [this, raw] { connections_[raw].lastActivity = Clock::now(); });
    connections_.insert(raw, Connection{raw, 0, {}, Clock::now(), false});
    checks_.start();
    addPendingConnection(raw);
}

void GuardedServer::received(QTcpSocket* socket) {
    auto found = connections_.find(socket);
    if (found == connections_.end())
        return;
    const auto now = Clock::now();
    if (found->requestBytes == 0)
        found->firstByte = now;
    found->lastActivity = now;
    found->requestBytes += socket->bytesAvailable();
    if (found->requestBytes > limits_.requestBytes && !found->streaming) {
        // Read here, so the server never sees it.
        socket->readAll();
        disconnect(socket, nullptr, this, nullptr);
        connections_.erase(found);
        refuse(*socket, "431 Request Header Fields Too Large");
    }
}

void GuardedServer::requestTaken(QTcpSocket* socket) {
    auto found = connections_.find(socket);
    if (found != connections_.end())
        found->requestBytes = 0;
}

void GuardedServer::streaming(QTcpSocket* socket) {
    auto found = connections_.find(socket);
    if (found != connections_.end())
        found->streaming = true;
}

int GuardedServer::openConnections() {
    forget();
    return static_cast<int>(connections_.size());
}

void GuardedServer::forget() {
    for (auto it = connections_.begin(); it != connections_.end();) {
        if (it->socket.isNull() || it->socket->state() == QAbstractSocket::UnconnectedState)
            it = connections_.erase(it);
        else
            ++it;
    }
}

void GuardedServer::check() {
    forget();
    const auto now = Clock::now();
    for (auto it = connections_.begin(); it != connections_.end();) {
        QTcpSocket& socket = *it->socket;
        const auto quiet = now - it->lastActivity;
        const bool waiting = socket.bytesToWrite() > 0;
        const bool close = it->streaming          ? waiting && quiet > limits_.stalled
                           : it->requestBytes > 0 ? now - it->firstByte > limits_.slowRequest
                                                  : !waiting && quiet > limits_.idle;
        if (close) {
            socket.abort();
            socket.deleteLater();
            it = connections_.erase(it);
        } else {
            ++it;
        }
    }
    if (connections_.isEmpty())
        checks_.stop();
}

} // namespace remote
