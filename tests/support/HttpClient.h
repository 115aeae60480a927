#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QString>
#include <QTcpSocket>
#include <QTest>

namespace testing_support {

inline constexpr int kDeadline = 10000;

// One connection to the view, read through the event loop the view runs on.
class Client {
public:
    explicit Client(quint16 port) {
        QObject::connect(&socket_, &QTcpSocket::readyRead, [this] { bytes_ += socket_.readAll(); });
        socket_.connectToHost(QHostAddress::LocalHost, port);
    }
    bool connected() {
        return QTest::qWaitFor([&] { return socket_.state() == QAbstractSocket::ConnectedState; },
                               kDeadline);
    }
    void send(const QByteArray& bytes) { socket_.write(bytes); }
    void get(const QString& target, const QByteArray& extra = {}) {
        send("GET " + target.toUtf8() + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + extra + "\r\n");
    }
    // The status of the first answer once it arrived whole; 0 when none came.
    int status() {
        static_cast<void>(QTest::qWaitFor([&] { return whole() || closed(); }, kDeadline));
        return whole() ? bytes_.mid(9, 3).toInt() : 0;
    }
    QByteArray body() {
        const auto end = bytes_.indexOf("\r\n\r\n");
        return end < 0 ? QByteArray() : bytes_.mid(end + 4);
    }
    bool closed() const { return socket_.state() == QAbstractSocket::UnconnectedState; }
    bool waitClosed() {
        return QTest::qWaitFor([&] { return closed(); }, kDeadline);
    }
    int frames() const { return static_cast<int>(bytes_.count("--marloframe\r\n")); }
    QTcpSocket& socket() { return socket_; }

private:
    bool whole() const {
        const auto end = bytes_.indexOf("\r\n\r\n");
        if (!bytes_.startsWith("HTTP/1.1 ") || end < 0)
            return false;
        const auto at = bytes_.toLower().indexOf("content-length: ");
        if (at < 0 || at > end)
            return true;
        const qsizetype length =
            bytes_.mid(at + 16, bytes_.indexOf("\r\n", at) - at - 16).toLongLong();
        return bytes_.size() >= end + 4 + length;
    }

    QTcpSocket socket_;
    QByteArray bytes_;
};

} // namespace testing_support
