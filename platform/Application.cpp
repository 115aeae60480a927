#include "platform/Application.h"

#include "platform/Dialogs.h"

#include <QCoreApplication>

#include <opencv2/core/utility.hpp>

namespace platform {

namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(Dialogs)
};

} // namespace

// A picture is scaled or converted in well under a millisecond, thirty times a second: waking
// OpenCV's pool of workers for each costs more than the work.
Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    cv::setNumThreads(1);
}

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
