#include "app/Inicio.h"

#include "app/Main.h"
#include "app/Translation.h"
#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "ui_Inicio.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>

TArranque::TArranque(QWidget* parent, ConsoleOptions options)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), ui_(std::make_unique<Ui::TArranque>()),
      options_(std::move(options)) {
    // Enabled from creation: the splash's second does not wait for its own layout.
    Timer1 = new QTimer(this);
    Timer1->setTimerType(Qt::PreciseTimer);
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TArranque::Timer1Timer);
    Timer1->start();
    ui_->setupUi(this);
    setFixedSize(443, 241);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    // After the splash has been painted, its idle second prepares the main window's paint.
    warmUp_.setSingleShot(true);
    warmUp_.setInterval(100);
    connect(&warmUp_, &QTimer::timeout, this, [] { warmUpMainWindow(); });
    warmUp_.start();
}

TArranque::~TArranque() = default;

void TArranque::Timer1Timer() {
    Timer1->stop();
    warmUp_.stop();
    Form1 = new TForm1(this, options_.camera);
    if (!options_.job.isEmpty())
        Form1->StartJob(options_.job);
    if (options_.remoteView)
        Form1->StartRemoteView(*options_.remoteView);
    hide();
    Form1->ShowModal();
    close();
}

void TArranque::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    QCoreApplication::quit();
}

int runStartup(const ConsoleOptions& options) {
    try {
        TArranque splash(nullptr, options);
        splash.show();
        QApplication::exec();
    } catch (const std::exception& error) {
        platform::Dialogs::showException(error);
    }
    return 0;
}

int runConsole(int argc, char** argv) {
    if (const auto status = runWithoutWindow(argc, argv))
        return *status;
    platform::Application app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("marlo-consola"));
    QApplication::setApplicationVersion(QStringLiteral(MARLO_VERSION));
    const ConsoleOptions options = parseCommandLine(QApplication::arguments());
    const auto translator = installTranslator(options.language.value_or(settings::readIdioma()));
    return runStartup(options);
}
