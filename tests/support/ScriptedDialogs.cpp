#include "tests/support/ScriptedDialogs.h"

namespace testing_support {

namespace {
template <typename T> T takeFront(std::deque<T>& queue, T fallback) {
    if (queue.empty())
        return fallback;
    T value = std::move(queue.front());
    queue.pop_front();
    return value;
}
std::optional<QString> takeText(std::deque<std::optional<QString>>& queue) {
    if (queue.empty())
        return std::nullopt;
    std::optional<QString> text;
    text.swap(queue.front());
    queue.pop_front();
    return text;
}
} // namespace

platform::DialogAnswer ScriptedDialogs::message(const platform::MessageRequest& request) {
    messages_.push_back(request);
    if (onMessage)
        onMessage(request);
    return takeFront(messageAnswers_, platform::DialogAnswer::Ok);
}

std::optional<QString> ScriptedDialogs::inputText(const platform::InputRequest& request) {
    inputs_.push_back(request);
    return takeText(inputAnswers_);
}

std::optional<QString> ScriptedDialogs::saveFileName(const platform::SaveFileRequest&) {
    ++saveRequests_;
    return takeText(saveAnswers_);
}

std::optional<QString> ScriptedDialogs::openFileName(const platform::OpenFileRequest& request) {
    openRequests_.push_back(request);
    return takeText(openAnswers_);
}

int ScriptedDialogs::showModal(QDialog& dialog) {
    modalDialogs_.push_back(dialog.objectName());
    ModalScript script = takeFront<ModalScript>(modalScripts_, {});
    if (!script)
        return QDialog::Rejected;
    return script(dialog);
}

} // namespace testing_support
