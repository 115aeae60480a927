#include "platform/Dialogs.h"
#include "tests/support/ScriptedDialogs.h"

#include <QDialog>

#include <gtest/gtest.h>

#include <stdexcept>

using platform::DialogAnswer;
using platform::MessageIcon;
namespace Dialogs = platform::Dialogs;

TEST(ScriptedDialogs, AnswerMessagesInOrderAndRecordThem) {
    testing_support::ScriptedDialogs dialogs;
    dialogs.answerNextMessage(DialogAnswer::Cancel);

    EXPECT_EQ(Dialogs::message({nullptr, "uno", "Error", MessageIcon::Error, {}, {}}),
              DialogAnswer::Cancel);
    EXPECT_EQ(Dialogs::message({nullptr, "dos", "Error", MessageIcon::Error, {}, {}}),
              DialogAnswer::Ok);
    ASSERT_EQ(dialogs.messages().size(), 2u);
    EXPECT_EQ(dialogs.messages()[0].text, "uno");
    EXPECT_EQ(dialogs.messages()[1].text, "dos");
}

TEST(ScriptedDialogs, ModalDialogsRunTheirScriptOrAreRejected) {
    testing_support::ScriptedDialogs dialogs;
    QDialog dialog;
    dialog.setObjectName("Prueba");
    dialogs.onNextModal([](QDialog&) { return int(QDialog::Accepted); });

    EXPECT_EQ(Dialogs::showModal(dialog), QDialog::Accepted);
    EXPECT_EQ(Dialogs::showModal(dialog), QDialog::Rejected);
    EXPECT_EQ(dialogs.modalDialogs(), (std::vector<QString>{"Prueba", "Prueba"}));
}

TEST(ScriptedDialogs, ExceptionsAreShownAsErrorBoxes) {
    testing_support::ScriptedDialogs dialogs;
    Dialogs::showException(std::runtime_error("fallo"));
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].text, "fallo");
    EXPECT_EQ(dialogs.messages()[0].icon, MessageIcon::Error);
}
