#include "platform/NetworkLine.h"

#include <QMetaObject>
#include <QTcpSocket>
#include <QUrl>

namespace platform {

NetworkLine::NetworkLine() = default;

NetworkLine::~NetworkLine() = default;

bool NetworkLine::isNetworkName(const QString& name) {
    return name.startsWith(QStringLiteral("tcp://"), Qt::CaseInsensitive);
}

std::optional<NetworkAddress> NetworkLine::parseAddress(const QString& name) {
    if (!isNetworkName(name))
        return std::nullopt;
    const QUrl url(name, QUrl::StrictMode);
    const int port = url.port();
    if (!url.isValid() || url.host().isEmpty() || port < 1 || port > 65535 ||
        !url.userInfo().isEmpty() || !url.path().isEmpty() || url.hasQuery() || url.hasFragment())
        return std::nullopt;
    return NetworkAddress{url.host(), static_cast<quint16>(port)};
}

void NetworkLine::connectTo(const NetworkAddress& address) {
    socket_ = std::make_unique<QTcpSocket>();
    socket_->setReadBufferSize(receiveBufferBytes);
    lost_ = false;
    watch();
    socket_->connectToHost(address.host, address.port);
}

bool NetworkLine::connecting() const {
    return socket_ && !lost_ && socket_->state() != QAbstractSocket::ConnectedState &&
           socket_->state() != QAbstractSocket::UnconnectedState;
}

bool NetworkLine::waitUntilConnected(int milliseconds) {
    if (connecting())
        socket_->waitForConnected(milliseconds);
    return isOpen();
}

bool NetworkLine::isOpen() const {
    return socket_ && !lost_ && socket_->state() == QAbstractSocket::ConnectedState;
}

// Each command byte goes out on its own, at once, as on a serial line.
void NetworkLine::watch() {
    QObject::connect(
        socket_.get(), &QTcpSocket::connected, socket_.get(),
        [socket = socket_.get()] { socket->setSocketOption(QAbstractSocket::LowDelayOption, 1); });
    QObject::connect(socket_.get(), &QTcpSocket::disconnected, socket_.get(), [this] { lose(); });
    // A wait that ends without data reports a time-out, which is no fault of the line.
    QObject::connect(socket_.get(), &QTcpSocket::errorOccurred, socket_.get(),
                     [this](QAbstractSocket::SocketError error) {
                         if (error != QAbstractSocket::SocketTimeoutError)
                             lose();
                     });
}

// The socket is closed later, since the news comes from inside its own signals.
void NetworkLine::lose() {
    if (lost_)
        return;
    lost_ = true;
    QMetaObject::invokeMethod(
        socket_.get(), [socket = socket_.get()] { socket->abort(); }, Qt::QueuedConnection);
    if (hangUpHandler_)
        hangUpHandler_();
}

bool NetworkLine::hasInput() {
    return isOpen() && inputWaiting(*socket_, [this] { return isOpen(); });
}

// A byte that cannot leave within the write time-out would go out later, behind newer
// commands; the connection is given up instead.
bool NetworkLine::transmitImmediately(std::uint8_t byte) {
    if (!isOpen())
        return false;
    const char data = static_cast<char>(byte);
    if (socket_->write(&data, 1) != 1)
        return false;
    socket_->flush();
    if (isOpen() && socket_->bytesToWrite() > 0)
        socket_->waitForBytesWritten(timeouts_.writePerByteMs + timeouts_.writeConstantMs);
    if (isOpen() && socket_->bytesToWrite() > 0)
        lose();
    return isOpen();
}

QByteArray NetworkLine::read(int maxBytes) {
    if (!isOpen() || maxBytes <= 0)
        return {};
    return readWithin(*socket_, maxBytes, timeouts_, [this] { return isOpen(); });
}

QByteArray NetworkLine::readAvailable() {
    return hasInput() ? socket_->readAll() : QByteArray();
}

// Takes at most one receive bound's worth: what a flooding peer still sends stays behind.
void NetworkLine::purgeInput() {
    if (!isOpen())
        return;
    socket_->waitForReadyRead(0);
    socket_->readAll();
}

} // namespace platform
