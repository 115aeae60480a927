#pragma once

#include "platform/Dialogs.h"

#include <QDialog>

#include <deque>
#include <functional>
#include <vector>

namespace testing_support {

// A dialog responder for tests: answers from a script, records every request, and never
// blocks. Unscripted messages are answered Ok, unscripted modal dialogs are rejected.
class ScriptedDialogs final : public platform::DialogResponder {
public:
    using ModalScript = std::function<int(QDialog&)>;

    ScriptedDialogs() : guard_(*this) {}

    void answerNextMessage(platform::DialogAnswer answer) { messageAnswers_.push_back(answer); }
    void answerNextInput(std::optional<QString> text) { inputAnswers_.push_back(std::move(text)); }
    void answerNextSave(std::optional<QString> path) { saveAnswers_.push_back(std::move(path)); }
    void answerNextOpen(std::optional<QString> path) { openAnswers_.push_back(std::move(path)); }
    void onNextModal(ModalScript script) { modalScripts_.push_back(std::move(script)); }
    // Runs for every message box, before it is answered.
    std::function<void(const platform::MessageRequest&)> onMessage;

    const std::vector<platform::MessageRequest>& messages() const { return messages_; }
    const std::vector<QString>& modalDialogs() const { return modalDialogs_; }
    int inputRequests() const { return static_cast<int>(inputs_.size()); }
    const std::vector<platform::InputRequest>& inputs() const { return inputs_; }
    int saveRequests() const { return saveRequests_; }
    const std::vector<platform::OpenFileRequest>& openRequests() const { return openRequests_; }

    platform::DialogAnswer message(const platform::MessageRequest& request) override;
    std::optional<QString> inputText(const platform::InputRequest& request) override;
    std::optional<QString> saveFileName(const platform::SaveFileRequest& request) override;
    std::optional<QString> openFileName(const platform::OpenFileRequest& request) override;
    int showModal(QDialog& dialog) override;

private:
    platform::Dialogs::ScopedResponder guard_;
    std::deque<platform::DialogAnswer> messageAnswers_;
    std::deque<std::optional<QString>> inputAnswers_;
    std::deque<std::optional<QString>> saveAnswers_;
    std::deque<std::optional<QString>> openAnswers_;
    std::deque<ModalScript> modalScripts_;
    std::vector<platform::MessageRequest> messages_;
    std::vector<QString> modalDialogs_;
    std::vector<platform::InputRequest> inputs_;
    int saveRequests_ = 0;
    std::vector<platform::OpenFileRequest> openRequests_;
};

} // namespace testing_support
