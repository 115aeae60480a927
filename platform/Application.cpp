#include "platform/Application.h"

#include "platform/Dialogs.h"

namespace platform {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        handleException(receiver, error);
    } catch (...) {
        handleUnknownException(receiver);
    }
    return false;
}

void Application::handleException(QObject*, const std::exception& error) {
    Dialogs::showException(error);
}

void Application::handleUnknownException(QObject*) {
    Dialogs::showError(QStringLiteral("Excepción desconocida"));
}

} // namespace platform
