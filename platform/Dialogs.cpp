#include "platform/Dialogs.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace platform {
namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(Dialogs)
};

InteractiveResponder& interactive() {
    static InteractiveResponder responder;
    return responder;
}

DialogResponder*& current() {
    static DialogResponder* responder = &interactive();
    return responder;
}

QMessageBox::Icon toQtIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons toQtButtons(MessageButtons buttons) {
    switch (buttons) {
    case MessageButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

DialogAnswer fromQtButton(int button) {
    switch (button) {
    case QMessageBox::Cancel:
        return DialogAnswer::Cancel;
    case QMessageBox::Yes:
        return DialogAnswer::Yes;
    case QMessageBox::No:
        return DialogAnswer::No;
    default:
        return DialogAnswer::Ok;
    }
}

} // namespace

DialogAnswer InteractiveResponder::message(const MessageRequest& request) {
    QMessageBox box(toQtIcon(request.icon), request.caption, request.text,
                    toQtButtons(request.buttons), request.owner);
    box.setInformativeText(request.detail);
    if (!request.owner)
        box.setWindowModality(Qt::ApplicationModal);
    return fromQtButton(box.exec());
}

std::optional<QString> InteractiveResponder::inputText(const InputRequest& request) {
    bool ok = false;
    QString text = QInputDialog::getText(request.owner, request.caption, request.prompt,
                                         QLineEdit::Normal, request.initial, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

std::optional<QString> InteractiveResponder::saveFileName(const SaveFileRequest& request) {
    QFileDialog dialog(request.owner, request.caption, request.directory, request.filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> InteractiveResponder::openFileName(const OpenFileRequest& request) {
    QFileDialog dialog(request.owner, request.caption, request.directory, request.filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

int InteractiveResponder::showModal(QDialog& dialog) {
    return dialog.exec();
}

namespace Dialogs {

DialogAnswer message(const MessageRequest& request) {
    return current()->message(request);
}

std::optional<QString> inputText(const InputRequest& request) {
    return current()->inputText(request);
}

std::optional<QString> saveFileName(const SaveFileRequest& request) {
    return current()->saveFileName(request);
}

std::optional<QString> openFileName(const OpenFileRequest& request) {
    return current()->openFileName(request);
}

int showModal(QDialog& dialog) {
    return current()->showModal(dialog);
}

void showError(const QString& text) {
    message({QApplication::activeWindow(),
             text,
             QApplication::applicationName(),
             MessageIcon::Error,
             MessageButtons::Ok,
             {}});
}

void showException(const std::exception& error) {
    showError(QString::fromUtf8(error.what()));
}

bool runReportingExceptions(const std::function<void()>& step) {
    try {
        step();
        return true;
    } catch (const std::exception& error) {
        showException(error);
    } catch (...) {
        showError(Texts::tr("Excepción desconocida"));
    }
    return false;
}

ScopedResponder::ScopedResponder(DialogResponder& responder) : previous_(current()) {
    current() = &responder;
}

ScopedResponder::~ScopedResponder() {
    current() = previous_;
}

} // namespace Dialogs
} // namespace platform
