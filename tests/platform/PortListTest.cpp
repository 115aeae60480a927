#include "platform/PortList.h"
#include "platform/SerialPort.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

using platform::PortListing;

TEST(PortListTest, ComNamesAreTheOnesTheConsoleOpens) {
    const std::pair<const char*, const char*> named[] = {
        {"ttyS0", "COM1"}, {"ttyS1", "COM2"}, {"ttyS998", "COM999"}};
    for (const auto& [device, com] : named) {
        EXPECT_EQ(platform::comNameFor(device).toStdString(), com);
        EXPECT_EQ(platform::SerialPort::devicePath(com).toStdString(),
                  std::string("/dev/") + device);
    }
    for (const char* device : {"ttyS999", "ttyS01", "ttyUSB0", "ttyACM0", "ttyS", "xttyS0"})
        EXPECT_TRUE(platform::comNameFor(device).isEmpty()) << device;
}

TEST(PortListTest, NoPortsIsSaidPlainly) {
    EXPECT_EQ(platform::describeSerialPorts({}).toStdString(),
              "No serial ports on this machine.\n"
              "A robot behind a serial-to-network server (such as ser2net) is given as "
              "tcp://HOST:PORT.\n");
}

TEST(PortListTest, EachPortOnOneAlignedLineWithWhatToDoWhenItMayNotBeOpened) {
    const std::vector<PortListing> ports{
        {"ttyS0", "/dev/ttyS0", "-", true, "dialout"},
        {"ttyUSB0", "/dev/ttyUSB0", "FT232R USB UART", false, "dialout"},
        {"ttyACM0", "/dev/ttyACM0", "Robot", false, ""},
    };
    const QStringList lines = platform::describeSerialPorts(ports).split('\n');
    ASSERT_EQ(lines.size(), 6);
    EXPECT_TRUE(lines[4].contains("tcp://HOST:PORT")) << "network ports are named too";
    EXPECT_TRUE(lines[5].isEmpty());
    EXPECT_TRUE(lines[0].startsWith("NAME")) << lines[0].toStdString();
    const qsizetype deviceColumn = lines[0].indexOf("DEVICE");
    const qsizetype accessColumn = lines[0].indexOf("MAY OPEN");
    EXPECT_EQ(lines[1].indexOf("/dev/ttyS0"), deviceColumn);
    EXPECT_EQ(lines[2].indexOf("/dev/ttyUSB0"), deviceColumn);
    EXPECT_TRUE(lines[1].startsWith("ttyS0 (COM1)"));
    EXPECT_EQ(lines[1].mid(accessColumn).toStdString(), "yes");
    EXPECT_EQ(lines[2].mid(accessColumn).toStdString(),
              "no (group dialout: sudo adduser $USER dialout, then log in again)");
    EXPECT_EQ(lines[3].mid(accessColumn).toStdString(), "no");
    EXPECT_NE(lines[2].indexOf("FT232R USB UART"), -1);
}

TEST(PortListTest, AccessFollowsTheDeviceFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("ttyFake");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    const PortListing present = platform::portAccess(path);
    EXPECT_TRUE(present.usable);
    EXPECT_FALSE(present.group.isEmpty());
    EXPECT_EQ(present.path, path);

    const PortListing missing = platform::portAccess(dir.filePath("gone"));
    EXPECT_FALSE(missing.usable);
    EXPECT_TRUE(missing.group.isEmpty());
}

} // namespace
