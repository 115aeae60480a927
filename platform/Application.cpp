#include "platform/Application.h"

#include "platform/Dialogs.h"

#include <QCoreApplication>

namespace platform {

namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(Dialogs)
};

} // namespace

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
    Dialogs::showError(Texts::tr("Excepción desconocida"));
}

} // namespace platform
