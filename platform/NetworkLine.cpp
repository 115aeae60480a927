#include "platform/NetworkLine.h"

#include <QMetaObject>
#include <QTcpSocket>
#include <QUrl>

#if defined(Q_OS_WIN)
#include <ws2tcpip.h>
#else
#include <netdb.h>
#include <sys/socket.h>
#endif

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

namespace platform {

namespace {

using Clock = std::chrono::steady_clock;

} // namespace

// What a lookup's thread and its line share; the thread keeps it for as long as it runs, so
// a line may go away while its lookup still waits for an answer.
struct NetworkLine::Lookup {
    std::mutex mutex;
    std::condition_variable answered;
    std::optional<std::vector<QHostAddress>> addresses;

    // A lookup that cannot get a thread answers at once that it found nothing.
    static std::shared_ptr<Lookup> start(const QString& host, const Resolver& resolver) {
        auto lookup = std::make_shared<Lookup>();
        try {
            std::thread([lookup, host, resolver] { lookup->give(resolver(host)); }).detach();
        } catch (const std::system_error&) {
            lookup->give({});
        }
        return lookup;
    }

    void give(std::vector<QHostAddress> found) {
        {
            std::lock_guard lock(mutex);
            addresses = std::move(found);
        }
        answered.notify_all();
    }

    std::optional<std::vector<QHostAddress>> answer(Clock::time_point until) {
        std::unique_lock lock(mutex);
        answered.wait_until(lock, until, [this] { return addresses.has_value(); });
        return addresses;
    }
};

std::vector<QHostAddress> NetworkLine::systemResolver(const QString& host) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    if (::getaddrinfo(QUrl::toAce(host).constData(), nullptr, &hints, &list) != 0)
        return {};
    std::vector<QHostAddress> addresses;
    for (const addrinfo* entry = list; entry; entry = entry->ai_next) {
        const QHostAddress address(entry->ai_addr);
        if (!address.isNull() &&
            std::find(addresses.begin(), addresses.end(), address) == addresses.end())
            addresses.push_back(address);
    }
    ::freeaddrinfo(list);
    return addresses;
}

NetworkLine::NetworkLine(Resolver resolver) : resolver_(std::move(resolver)) {}

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
    lookup_.reset();
    untried_.clear();
    nextDue_ = false;
    port_ = address.port;
    watch();
    if (const QHostAddress literal(address.host); !literal.isNull()) {
        untried_.push_back(literal);
        connectNext();
    } else {
        lookup_ = Lookup::start(address.host, resolver_);
    }
}

bool NetworkLine::connecting() {
    if (!socket_ || lost_)
        return false;
    takeAddresses();
    if (nextDue_ && !lost_)
        connectNext();
    return !lost_ && (lookup_ || (socket_->state() != QAbstractSocket::ConnectedState &&
                                  socket_->state() != QAbstractSocket::UnconnectedState));
}

bool NetworkLine::waitUntilConnected(int milliseconds) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    if (lookup_)
        lookup_->answer(deadline);
    while (connecting() && !lookup_) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            break;
        socket_->waitForConnected(static_cast<int>(left.count()));
    }
    return isOpen();
}

// A host the lookup does not know is a line that fails.
void NetworkLine::takeAddresses() {
    if (!lookup_)
        return;
    std::optional<std::vector<QHostAddress>> addresses = lookup_->answer(Clock::now());
    if (!addresses)
        return;
    lookup_.reset();
    untried_ = std::move(*addresses);
    if (untried_.empty())
        lose();
    else
        connectNext();
}

void NetworkLine::connectNext() {
    nextDue_ = false;
    const QHostAddress address = untried_.front();
    untried_.erase(untried_.begin());
    socket_->connectToHost(address, port_);
}

bool NetworkLine::isOpen() const {
    return socket_ && !lost_ && socket_->state() == QAbstractSocket::ConnectedState;
}

// Each command byte goes out on its own, at once, as on a serial line.
void NetworkLine::watch() {
    QObject::connect(socket_.get(), &QTcpSocket::connected, socket_.get(), [this] {
        untried_.clear();
        socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    });
    QObject::connect(socket_.get(), &QTcpSocket::disconnected, socket_.get(), [this] { lose(); });
    // A wait that ends without data reports a time-out, which is no fault of the line. An
    // address that cannot be reached gives way to the host's next one, which the socket
    // takes only once it is back in the event loop or in connecting().
    QObject::connect(socket_.get(), &QTcpSocket::errorOccurred, socket_.get(),
                     [this](QAbstractSocket::SocketError error) {
                         if (error == QAbstractSocket::SocketTimeoutError)
                             return;
                         if (socket_->state() != QAbstractSocket::ConnectedState &&
                             !untried_.empty() && !lost_) {
                             nextDue_ = true;
                             QMetaObject::invokeMethod(
                                 socket_.get(), [this] { connecting(); }, Qt::QueuedConnection);
                             return;
                         }
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
