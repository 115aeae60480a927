#include "app/CommandLine.h"
#include "app/Main.h"
#include "app/RemoteAddress.h"
#include "tests/support/HttpClient.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempSettings.h"
#include "tests/support/WorkingFolder.h"
#include "ui_Main.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QTest>

#include <gtest/gtest.h>

using testing_support::Client;
using testing_support::kDeadline;

namespace {

std::vector<std::uint8_t> grayFrame() {
    return std::vector<std::uint8_t>(video::frameBytes, 90);
}

quint16 freePort() {
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
}

} // namespace

TEST(RemoteAddressTest, PortAndOptionalAddressAreRead) {
    struct Case {
        const char* text;
        std::optional<RemoteAddress> read;
    };
    const Case cases[] = {
        {"8080", RemoteAddress{QHostAddress::Any, 8080}},
        {"1", RemoteAddress{QHostAddress::Any, 1}},
        {"65535", RemoteAddress{QHostAddress::Any, 65535}},
        {"127.0.0.1:9000", RemoteAddress{QHostAddress("127.0.0.1"), 9000}},
        {"[::1]:9000", RemoteAddress{QHostAddress("::1"), 9000}},
        {":9000", RemoteAddress{QHostAddress::Any, 9000}},
        {"0", std::nullopt},
        {"65536", std::nullopt},
        {"-1", std::nullopt},
        {"+80", std::nullopt},
        {"", std::nullopt},
        {"web", std::nullopt},
        {"127.0.0.1", std::nullopt},
        {"1.2.3.4.5:80", std::nullopt},
        {"::1:80", std::nullopt},
        {"nombre.local:80", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseRemoteAddress(QString::fromLatin1(c.text)), c.read) << c.text;
}

TEST(RemoteAddressTest, CommandLineCarriesTheAddress) {
    EXPECT_FALSE(parseCommandLine({"marlo-consola"}).remoteView.has_value());
    EXPECT_EQ(parseCommandLine({"marlo-consola", "--remote-view", "127.0.0.1:9000"}).remoteView,
              (RemoteAddress{QHostAddress("127.0.0.1"), 9000}));
}

TEST(RemoteAddressTest, StoredPortIsRememberedWithinItsBounds) {
    testing_support::TempSettings settings;
    EXPECT_EQ(storedRemotePort(), 8080);
    rememberRemotePort(9001);
    EXPECT_EQ(storedRemotePort(), 9001);
    struct Case {
        QVariant stored;
        quint16 read;
    };
    for (const Case& c :
         {Case{65535, 65535}, Case{1, 1}, Case{65536, 8080}, Case{0, 8080}, Case{"ocho", 8080}}) {
        settings.store(settings::kRemotePort, c.stored);
        EXPECT_EQ(storedRemotePort(), c.read) << c.stored.toString().toStdString();
    }
}

struct RemoteViewWindow : ::testing::Test {
    testing_support::MissingPortSettings settings;
    testing_support::ScriptedDialogs dialogs;
    testing_support::WorkingFolder folder;
    std::unique_ptr<TForm1> form = std::make_unique<TForm1>();
};

TEST_F(RemoteViewWindow, OffUntilSwitchedOnThenServesTheProcessedPictureAtTheStoredPort) {
    EXPECT_FALSE(form->remoteView().isOn());
    const quint16 port = freePort();
    ASSERT_NE(port, 0);
    settings.store(settings::kRemotePort, port);
    form->RemoteViewClick();
    ASSERT_TRUE(form->remoteView().isOn());
    const QString url = form->remoteView().url();
    EXPECT_TRUE(url.startsWith("http://")) << url.toStdString();
    EXPECT_TRUE(url.contains(QStringLiteral(":%1/?code=").arg(port))) << url.toStdString();
    const QString code = form->remoteView().view().code();
    EXPECT_GE(code.size(), 8);

    Client state(port);
    state.get("/state?code=" + code);
    ASSERT_EQ(state.status(), 200);
    const QJsonObject root = QJsonDocument::fromJson(state.body()).object();
    EXPECT_EQ(root["link"].toString(), "Sin conexión");
    EXPECT_EQ(root["temperature"].toString(), "--ºC");

    Client viewer(port);
    viewer.get("/stream?code=" + code);
    const std::vector<std::uint8_t> frame = grayFrame();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            form->FrameCallback(frame.data(), video::frameWidth, video::frameHeight);
            return viewer.frames() >= 2;
        },
        kDeadline));

    form->RemoteViewClick();
    EXPECT_FALSE(form->remoteView().isOn());
    EXPECT_TRUE(viewer.waitClosed());
    Client late(port);
    EXPECT_TRUE(late.waitClosed()) << "nothing listens once it is off";
}

TEST_F(RemoteViewWindow, StartedFromTheCommandLineRemembersItsPort) {
    const quint16 port = freePort();
    ASSERT_NE(port, 0);
    form->StartRemoteView({QHostAddress::LocalHost, port});
    ASSERT_TRUE(form->remoteView().isOn());
    EXPECT_EQ(form->remoteView().url(), QStringLiteral("http://127.0.0.1:%1/?code=%2")
                                            .arg(port)
                                            .arg(form->remoteView().view().code()));
    EXPECT_EQ(storedRemotePort(), port);
}

TEST_F(RemoteViewWindow, APortInUseIsToldAndTheViewStaysOff) {
    QTcpServer holder;
    ASSERT_TRUE(holder.listen(QHostAddress::LocalHost, 0));
    form->StartRemoteView({QHostAddress::LocalHost, holder.serverPort()});
    EXPECT_FALSE(form->remoteView().isOn());
    EXPECT_TRUE(form->ui().Rxtext->text().contains(
        QStringLiteral("Vista remota: no se puede escuchar en el puerto %1: está en uso por otro "
                       "programa")
            .arg(holder.serverPort())))
        << form->ui().Rxtext->text().toStdString();
}
