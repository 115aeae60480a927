#include "app/RemoteViewControl.h"

#include "input/LinkStatus.h"
#include "job/Session.h"
#include "link/Telemetry.h"

#include <QCoreApplication>
#include <QLabel>
#include <QNetworkInterface>
#include <QWidget>

namespace {

// The page's state texts keep the window's translation context.
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(TForm1)
};

// What to open from another machine: the given address, else this machine's first
// address other than loopback.
QHostAddress shownAddress(const QHostAddress& listening) {
    if (listening != QHostAddress::Any && listening != QHostAddress::AnyIPv4 &&
        listening != QHostAddress::AnyIPv6)
        return listening;
    for (const QHostAddress& address : QNetworkInterface::allAddresses())
        if (!address.isLoopback() && address.protocol() == QAbstractSocket::IPv4Protocol)
            return address;
    return QHostAddress(QHostAddress::LocalHost);
}

} // namespace

RemoteViewControl::RemoteViewControl(QWidget& window, remote::RemoteView::StateSource state)
    : view_([this, state = std::move(state)] {
          remote::ViewState shown = state();
          shown.observations = observations_;
          return shown;
      }),
      label_(new QLabel(&window)) {
    label_->setStyleSheet(QStringLiteral(
        "background: rgba(0, 0, 0, 170); color: white; padding: 2px 6px; font-size: 11px"));
    label_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label_->hide();
    connect(&view_, &remote::RemoteView::viewersChanged, this, &RemoteViewControl::showState);
    connect(&view_, &remote::RemoteView::problem, this, [this](const QString& reason) {
        problem_ = reason;
        showState();
    });
}

RemoteViewControl::~RemoteViewControl() {
    switchOff();
}

std::optional<QString> RemoteViewControl::switchOn(const RemoteAddress& where) {
    if (auto failure = view_.start(where.address, where.port)) {
        return tr("Vista remota: no se puede escuchar en el puerto %1: %2")
            .arg(where.port)
            .arg(*failure);
    }
    shownAddress_ = shownAddress(where.address);
    problem_.clear();
    showState();
    return std::nullopt;
}

void RemoteViewControl::addObservation(remote::Observation observation) {
    if (observations_.size() >= std::size_t{remote::RemoteView::kListedObservations})
        observations_.erase(observations_.begin());
    observations_.push_back(std::move(observation));
}

void RemoteViewControl::switchOff() {
    view_.stop();
    if (label_)
        label_->hide();
}

QString RemoteViewControl::url() const {
    if (!view_.isOn())
        return {};
    const QString host = shownAddress_.protocol() == QAbstractSocket::IPv6Protocol
                             ? QLatin1Char('[') + shownAddress_.toString() + QLatin1Char(']')
                             : shownAddress_.toString();
    return QStringLiteral("http://%1:%2/?code=%3").arg(host).arg(view_.port()).arg(view_.code());
}

void RemoteViewControl::showState() {
    if (!label_ || !view_.isOn())
        return;
    QString text = tr("Vista remota: %1 · espectadores: %2").arg(url()).arg(view_.viewers());
    if (!problem_.isEmpty())
        text += QStringLiteral(" · ") + problem_;
    label_->setText(text);
    label_->adjustSize();
    label_->move(4, 4);
    label_->raise();
    label_->show();
}

remote::ViewState consoleViewState(const job::Session& job, robot::LinkState link, bool recording,
                                   const robot::Telemetry& telemetry) {
    remote::ViewState state;
    state.job = job.name();
    const QString indicator = input::LinkStatus::indicatorText(link);
    state.link = indicator.isEmpty() ? Texts::tr("Conectado") : indicator;
    state.recording = recording;
    state.recordingText = recording ? Texts::tr("Grabando") : QString();
    state.temperature = telemetry.temperatureText();
    state.humidity = telemetry.humidityText();
    if (job.active())
        state.picturesFolder = job.folder().toStdString();
    return state;
}
