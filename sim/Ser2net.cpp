#include "sim/Ser2net.h"

#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <chrono>
#include <fstream>
#include <stdexcept>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace sim {
namespace {

// A port the kernel just gave out is free for a moment afterwards.
int freePort() {
    const int socketHandle = ::socket(AF_INET, SOCK_STREAM, 0);
    if (socketHandle < 0)
        throw std::runtime_error("no socket for a free port");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    const bool bound =
        ::bind(socketHandle, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(socketHandle, reinterpret_cast<sockaddr*>(&address), &length) == 0;
    ::close(socketHandle);
    if (!bound)
        throw std::runtime_error("no free port on 127.0.0.1");
    return ntohs(address.sin_port);
}

} // namespace

bool Ser2net::installed() {
    return QFileInfo(QString::fromLatin1(program)).isExecutable();
}

Ser2net::Ser2net(std::string device) : device_(std::move(device)), port_(freePort()) {
    std::ofstream(folder_.filePath("ser2net.yaml").toStdString()) << configuration(device_, port_);
}

Ser2net::~Ser2net() {
    stop();
}

std::string Ser2net::configuration(const std::string& device, int port) {
    return "%YAML 1.1\n"
           "---\n"
           "connection: &robot\n"
           "  accepter: tcp,127.0.0.1," +
           std::to_string(port) +
           "\n"
           "  connector: serialdev," +
           device +
           ",9600n81,local\n"
           "  options:\n"
           "    kickolduser: true\n";
}

void Ser2net::start() {
    stop();
    // -n: stay in the foreground; -u: no lock file, which the console takes itself.
    process_.start(QString::fromLatin1(program),
                   {QStringLiteral("-n"), QStringLiteral("-u"), QStringLiteral("-c"),
                    folder_.filePath("ser2net.yaml"), QStringLiteral("-P"),
                    folder_.filePath("ser2net.pid")});
    if (!process_.waitForStarted(5000))
        throw std::runtime_error("ser2net does not start");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!listening()) {
        if (std::chrono::steady_clock::now() > deadline || process_.state() != QProcess::Running)
            throw std::runtime_error("ser2net does not listen on its port");
        QThread::msleep(10);
    }
}

void Ser2net::stop() {
    if (process_.state() == QProcess::NotRunning)
        return;
    process_.terminate();
    if (!process_.waitForFinished(5000)) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}

QString Ser2net::address() const {
    return QStringLiteral("tcp://127.0.0.1:%1").arg(port_);
}

// Read from the kernel's table rather than by connecting, which would open the device.
bool Ser2net::listening() const {
    QFile table(QStringLiteral("/proc/net/tcp"));
    if (!table.open(QIODevice::ReadOnly))
        return false;
    const QByteArray local =
        QStringLiteral("0100007F:%1").arg(port_, 4, 16, QLatin1Char('0')).toUpper().toLatin1();
    for (const QByteArray& line : table.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() > 3 && fields[1] == local && fields[3] == "0A")
            return true;
    }
    return false;
}

} // namespace sim
