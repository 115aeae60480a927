#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace video_test {

// A listening socket on 127.0.0.1: the kernel completes every connection, nobody ever
// answers a byte, as a camera server that hangs after the handshake.
class StalledServer {
public:
    StalledServer() : socket_(::socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (socket_ >= 0 && ::bind(socket_, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
            ::listen(socket_, 16) == 0 &&
            ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &size) == 0)
            port_ = ntohs(address.sin_port);
    }
    ~StalledServer() {
        if (socket_ >= 0)
            ::close(socket_);
    }
    StalledServer(const StalledServer&) = delete;
    StalledServer& operator=(const StalledServer&) = delete;

    int port() const { return port_; }
    QString address() const { return QStringLiteral("http://127.0.0.1:%1/live").arg(port_); }

private:
    int socket_;
    int port_ = 0;
};

// A live Motion-JPEG stream over HTTP, served by ffmpeg on a fixed port; stop() ends it
// as a camera server that goes away, start() brings it back on the same address.
class LiveStream {
public:
    // A port that was free on 127.0.0.1 a moment before.
    LiveStream() : port_(StalledServer().port()) {}
    ~LiveStream() { stop(); }
    LiveStream(const LiveStream&) = delete;
    LiveStream& operator=(const LiveStream&) = delete;

    bool start() {
        ffmpeg_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        ffmpeg_.start(QStringLiteral("ffmpeg"),
                      {"-nostdin", "-loglevel", "error", "-re", "-f", "lavfi", "-i",
                       "testsrc=size=320x240:rate=25", "-f", "mpjpeg", "-q:v", "5", "-listen", "1",
                       address()});
        return ffmpeg_.waitForStarted(10000);
    }
    void stop() {
        if (ffmpeg_.state() == QProcess::NotRunning)
            return;
        ffmpeg_.kill();
        ffmpeg_.waitForFinished(10000);
    }
    QString address() const { return QStringLiteral("http://127.0.0.1:%1/live").arg(port_); }

private:
    int port_;
    QProcess ffmpeg_;
};

} // namespace video_test
