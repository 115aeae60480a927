#pragma once

#include "platform/SerialMode.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

class QIODevice;
class QSerialPort;

namespace platform {

// Waits of a port: a read of n bytes waits at most readPerByteMs * n + readConstantMs,
// a write of n bytes at most writePerByteMs * n + writeConstantMs. Zero means no wait.
struct SerialTimeouts {
    int readPerByteMs = 0;
    int readConstantMs = 0;
    int writePerByteMs = 0;
    int writeConstantMs = 0;

    bool operator==(const SerialTimeouts&) const = default;
};

// Reads up to maxBytes from the device: as soon as that many arrived, or what arrived by
// the read time-out for that many, or sooner once stillOpen says the line is gone.
QByteArray readWithin(QIODevice& device, int maxBytes, const SerialTimeouts& timeouts,
                      const std::function<bool()>& stillOpen);
// Whether received bytes wait for reading: those already held, else one look at the system
// that never waits.
bool inputWaiting(QIODevice& device, const std::function<bool()>& stillOpen);

// What the robot link does with its line. Every operation on a line that is not open
// fails at once and quietly.
class SerialLine {
public:
    using HangUpHandler = std::function<void()>;

    // Received bytes a line holds for reading at most; the robot's answers are one byte or a
    // 36-byte text, so anything beyond is stray input that would be purged anyway. The rest
    // waits in the system (a serial driver drops it, a network peer is held back), so a robot
    // that floods the line costs the console no memory.
    static constexpr qint64 receiveBufferBytes = 4096;

    virtual ~SerialLine() = default;

    // False once the line cannot carry bytes: never opened, hung up, or failed.
    virtual bool isOpen() const = 0;
    // Called once when the line is lost, also while nobody is using it.
    virtual void setHangUpHandler(HangUpHandler handler) = 0;
    // Whether received bytes wait to be read; never waits.
    virtual bool hasInput() = 0;
    // Takes what has arrived so far; never waits.
    virtual QByteArray readAvailable() = 0;

    // Sends one byte at once, before anything still queued for output.
    virtual bool transmitImmediately(std::uint8_t byte) = 0;
    // Returns up to maxBytes bytes: as soon as that many arrived, or what arrived
    // by the read time-out.
    virtual QByteArray read(int maxBytes) = 0;
    // Discards everything received and not yet read.
    virtual void purgeInput() = 0;
};

// A serial device opened exclusively. A default-constructed port, one whose open failed
// and one whose peer hung up are not open.
class SerialPort final : public SerialLine {
public:
    SerialPort();
    ~SerialPort() override;
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // "COMn" names the n-th serial port (/dev/ttyS(n-1) on Linux), a path is used as it
    // is and any other name is a device under /dev.
    static QString devicePath(const QString& name);

    // Opens an existing device for reading and writing, shared with nobody, and drops
    // input left over from before. A symbolic link (such as /dev/serial/by-id/...) is
    // followed at each open, so a re-plugged adapter is found under its new device.
    bool open(const QString& name);
    // Whether the last open failed because another program holds the device (its lock
    // file or an exclusive open), although this user may open it.
    bool heldByOther() const { return heldByOther_; }
    bool isOpen() const override;
    void setHangUpHandler(HangUpHandler handler) override { hangUpHandler_ = std::move(handler); }
    bool hasInput() override;
    QByteArray readAvailable() override;
    // True once the peer hung up; the port is then closed for good.
    bool hungUp() const { return hungUp_; }

    bool setTimeouts(const SerialTimeouts& timeouts);
    const SerialTimeouts& timeouts() const { return timeouts_; }
    bool applyLineSettings(const LineSettings& settings);

    bool transmitImmediately(std::uint8_t byte) override;
    QByteArray read(int maxBytes) override;
    void purgeInput() override;

private:
    void watchForHangUp();
    void hangUp();

    std::unique_ptr<QSerialPort> port_;
    SerialTimeouts timeouts_;
    bool hungUp_ = false;
    bool heldByOther_ = false;
    HangUpHandler hangUpHandler_;
};

} // namespace platform
