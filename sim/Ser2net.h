#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <string>

namespace sim {

// Debian's ser2net serving one serial device as a raw TCP port on 127.0.0.1, with a
// configuration of its own, for tests and benchmarks of a robot behind the network.
class Ser2net {
public:
    static constexpr const char* program = "/usr/sbin/ser2net";
    static bool installed();

    // Picks a free port; start() begins serving. Throws std::runtime_error on failure.
    explicit Ser2net(std::string device);
    ~Ser2net();
    Ser2net(const Ser2net&) = delete;
    Ser2net& operator=(const Ser2net&) = delete;

    // Returns once the port listens; throws when ser2net does not come up within 5 s.
    void start();
    // Ends ser2net and with it any connection it serves.
    void stop();

    int port() const { return port_; }
    // The console's "Puerto Comm" for it.
    QString address() const;
    // The configuration ser2net runs with.
    static std::string configuration(const std::string& device, int port);

private:
    bool listening() const;

    std::string device_;
    int port_ = 0;
    QTemporaryDir folder_;
    QProcess process_;
};

} // namespace sim
