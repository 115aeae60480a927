#include "platform/SerialPort.h"

#include <QFileInfo>
#include <QMetaObject>
#include <QRegularExpression>
#include <QSerialPort>

#include <algorithm>
#include <chrono>

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

QSerialPort::Parity toQt(Parity parity) {
    switch (parity) {
    case Parity::None:
        return QSerialPort::NoParity;
    case Parity::Even:
        return QSerialPort::EvenParity;
    case Parity::Odd:
        return QSerialPort::OddParity;
    case Parity::Mark:
        return QSerialPort::MarkParity;
    case Parity::Space:
        return QSerialPort::SpaceParity;
    }
    return QSerialPort::NoParity;
}

QSerialPort::StopBits toQt(StopBits stopBits) {
    switch (stopBits) {
    case StopBits::One:
        return QSerialPort::OneStop;
    case StopBits::OneAndHalf:
        return QSerialPort::OneAndHalfStop;
    case StopBits::Two:
        return QSerialPort::TwoStop;
    }
    return QSerialPort::OneStop;
}

QSerialPort::FlowControl toQt(FlowControl flowControl) {
    switch (flowControl) {
    case FlowControl::None:
        return QSerialPort::NoFlowControl;
    case FlowControl::Software:
        return QSerialPort::SoftwareControl;
    case FlowControl::Hardware:
        return QSerialPort::HardwareControl;
    }
    return QSerialPort::NoFlowControl;
}

bool applySignal(SignalLevel level, bool (QSerialPort::*setter)(bool), QSerialPort& port) {
    if (level == SignalLevel::Unchanged)
        return true;
    return (port.*setter)(level == SignalLevel::On);
}

int millisecondsUntil(Clock::time_point deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    return static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
}

bool meansHangUp(QSerialPort::SerialPortError error) {
    return error == QSerialPort::ReadError || error == QSerialPort::WriteError ||
           error == QSerialPort::ResourceError;
}

} // namespace

QByteArray readWithin(QIODevice& device, int maxBytes, const SerialTimeouts& timeouts,
                      const std::function<bool()>& stillOpen) {
    QByteArray data;
    const auto deadline =
        Clock::now() +
        std::chrono::milliseconds(timeouts.readPerByteMs * maxBytes + timeouts.readConstantMs);
    for (;;) {
        data += device.read(maxBytes - data.size());
        if (data.size() >= maxBytes || !stillOpen())
            return data;
        const int wait = millisecondsUntil(deadline);
        if (wait == 0)
            return data;
        device.waitForReadyRead(wait);
    }
}

bool inputWaiting(QIODevice& device, const std::function<bool()>& stillOpen) {
    if (device.bytesAvailable() == 0)
        device.waitForReadyRead(0);
    return stillOpen() && device.bytesAvailable() > 0;
}

SerialPort::SerialPort() = default;

SerialPort::~SerialPort() = default;

QString SerialPort::devicePath(const QString& name) {
#if defined(Q_OS_WIN)
    return name;
#else
    static const QRegularExpression comName(QStringLiteral("^[Cc][Oo][Mm]([1-9][0-9]{0,2})$"));
    if (const auto match = comName.match(name); match.hasMatch())
        return QStringLiteral("/dev/ttyS%1").arg(match.captured(1).toInt() - 1);
    if (name.contains(QLatin1Char('/')))
        return name;
    return QStringLiteral("/dev/") + name;
#endif
}

bool SerialPort::open(const QString& name) {
    port_.reset();
    hungUp_ = false;
    heldByOther_ = false;
    if (name.isEmpty())
        return false;
    const QString path = devicePath(name);
    const QString device = QFileInfo(path).canonicalFilePath();
    // A device that is not there fails at once, before the lock file an open writes first:
    // a lost robot's port is tried every second.
    if (device.isEmpty())
        return false;
    auto port = std::make_unique<QSerialPort>();
    port->setPortName(device);
    port->setReadBufferSize(receiveBufferBytes);
    if (!port->open(QIODevice::ReadWrite)) {
        // Qt reports a lock held by another program and a busy device as a permission error,
        // as it does a device this user may not open.
        const QFileInfo info(device);
        heldByOther_ =
            port->error() == QSerialPort::PermissionError && info.isReadable() && info.isWritable();
        return false;
    }
    port_ = std::move(port);
    // A device can hold bytes from before the open.
    port_->clear(QSerialPort::Input);
    watchForHangUp();
    return true;
}

bool SerialPort::isOpen() const {
    return port_ && !hungUp_ && port_->isOpen();
}

bool SerialPort::setTimeouts(const SerialTimeouts& timeouts) {
    if (!isOpen())
        return false;
    timeouts_ = timeouts;
    return true;
}

bool SerialPort::applyLineSettings(const LineSettings& settings) {
    if (!isOpen())
        return false;
    bool ok = port_->setBaudRate(settings.baudRate);
    ok = port_->setParity(toQt(settings.parity)) && ok;
    ok = port_->setDataBits(static_cast<QSerialPort::DataBits>(settings.dataBits)) && ok;
    ok = port_->setStopBits(toQt(settings.stopBits)) && ok;
    ok = port_->setFlowControl(toQt(settings.flowControl)) && ok;
    ok = applySignal(settings.dataTerminalReady, &QSerialPort::setDataTerminalReady, *port_) && ok;
    if (settings.flowControl != FlowControl::Hardware)
        ok = applySignal(settings.requestToSend, &QSerialPort::setRequestToSend, *port_) && ok;
    return ok;
}

bool SerialPort::transmitImmediately(std::uint8_t byte) {
    if (!isOpen())
        return false;
    const char data = static_cast<char>(byte);
    if (port_->write(&data, 1) != 1)
        return false;
    port_->flush();
    if (isOpen() && port_->bytesToWrite() > 0)
        port_->waitForBytesWritten(timeouts_.writePerByteMs + timeouts_.writeConstantMs);
    if (!isOpen())
        return false;
    if (port_->bytesToWrite() > 0) {
        // Never let a byte that missed its time-out go out later, behind newer commands.
        port_->clear(QSerialPort::Output);
        return false;
    }
    return true;
}

QByteArray SerialPort::read(int maxBytes) {
    if (!isOpen() || maxBytes <= 0)
        return {};
    return readWithin(*port_, maxBytes, timeouts_, [this] { return isOpen(); });
}

bool SerialPort::hasInput() {
    return isOpen() && inputWaiting(*port_, [this] { return isOpen(); });
}

QByteArray SerialPort::readAvailable() {
    return hasInput() ? port_->readAll() : QByteArray();
}

void SerialPort::purgeInput() {
    if (isOpen())
        port_->clear(QSerialPort::Input);
}

void SerialPort::watchForHangUp() {
    QObject::connect(port_.get(), &QSerialPort::errorOccurred, port_.get(),
                     [this](QSerialPort::SerialPortError error) {
                         if (meansHangUp(error) && !hungUp_)
                             hangUp();
                     });
}

// A hung-up device keeps reporting itself readable; closing it stops the watching. The
// close is queued because the error arrives from inside the port's own notifier.
void SerialPort::hangUp() {
    hungUp_ = true;
    QMetaObject::invokeMethod(
        port_.get(), [port = port_.get()] { port->close(); }, Qt::QueuedConnection);
    if (hangUpHandler_)
        hangUpHandler_();
}

} // namespace platform
