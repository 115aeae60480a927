#include "remote/RemoteView.h"
#include "remote/AccessCode.h"
#include "tests/support/HttpClient.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace std::chrono_literals;
using remote::FailureBook;
using remote::Limits;
using remote::RemoteView;
using remote::ViewState;
using testing_support::Client;
using testing_support::kDeadline;

namespace {

QImage noise(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    auto* random = QRandomGenerator::global();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, random->generate());
    return image;
}

class RemoteViewTest : public ::testing::Test {
protected:
    void open(Limits limits) {
        view_ = std::make_unique<RemoteView>([this] { return state_; }, limits);
        state_.picturesFolder = folder_.path().toStdString();
        ASSERT_FALSE(view_->start(QHostAddress::LocalHost, 0).has_value());
        port_ = view_->port();
    }
    QString withCode(const QString& path) const { return path + "?code=" + view_->code(); }
    // A viewer with small buffers that asks for the stream and never reads a byte of it.
    void askForTheStreamAndNeverRead(int& stalled) {
        stalled = ::socket(AF_INET, SOCK_STREAM, 0);
        ASSERT_GE(stalled, 0);
        int small = 4096;
        ::setsockopt(stalled, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port_);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ASSERT_EQ(::connect(stalled, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        const QByteArray ask = ("GET " + withCode("/stream") + " HTTP/1.1\r\n\r\n").toUtf8();
        ASSERT_EQ(::send(stalled, ask.data(), ask.size(), 0), ask.size());
    }
    int statusOf(const QString& target) {
        Client client(port_);
        client.get(target);
        return client.status();
    }
    void writeFile(const QString& name, const QByteArray& bytes) {
        QFile file(folder_.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QTemporaryDir folder_;
    ViewState state_;
    std::unique_ptr<RemoteView> view_;
    quint16 port_ = 0;
};

Limits lenient() {
    Limits limits;
    limits.freeFailures = 1000;
    return limits;
}

} // namespace

TEST(AccessCode, ComparesWholeCodes) {
    struct Case {
        const char* given;
        const char* expected;
        bool same;
    };
    const Case cases[] = {
        {"abcdefgh23", "abcdefgh23", true},
        {"xbcdefgh23", "abcdefgh23", false},
        {"abcdefgh24", "abcdefgh23", false},
        {"abcdefgh2", "abcdefgh23", false},
        {"abcdefgh234", "abcdefgh23", false},
        {"", "abcdefgh23", false},
        {"", "", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(remote::sameCode(QString::fromLatin1(c.given), QString::fromLatin1(c.expected)),
                  c.same)
            << c.given << " / " << c.expected;
}

TEST(AccessCode, FreshCodesAreLongAndDiffer) {
    const QString first = remote::newAccessCode();
    EXPECT_GE(first.size(), 8);
    EXPECT_TRUE(QRegularExpression("^[a-z2-9]+$").match(first).hasMatch()) << first.toStdString();
    EXPECT_NE(first, remote::newAccessCode());
}

TEST(AccessCode, WrongCodesSlowAnAddressAfterTheFreeOnes) {
    FailureBook book(3);
    const QHostAddress guesser("10.0.0.7");
    const QHostAddress other("10.0.0.8");
    const auto now = FailureBook::Clock::now();
    book.failed(guesser, now);
    book.failed(guesser, now);
    EXPECT_FALSE(book.refused(guesser, now));
    book.failed(guesser, now);
    EXPECT_TRUE(book.refused(guesser, now));
    EXPECT_TRUE(book.refused(guesser, now + 999ms));
    EXPECT_FALSE(book.refused(guesser, now + 1001ms));
    EXPECT_FALSE(book.refused(other, now));
    // Each further wrong code doubles the pause.
    book.failed(guesser, now + 2s);
    EXPECT_TRUE(book.refused(guesser, now + 3900ms));
    EXPECT_FALSE(book.refused(guesser, now + 4100ms));
    book.succeeded(guesser);
    EXPECT_FALSE(book.refused(guesser, now + 2s));
}

TEST_F(RemoteViewTest, EveryPathWithoutTheRightCodeIsUnauthorizedAndNothingElse) {
    writeFile("ok.bmp", "picture");
    state_.observations.push_back({"10:00", "Grieta", "ok.bmp"});
    open(lenient());
    const QString paths[] = {"/",        "/state",         "/stream",           "/picture/ok.bmp",
                             "/nothing", "/../etc/passwd", "/%2e%2e/etc/passwd"};
    const QString queries[] = {"", "?code=", "?code=wrongcode1", "?code=" + view_->code() + "x",
                               "?other=" + view_->code()};
    for (const QString& path : paths) {
        for (const QString& query : queries) {
            Client client(port_);
            client.get(path + query);
            EXPECT_EQ(client.status(), 401) << (path + query).toStdString();
            EXPECT_TRUE(client.body().isEmpty()) << (path + query).toStdString();
        }
        EXPECT_NE(statusOf(withCode(path)), 401) << path.toStdString();
    }
}

TEST_F(RemoteViewTest, RepeatedWrongCodesRefuseEvenTheRightOne) {
    Limits limits;
    limits.freeFailures = 3;
    open(limits);
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(statusOf("/state?code=guess" + QString::number(i)), 401);
    EXPECT_EQ(statusOf(withCode("/state")), 200);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(statusOf("/state?code=guess" + QString::number(i)), 401);
    EXPECT_EQ(statusOf(withCode("/state")), 401);
}

TEST_F(RemoteViewTest, EachStartHasAFreshCodeAndStopClosesEveryViewer) {
    open(lenient());
    const QString first = view_->code();
    Client viewer(port_);
    viewer.get(withCode("/stream"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return view_->viewers() == 1; }, kDeadline));
    view_->stop();
    EXPECT_TRUE(viewer.waitClosed());
    EXPECT_EQ(view_->viewers(), 0);
    ASSERT_FALSE(view_->start(QHostAddress::LocalHost, port_).has_value());
    EXPECT_NE(view_->code(), first);
    EXPECT_EQ(statusOf("/state?code=" + first), 401);
    EXPECT_EQ(statusOf(withCode("/state")), 200);
}

TEST_F(RemoteViewTest, OnlyListedPicturesOfTheFolderAreServed) {
    QTemporaryDir outside;
    QFile secret(outside.filePath("secret.bmp"));
    ASSERT_TRUE(secret.open(QIODevice::WriteOnly));
    secret.write("secret");
    secret.close();
    writeFile("ok.bmp", "picture");
    writeFile("unlisted.bmp", "unlisted");
    ASSERT_TRUE(QFile::link(secret.fileName(), folder_.filePath("link.bmp")));
    ASSERT_TRUE(QDir(folder_.path()).mkdir("sub.bmp"));
    for (const char* name : {"ok.bmp", "link.bmp", "sub.bmp", "missing.bmp", "../secret.bmp"})
        state_.observations.push_back({"10:00", "Nota", name});
    open(lenient());
    struct Case {
        const char* path;
        int status;
    };
    const Case cases[] = {
        {"/picture/ok.bmp", 200},
        {"/picture/unlisted.bmp", 404},
        {"/picture/link.bmp", 404},
        {"/picture/sub.bmp", 404},
        {"/picture/missing.bmp", 404},
        {"/picture/../secret.bmp", 404},
        {"/picture/%2e%2e/secret.bmp", 404},
        {"/picture/..%2fsecret.bmp", 404},
        {"/picture/%2E%2E%2Fsecret.bmp", 404},
        {"/../picture/ok.bmp", 404},
        {"/picture/ok.bmp/", 404},
    };
    for (const Case& c : cases) {
        Client client(port_);
        client.get(withCode(QString::fromLatin1(c.path)));
        EXPECT_EQ(client.status(), c.status) << c.path;
        if (c.status == 200)
            EXPECT_EQ(client.body(), "picture");
        else
            EXPECT_TRUE(client.body().isEmpty()) << c.path;
    }
}

TEST_F(RemoteViewTest, RequestsOverTheSizeCapAreRefused) {
    Limits limits = lenient();
    limits.requestBytes = 8 * 1024;
    open(limits);
    struct Case {
        int headerBytes;
        int status;
    };
    for (const Case c : {Case{7 * 1024, 200}, Case{9 * 1024, 431}, Case{64 * 1024, 431}}) {
        Client client(port_);
        ASSERT_TRUE(client.connected());
        client.get(withCode("/state"), "X-Filler: " + QByteArray(c.headerBytes, 'a') + "\r\n");
        EXPECT_EQ(client.status(), c.status) << c.headerBytes;
    }
}

TEST_F(RemoteViewTest, ConnectionsPastTheLimitAreRefusedUntilOneCloses) {
    Limits limits = lenient();
    limits.connections = 4;
    open(limits);
    std::vector<std::unique_ptr<Client>> held;
    for (int i = 0; i < 4; ++i) {
        held.push_back(std::make_unique<Client>(port_));
        ASSERT_TRUE(held.back()->connected());
        // Answered, so the view has taken it.
        held.back()->get(withCode("/state"));
        ASSERT_EQ(held.back()->status(), 200);
    }
    Client refused(port_);
    refused.get(withCode("/state"));
    EXPECT_EQ(refused.status(), 503);
    held.front()->socket().disconnectFromHost();
    ASSERT_TRUE(held.front()->waitClosed());
    EXPECT_TRUE(QTest::qWaitFor([&] { return statusOf(withCode("/state")) == 200; }, kDeadline));
}

TEST_F(RemoteViewTest, IdleAndSlowConnectionsAreClosed) {
    Limits limits = lenient();
    limits.idle = 300ms;
    limits.slowRequest = 300ms;
    open(limits);
    for (const QByteArray& sent : {QByteArray(), QByteArray("GET / HT"),
                                   ("GET " + withCode("/state") + " HTTP/1.1\r\n\r\n").toUtf8()}) {
        Client client(port_);
        ASSERT_TRUE(client.connected());
        client.send(sent);
        EXPECT_TRUE(client.waitClosed()) << sent.toStdString();
    }
}

TEST_F(RemoteViewTest, StateCarriesTheWindowsValuesAndOnlyPlainPictureNames) {
    state_.job = "Conducto 4";
    state_.link = "Sin conexión";
    state_.recording = true;
    state_.recordingText = "Grabando 00:12";
    state_.temperature = "21.5ºC";
    state_.humidity = "40%";
    state_.observations = {
        {"10:00", "Grieta", "job 1.bmp"}, {"10:05", "Óxido", "../x.bmp"}, {"10:07", "Junta", ""}};
    open(lenient());
    Client client(port_);
    client.get(withCode("/state"));
    ASSERT_EQ(client.status(), 200);
    const QJsonObject root = QJsonDocument::fromJson(client.body()).object();
    EXPECT_EQ(root["job"].toString(), "Conducto 4");
    EXPECT_EQ(root["link"].toString(), "Sin conexión");
    EXPECT_TRUE(root["recording"].toBool());
    EXPECT_EQ(root["recordingText"].toString(), "Grabando 00:12");
    EXPECT_EQ(root["temperature"].toString(), "21.5ºC");
    EXPECT_EQ(root["humidity"].toString(), "40%");
    EXPECT_EQ(root["viewers"].toInt(), 0);
    const QJsonArray list = root["observations"].toArray();
    ASSERT_EQ(list.size(), 3);
    EXPECT_EQ(list[0]["picture"].toString(), "/picture/job%201.bmp");
    EXPECT_EQ(list[1]["text"].toString(), "Óxido");
    EXPECT_FALSE(list[1].toObject().contains("picture"));
    EXPECT_FALSE(list[2].toObject().contains("picture"));
}

TEST_F(RemoteViewTest, StateListsOnlyTheNewestObservations) {
    open(lenient());
    for (const int count : {RemoteView::kListedObservations, RemoteView::kListedObservations + 1}) {
        state_.observations.clear();
        for (int i = 0; i < count; ++i)
            state_.observations.push_back({QString::number(i), "Nota", ""});
        Client client(port_);
        client.get(withCode("/state"));
        ASSERT_EQ(client.status(), 200);
        const QJsonArray list =
            QJsonDocument::fromJson(client.body()).object()["observations"].toArray();
        EXPECT_EQ(list.size(), RemoteView::kListedObservations);
        EXPECT_EQ(list.last()["time"].toString(), QString::number(count - 1));
    }
}

TEST_F(RemoteViewTest, PageIsServedWholeWithItsScript) {
    open(lenient());
    Client client(port_);
    client.get(withCode("/"));
    ASSERT_EQ(client.status(), 200);
    EXPECT_TRUE(client.body().contains("<script>"));
    EXPECT_FALSE(client.body().contains("src=\"http"));
}

TEST_F(RemoteViewTest, FramesReachAViewerWhileAnotherNeverReads) {
    Limits limits = lenient();
    limits.framePeriod = 10ms;
    limits.viewerBytes = 64 * 1024;
    open(limits);
    QSignalSpy counts(view_.get(), &RemoteView::viewersChanged);

    int stalled = -1;
    ASSERT_NO_FATAL_FAILURE(askForTheStreamAndNeverRead(stalled));
    ASSERT_TRUE(QTest::qWaitFor([&] { return view_->viewers() == 1; }, kDeadline));

    Client reader(port_);
    reader.get(withCode("/stream"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return view_->viewers() == 2; }, kDeadline));

    // Pictures that compress badly, so the stalled viewer's buffers fill at once.
    const QImage picture = noise(320, 240);
    QTimer frames;
    QObject::connect(&frames, &QTimer::timeout, [&] { view_->offerFrame(picture); });
    frames.start(15);
    // Until the system's buffers for the stalled one are full and frames wait in the view.
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return view_->largestBacklog() > limits.viewerBytes; }, 60000));
    const int before = reader.frames();
    EXPECT_TRUE(QTest::qWaitFor([&] { return reader.frames() >= before + 30; }, 30000))
        << reader.frames();
    frames.stop();
    // The stalled viewer holds at most the bound and two frames, however many were sent.
    EXPECT_LE(view_->largestBacklog(), limits.viewerBytes + 2 * picture.sizeInBytes());
    EXPECT_TRUE(reader.body().contains("Content-Type: image/jpeg\r\n"));
    EXPECT_TRUE(reader.body().contains("\xff\xd8\xff"));

