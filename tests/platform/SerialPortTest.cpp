#include "platform/SerialPort.h"
#include "tests/support/SimulatorFixture.h"

#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <chrono>
#include <thread>

using namespace std::chrono_literals;
using platform::SerialPort;
using Clock = std::chrono::steady_clock;

namespace {

constexpr platform::SerialTimeouts consoleLike{2, 5, 2, 0};

bool waitUntilSent(const sim::Simulator& simulator, std::size_t count) {
    const auto deadline = Clock::now() + 2s;
    while (simulator.sentBytes().size() < count) {
        if (Clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

std::chrono::microseconds threadCpuTime() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return std::chrono::seconds(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           std::chrono::microseconds(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

void runEventLoopFor(std::chrono::milliseconds duration) {
    QEventLoop loop;
    QTimer::singleShot(duration, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

TEST(SerialPortNames, ComNamesPathsAndBareNames) {
    EXPECT_EQ(SerialPort::devicePath("COM1"), "/dev/ttyS0");
    EXPECT_EQ(SerialPort::devicePath("com12"), "/dev/ttyS11");
    EXPECT_EQ(SerialPort::devicePath("/dev/pts/7"), "/dev/pts/7");
    EXPECT_EQ(SerialPort::devicePath("ttyUSB0"), "/dev/ttyUSB0");
    EXPECT_EQ(SerialPort::devicePath("COM0"), "/dev/COM0");
    EXPECT_EQ(SerialPort::devicePath("COM1x"), "/dev/COM1x");
}

TEST(SerialPortNames, MissingDevicesAndOtherFilesDoNotOpen) {
    SerialPort port;
    EXPECT_FALSE(port.open("/dev/marlo-no-such-port"));
    EXPECT_FALSE(port.open("ttyMarloMissing"));
    EXPECT_FALSE(port.open(""));
    EXPECT_FALSE(port.open("/dev/null"));
    EXPECT_FALSE(port.isOpen());
}

TEST(SerialPortNames, AnUnopenedPortFailsEverythingAtOnce) {
    SerialPort port;
    const auto start = Clock::now();
    EXPECT_FALSE(port.setTimeouts(consoleLike));
    EXPECT_FALSE(port.applyLineSettings({}));
    EXPECT_FALSE(port.transmitImmediately('A'));
    EXPECT_TRUE(port.read(9).isEmpty());
    port.purgeInput();
    EXPECT_LT(Clock::now() - start, 20ms);
}

struct SerialPortTest : SimulatorFixture {
    SerialPort port;

    void SetUp() override {
        SimulatorFixture::SetUp();
        simulator->setFault(sim::Fault::silent());
        ASSERT_TRUE(port.open(portPath()));
        ASSERT_TRUE(port.setTimeouts(consoleLike));
    }
};

TEST_F(SerialPortTest, OpensExclusively) {
    SerialPort second;
    EXPECT_FALSE(second.open(portPath()));
    EXPECT_TRUE(port.isOpen());
}

TEST_F(SerialPortTest, AppliesLineSettings) {
    EXPECT_TRUE(port.applyLineSettings(platform::parseMode("9600,n,8,1").settings()));
    // A pseudo-terminal keeps 8 data bits without parity whatever it is told.
    for (const char* mode : {"19200,n,8,2", "115200,n,8,1,x", "4800,n,8,1,p"})
        EXPECT_TRUE(port.applyLineSettings(platform::parseMode(mode).settings())) << mode;
}

TEST_F(SerialPortTest, TransmitsBytesInOrder) {
    for (std::uint8_t byte : {0x41, 0x00, 0xFF, 0x80})
        EXPECT_TRUE(port.transmitImmediately(byte));
    ASSERT_TRUE(simulator->waitForBytes(4, 2s));
    EXPECT_EQ(simulator->receivedValues(), (std::vector<std::uint8_t>{0x41, 0x00, 0xFF, 0x80}));
}

TEST_F(SerialPortTest, ReadReturnsWhatArrivedWithinTheTimeout) {
    simulator->sendRaw({'T', '0', '1'});
    ASSERT_TRUE(waitUntilSent(*simulator, 3));
    EXPECT_EQ(port.read(2), QByteArray("T0"));
    EXPECT_EQ(port.read(9), QByteArray("1"));
    EXPECT_TRUE(port.read(1).isEmpty());
}

TEST_F(SerialPortTest, ReadEndsAsSoonAsAllBytesAreThere) {
    port.setTimeouts({0, 5000, 0, 0});
    simulator->sendRaw({'x', 'y'});
    const auto start = Clock::now();
    EXPECT_EQ(port.read(2), QByteArray("xy"));
    EXPECT_LT(Clock::now() - start, 2s);
}

TEST_F(SerialPortTest, PurgeDiscardsReceivedInput) {
    simulator->sendRaw({'s', 't', 'r', 'a', 'y'});
    ASSERT_TRUE(waitUntilSent(*simulator, 5));
    std::this_thread::sleep_for(20ms);
    port.purgeInput();
    EXPECT_TRUE(port.read(5).isEmpty());
}

TEST_F(SerialPortTest, StrayInputIsHeldOnlyUpToTheReceiveBuffer) {
    port.setTimeouts({});
    simulator->sendRaw(std::vector<std::uint8_t>(256 * 1024, 'z'));
    // Whatever the line delivers while nothing reads it.
    runEventLoopFor(300ms);
    const QByteArray held = port.read(1024 * 1024);
    EXPECT_GT(held.size(), 0);
    EXPECT_LE(held.size(), SerialPort::receiveBufferBytes);
}

TEST_F(SerialPortTest, InputFromBeforeTheOpenIsDropped) {
    simulator->sendRaw({'o', 'l', 'd'});
    ASSERT_TRUE(waitUntilSent(*simulator, 3));
    std::this_thread::sleep_for(20ms);
    ASSERT_TRUE(port.open(portPath()));
    port.setTimeouts(consoleLike);
    EXPECT_TRUE(port.read(3).isEmpty());
}

TEST_F(SerialPortTest, HangUpClosesThePortWithoutSpinning) {
    simulator->closeLine();
    // Whichever notices first: the event loop or an operation.
    runEventLoopFor(50ms);
    port.read(1);
    EXPECT_TRUE(port.hungUp());
    EXPECT_FALSE(port.isOpen());

    const auto cpuBefore = threadCpuTime();
    runEventLoopFor(1s);
    EXPECT_LT(threadCpuTime() - cpuBefore, 100ms);

    const auto start = Clock::now();
    EXPECT_FALSE(port.transmitImmediately('P'));
    EXPECT_TRUE(port.read(9).isEmpty());
    port.purgeInput();
    EXPECT_LT(Clock::now() - start, 20ms);
}

TEST_F(SerialPortTest, HangUpIsNoticedByTheEventLoopAlone) {
    simulator->closeLine();
    const auto cpuBefore = threadCpuTime();
    runEventLoopFor(1s);
    EXPECT_LT(threadCpuTime() - cpuBefore, 100ms);
    EXPECT_TRUE(port.hungUp());
}
