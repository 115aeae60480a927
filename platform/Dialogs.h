#pragma once

#include <QString>

#include <exception>
#include <functional>
#include <memory>
#include <optional>

class QDialog;
class QWidget;

namespace platform {

enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageButtons { Ok, OkCancel, YesNo };
enum class DialogAnswer { Ok, Cancel, Yes, No };

struct MessageRequest {
    QWidget* owner = nullptr;
    QString text;
    QString caption;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
    // Shown under the text when not empty.
    QString detail;
};

struct InputRequest {
    QWidget* owner = nullptr;
    QString caption;
    QString prompt;
    QString initial;
};

struct SaveFileRequest {
    QWidget* owner = nullptr;
    QString caption;
    QString directory;
    QString filter;
    QString defaultSuffix;
};

struct OpenFileRequest {
    QWidget* owner = nullptr;
    QString caption;
    QString directory;
    QString filter;
};

// Answers every modal question the console asks. The interactive responder shows real
// Qt dialogs; tests install a scripted one so nothing ever waits for a person.
class DialogResponder {
public:
    virtual ~DialogResponder() = default;
    virtual DialogAnswer message(const MessageRequest& request) = 0;
    virtual std::optional<QString> inputText(const InputRequest& request) = 0;
    virtual std::optional<QString> saveFileName(const SaveFileRequest& request) = 0;
    // An existing file to read.
    virtual std::optional<QString> openFileName(const OpenFileRequest& request) = 0;
    // Shows a dialog modally and returns its result code (QDialog::Accepted/Rejected).
    virtual int showModal(QDialog& dialog) = 0;
};

class InteractiveResponder final : public DialogResponder {
public:
    DialogAnswer message(const MessageRequest& request) override;
    std::optional<QString> inputText(const InputRequest& request) override;
    std::optional<QString> saveFileName(const SaveFileRequest& request) override;
    std::optional<QString> openFileName(const OpenFileRequest& request) override;
    int showModal(QDialog& dialog) override;
};

namespace Dialogs {

DialogAnswer message(const MessageRequest& request);
std::optional<QString> inputText(const InputRequest& request);
std::optional<QString> saveFileName(const SaveFileRequest& request);
std::optional<QString> openFileName(const OpenFileRequest& request);
int showModal(QDialog& dialog);

// The standard error box for an exception that escaped a handler.
void showException(const std::exception& error);
void showError(const QString& text);
// Runs `step` and shows any exception escaping it in the standard error box, so that the
// caller carries on; false when the step failed.
bool runReportingExceptions(const std::function<void()>& step);

// Replaces the responder for as long as the returned guard lives.
class ScopedResponder {
public:
    explicit ScopedResponder(DialogResponder& responder);
    ~ScopedResponder();
    ScopedResponder(const ScopedResponder&) = delete;
    ScopedResponder& operator=(const ScopedResponder&) = delete;

private:
    DialogResponder* previous_;
};

} // namespace Dialogs
} // namespace platform
