#include "RemoteView.h"

#include "GuardedServer.h"

#include <platform/Post.h>
#include <platform/ReadOnlyFile.h>
#include <platform/Worker.h>

#include <QAbstractHttpServer>
#include <QBuffer>
#include <QFile>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QUrlQuery>

#include <chrono>

namespace remote {

namespace {

using Status = QHttpServerResponder::StatusCode;

constexpr char kBoundary[] = "marloframe";
// Frames being encoded or pictures being read at once; a frame past it is skipped.
constexpr std::size_t kWorkerJobs = 2;
constexpr int kJpegQuality = 75;

// A picture's name as the job writes it: a plain file name of the folder.
bool plainName(const QString& name) {
    static const QRegularExpression pattern(QStringLiteral("^[A-Za-z0-9_][A-Za-z0-9_ .-]{0,200}$"));
    return pattern.match(name).hasMatch();
}

QByteArray pictureType(const QString& name) {
    const QString lower = name.toLower();
    if (lower.endsWith(QLatin1String(".jpg")) || lower.endsWith(QLatin1String(".jpeg")))
        return "image/jpeg";
    if (lower.endsWith(QLatin1String(".png")))
        return "image/png";
    return "image/bmp";
}

std::int64_t nanoseconds() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The page's own texts, each written once in it; none holds a quote, so the script stays whole.
const char* const pageTexts[] = {
    QT_TRANSLATE_NOOP("remote::RemoteView", "Vista remota"),
    QT_TRANSLATE_NOOP("remote::RemoteView", "Trabajo:"),
    QT_TRANSLATE_NOOP("remote::RemoteView", "Enlace:"),
    QT_TRANSLATE_NOOP("remote::RemoteView", "Temperatura:"),
    QT_TRANSLATE_NOOP("remote::RemoteView", "Humedad:"),
    QT_TRANSLATE_NOOP("remote::RemoteView", "Imagen del robot"),
    QT_TRANSLATE_NOOP("remote::RemoteView", "Observaciones"),
    QT_TRANSLATE_NOOP("remote::RemoteView", "Código no válido"),
    QT_TRANSLATE_NOOP("remote::RemoteView", "Sin respuesta"),
    QT_TRANSLATE_NOOP("remote::RemoteView", "Sin grabar"),
    QT_TRANSLATE_NOOP("remote::RemoteView", "Grabando"),
    QT_TRANSLATE_NOOP("remote::RemoteView", "Consola:"),
};

// The page is written in Spanish and served in the console's language.
QByteArray page() {
    QFile file(QStringLiteral(":/remote/index.html"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray text = file.readAll();
    for (const char* source : pageTexts)
        text.replace(source, RemoteView::tr(source).toUtf8());
    return text;
}

void writeHead(QTcpSocket& socket, const QByteArray& type, qint64 length) {
    QByteArray head = "HTTP/1.1 200 OK\r\nContent-Type: " + type +
                      "\r\nCache-Control: no-store\r\nX-Content-Type-Options: nosniff\r\n";
    if (length >= 0)
        head += "Content-Length: " + QByteArray::number(length) + "\r\n";
    socket.write(head + "\r\n");
}

} // namespace

class RemoteView::Server final : public QAbstractHttpServer {
public:
    explicit Server(RemoteView& view) : view_(view) {}

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override {
        view_.answer(request, makeResponder(request, socket));
        return true;
    }
    void missingHandler(const QHttpServerRequest&, QTcpSocket*) override {}

private:
    RemoteView& view_;
};

RemoteView::RemoteView(StateSource state, Limits limits, QObject* parent)
    : QObject(parent), state_(std::move(state)), limits_(limits), failures_(limits.freeFailures) {}

RemoteView::~RemoteView() {
    stop();
}

std::optional<QString> RemoteView::start(const QHostAddress& address, quint16 port) {
    stop();
    auto server = std::make_unique<Server>(*this);
    auto* listener = new GuardedServer(limits_, server.get());
    if (!listener->listen(address, port)) {
        switch (listener->serverError()) {
        case QAbstractSocket::AddressInUseError:
            return tr("está en uso por otro programa");
        case QAbstractSocket::SocketAccessError:
            return tr("no hay permiso para usarlo");
        case QAbstractSocket::SocketAddressNotAvailableError:
            return tr("la dirección no es de este equipo");
        default:
            return listener->errorString();
        }
    }
    server->bind(listener);
    {
        const std::lock_guard lock(workerMutex_);
        worker_ =
            std::make_unique<platform::Worker>(kWorkerJobs, *this, [this](const QString& reason) {
                troubled_ = true;
                emit problem(reason);
            });
    }
    code_ = newAccessCode();
    listener_ = listener;
    server_ = std::move(server);
    return std::nullopt;
}

void RemoteView::stop() {
    if (!server_)
        return;
    watching_ = 0;
    {
        const std::lock_guard lock(workerMutex_);
        worker_.reset();
    }
    // The listener and every connection are the server's children.
    server_.reset();
    viewers_.clear();
    code_.clear();
    emit viewersChanged(0);
}

quint16 RemoteView::port() const {
    return listener_ ? listener_->serverPort() : 0;
}

qint64 RemoteView::largestBacklog() const {
    qint64 largest = 0;
    for (const Viewer& viewer : viewers_)
        if (viewer.socket)
            largest = std::max(largest, viewer.socket->bytesToWrite() + viewer.waiting.size());
    return largest;
}

void RemoteView::offerFrame(const QImage& picture) {
    if (watching_.load() == 0 || picture.isNull())
        return;
    const std::int64_t now = nanoseconds();
    std::int64_t last = lastFrame_.load();
    const std::int64_t period =
        std::chrono::duration_cast<std::chrono::nanoseconds>(limits_.framePeriod).count();
    if (now - last < period || !lastFrame_.compare_exchange_strong(last, now))
        return;
    // Never waits: while the view is being switched off the frame is skipped.
    const std::unique_lock lock(workerMutex_, std::try_to_lock);
    if (!lock.owns_lock() || !worker_)
        return;
    const bool posted = worker_->post([this, copy = picture.copy()]() -> platform::JobOutcome {
        QByteArray jpeg;
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        if (!copy.save(&buffer, "JPEG", kJpegQuality))
            return tr("Vista remota: no se pudo preparar la imagen");
        platform::postTo(this, [this, jpeg] { broadcast(jpeg); });
        return std::nullopt;
    });
    if (!posted)
        lastFrame_ = last;
}

void RemoteView::answer(const QHttpServerRequest& request, QHttpServerResponder&& responder) {
    QTcpSocket* socket = responder.socket();
    if (listener_)
        listener_->requestTaken(socket);
    for (const Viewer& viewer : viewers_)
        if (viewer.socket == socket)
            return; // a stream's connection takes no further request
    const auto now = FailureBook::Clock::now();
    const QHostAddress peer = request.remoteAddress();
    const QString given =
        QUrlQuery(request.url()).queryItemValue(QStringLiteral("code"), QUrl::FullyDecoded);
    // A slowed address is refused without its code being looked at.
    if (failures_.refused(peer, now) || !sameCode(given, code_)) {
        if (!given.isEmpty() && !failures_.refused(peer, now))
            failures_.failed(peer, now);
        responder.write(Status::Unauthorized);
        return;
    }
    failures_.succeeded(peer);
    if (request.method() != QHttpServerRequest::Method::Get) {
        responder.write(Status::MethodNotAllowed);
        return;
    }
    const QString path = request.url().path(QUrl::FullyDecoded);
    if (path == QLatin1String("/")) {
        responder.write(page(),
                        {{"Content-Type", "text/html; charset=utf-8"},
                         {"Cache-Control", "no-store"},
                         {"Referrer-Policy", "no-referrer"},
                         {"Content-Security-Policy",
                          "default-src 'none'; script-src 'unsafe-inline'; "
                          "style-src 'unsafe-inline'; img-src 'self'; connect-src 'self'"}});
    } else if (path == QLatin1String("/state")) {
        responder.write(stateJson(),
                        {{"Content-Type", "application/json"}, {"Cache-Control", "no-store"}});
    } else if (path == QLatin1String("/stream")) {
        startStream(socket);
    } else if (path.startsWith(QLatin1String("/picture/"))) {
        sendPicture(path.mid(9), socket);
    } else {
        responder.write(Status::NotFound);
    }
}

QByteArray RemoteView::stateJson() const {
    const ViewState state = state_();
    QJsonArray observations;
    const auto first = state.observations.size() > std::size_t{kListedObservations}
                           ? state.observations.end() - kListedObservations
                           : state.observations.begin();
    for (auto it = first; it != state.observations.end(); ++it) {
        QJsonObject entry{{QStringLiteral("time"), it->time}, {QStringLiteral("text"), it->text}};
        if (plainName(it->picture))
            entry.insert(QStringLiteral("picture"),
                         QStringLiteral("/picture/") +
                             QString::fromLatin1(QUrl::toPercentEncoding(it->picture)));
        observations.append(entry);
    }
    const QJsonObject root{
        {QStringLiteral("job"), state.job},
        {QStringLiteral("link"), state.link},
        {QStringLiteral("recording"), state.recording},
        {QStringLiteral("recordingText"), state.recordingText},
        {QStringLiteral("temperature"), state.temperature},
        {QStringLiteral("humidity"), state.humidity},
        {QStringLiteral("viewers"), viewers()},
        {QStringLiteral("observations"), observations},
    };
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

void RemoteView::startStream(QTcpSocket* socket) {
    if (listener_)
        listener_->streaming(socket);
    writeHead(*socket, QByteArray("multipart/x-mixed-replace; boundary=") + kBoundary, -1);
    QPointer<QTcpSocket> guarded(socket);
    connect(socket, &QTcpSocket::bytesWritten, this, [this, guarded] {
        for (Viewer& viewer : viewers_)
            if (viewer.socket == guarded)
                feed(viewer);
    });
    connect(socket, &QTcpSocket::disconnected, this, &RemoteView::dropGone, Qt::QueuedConnection);
    connect(socket, &QObject::destroyed, this, &RemoteView::dropGone, Qt::QueuedConnection);
    viewers_.push_back(Viewer{guarded, {}});
    watching_ = viewers();
    emit viewersChanged(viewers());
}

void RemoteView::dropGone() {
    const auto before = viewers_.size();
    std::erase_if(viewers_, [](const Viewer& viewer) {
        return viewer.socket.isNull() || viewer.socket->state() != QAbstractSocket::ConnectedState;
    });
    if (viewers_.size() != before) {
        watching_ = viewers();
        emit viewersChanged(viewers());
    }
}

void RemoteView::broadcast(const QByteArray& jpeg) {
    const QByteArray part =
        QByteArray("--") + kBoundary +
        "\r\nContent-Type: image/jpeg\r\nContent-Length: " + QByteArray::number(jpeg.size()) +
        "\r\n\r\n" + jpeg + "\r\n";
    if (troubled_) {
        troubled_ = false;
        emit problem(QString());
    }
    dropGone();
    for (Viewer& viewer : viewers_) {
        // The frame still waiting for a slow viewer is replaced by the newer one.
        viewer.waiting = part;
        feed(viewer);
    }
}

void RemoteView::feed(Viewer& viewer) {
    if (viewer.waiting.isEmpty() || viewer.socket.isNull() ||
        viewer.socket->bytesToWrite() > limits_.viewerBytes)
        return;
    viewer.socket->write(viewer.waiting);
    viewer.waiting.clear();
}

void RemoteView::sendPicture(const QString& name, QTcpSocket* socket) {
    const ViewState state = state_();
    const bool listed =
        !state.picturesFolder.empty() && plainName(name) &&
        std::any_of(state.observations.begin(), state.observations.end(),
                    [&](const Observation& observation) { return observation.picture == name; });
    const std::unique_lock lock(workerMutex_);
    QPointer<QTcpSocket> guarded(socket);
    const auto reply = [guarded](QByteArray status) {
        if (guarded)
            guarded->write("HTTP/1.1 " + status + "\r\nContent-Length: 0\r\n\r\n");
    };
    if (!listed) {
        reply("404 Not Found");
        return;
    }
    // Read off the GUI thread; the answer is written back on it.
    const bool posted = worker_->post([this, guarded, folder = state.picturesFolder,
                                       file = name.toStdString(),
                                       type = pictureType(name)]() -> platform::JobOutcome {
        platform::FileBytes read =
            platform::readWholeFile(folder, file, static_cast<std::uint64_t>(limits_.pictureBytes));
        platform::postTo(this, [guarded, type, read = std::move(read)] {
            if (!guarded)
                return;
            if (read.refusal != platform::ReadRefusal::None) {
                guarded->write("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n");
                return;
            }
            writeHead(*guarded, type, read.bytes.size());
            guarded->write(read.bytes);
        });
        return std::nullopt;
    });
    if (!posted)
        reply("503 Service Unavailable");
}

} // namespace remote
