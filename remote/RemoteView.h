#pragma once

#include "AccessCode.h"
#include "Limits.h"

#include <QByteArray>
#include <QHostAddress>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QString>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

class QHttpServerRequest;
class QHttpServerResponder;
class QTcpSocket;

namespace platform {
class Worker;
}

namespace remote {

class GuardedServer;

// One observation as the page lists it.
struct Observation {
    QString time;
    QString text;
    // The picture's file name in the pictures folder; empty when none was saved.
    QString picture;
};

// What the page shows besides the picture, as the window shows it.
struct ViewState {
    QString job;
    QString link;
    bool recording = false;
    QString recordingText;
    QString temperature;
    QString humidity;
    std::vector<Observation> observations;
    // The folder of the observations' pictures; no other file is ever served.
    std::filesystem::path picturesFolder;
};

// The remote view: a page, a Motion-JPEG stream of the processed picture and the state, for
// browsers that give the session's access code. No route changes anything; every request
// without the code is answered 401 alone. Lives on the GUI thread; offerFrame() may be
// called from any thread and never waits.
class RemoteView final : public QObject {
    Q_OBJECT
public:
    using StateSource = std::function<ViewState()>;

    explicit RemoteView(StateSource state, Limits limits = {}, QObject* parent = nullptr);
    ~RemoteView() override;

    // Listens with a fresh access code; why not, when it cannot.
    std::optional<QString> start(const QHostAddress& address, quint16 port);
    // Closes every connection and stops listening.
    void stop();
    bool isOn() const { return server_ != nullptr; }
    quint16 port() const;
    QString code() const { return code_; }
    int viewers() const { return static_cast<int>(viewers_.size()); }
    // The most bytes held for one viewer: what its connection has yet to send, and the frame
    // waiting for it.
    qint64 largestBacklog() const;

    // Takes a copy of the picture for the viewers when one watches and the frame rate allows.
    void offerFrame(const QImage& picture);

    // The largest number of observations the state lists (the newest).
    static constexpr int kListedObservations = 200;

signals:
    void viewersChanged(int viewers);
    // A frame or a picture could not be prepared; the reason, empty once it goes well again.
    void problem(const QString& reason);

private:
    class Server;
    struct Viewer {
        QPointer<QTcpSocket> socket;
        QByteArray waiting;
    };

    void answer(const QHttpServerRequest& request, QHttpServerResponder&& responder);
    void startStream(QTcpSocket* socket);
    void sendPicture(const QString& name, QTcpSocket* socket);
    QByteArray stateJson() const;
    void broadcast(const QByteArray& jpeg);
    void feed(Viewer& viewer);
    void dropGone();

    const StateSource state_;
    const Limits limits_;
    FailureBook failures_;
    QString code_;
    std::unique_ptr<Server> server_;
    QPointer<GuardedServer> listener_;
    std::vector<Viewer> viewers_;
    // A frame or a picture failed since the last frame that went well.
    bool troubled_ = false;
    std::atomic<int> watching_{0};
    std::atomic<std::int64_t> lastFrame_{0};
    std::mutex workerMutex_;
    std::unique_ptr<platform::Worker> worker_;
};

} // namespace remote