    reader.socket().disconnectFromHost();
    EXPECT_TRUE(QTest::qWaitFor([&] { return view_->viewers() == 1; }, kDeadline));
    ::close(stalled);
    EXPECT_TRUE(QTest::qWaitFor([&] { return view_->viewers() == 0; }, kDeadline));
    ASSERT_GE(counts.size(), 4);
    EXPECT_EQ(counts.last().first().toInt(), 0);
}

TEST_F(RemoteViewTest, AStalledViewerIsClosed) {
    Limits limits = lenient();
    limits.framePeriod = 1ms;
    limits.viewerBytes = 16 * 1024;
    limits.stalled = 300ms;
    open(limits);
    int stalled = -1;
    ASSERT_NO_FATAL_FAILURE(askForTheStreamAndNeverRead(stalled));
    ASSERT_TRUE(QTest::qWaitFor([&] { return view_->viewers() == 1; }, kDeadline));
    const QImage picture = noise(320, 240);
    QTimer frames;
    QObject::connect(&frames, &QTimer::timeout, [&] { view_->offerFrame(picture); });
    frames.start(10);
    EXPECT_TRUE(QTest::qWaitFor([&] { return view_->viewers() == 0; }, kDeadline));
    ::close(stalled);
}

TEST_F(RemoteViewTest, FramesFromAnotherThreadWhileTheViewIsSwitchedOnAndOff) {
    Limits limits = lenient();
    limits.framePeriod = 1ms;
    open(limits);
    std::atomic<bool> running{true};
    const QImage picture = noise(64, 48);
    std::thread capture([&] {
        while (running)
            view_->offerFrame(picture);
    });
    for (int round = 0; round < 3; ++round) {
        Client viewer(port_);
        viewer.get(withCode("/stream"));
        EXPECT_TRUE(QTest::qWaitFor([&] { return viewer.frames() >= 3; }, kDeadline)) << round;
        view_->stop();
        EXPECT_TRUE(viewer.waitClosed());
        ASSERT_FALSE(view_->start(QHostAddress::LocalHost, port_).has_value());
    }
    running = false;
    capture.join();
}
