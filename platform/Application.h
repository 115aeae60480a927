#pragma once

#include <QApplication>

#include <exception>

namespace platform {

// The application object. An exception that escapes an event handler or a timer tick is
// shown in the standard error box and the program carries on with the next event.
class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Shows an exception that escaped a handler; the sender is the object whose handler raised.
    static void handleException(QObject* sender, const std::exception& error);
    static void handleUnknownException(QObject* sender);
};

} // namespace platform
