#pragma once

#include "app/RemoteAddress.h"
#include "link/LinkIndicators.h"
#include "remote/RemoteView.h"

#include <QPointer>
#include <QString>

#include <optional>
#include <vector>

class QLabel;
class QWidget;
namespace job {
class Session;
}
namespace robot {
class Telemetry;
}

// The remote view as the main window runs it: switched on from the context menu or the
// command line, off by default and when the window goes; while on, a label of the window
// shows its address with the code and how many viewers watch.
class RemoteViewControl final : public QObject {
    Q_OBJECT
public:
    RemoteViewControl(QWidget& window, remote::RemoteView::StateSource state);
    ~RemoteViewControl() override;

    // Why not, when it cannot listen there.
    std::optional<QString> switchOn(const RemoteAddress& where);
    void switchOff();
    bool isOn() const { return view_.isOn(); }
    // The address to open, with its code; empty while off.
    QString url() const;
    // Any thread; never waits.
    void offerFrame(const QImage& picture) { view_.offerFrame(picture); }
    // Listed on the page with its picture; the newest are kept.
    void addObservation(remote::Observation observation);
    remote::RemoteView& view() { return view_; }

private:
    void showState();

    remote::RemoteView view_;
    std::vector<remote::Observation> observations_;
    QPointer<QLabel> label_;
    QHostAddress shownAddress_;
    QString problem_;
};

// What the remote view's page tells of the console: the job, the link, the recording and the
// telemetry.
remote::ViewState consoleViewState(const job::Session& job, robot::LinkState link, bool recording,
                                   const robot::Telemetry& telemetry);
