#include "app/Comunica.h"
#include "app/ConsoleSettings.h"
#include "app/Main.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempSettings.h"
#include "ui_Comunica.h"
#include "ui_Main.h"

#include <QFileInfo>
#include <QTest>

#include <gtest/gtest.h>

using testing_support::ScriptedDialogs;
using testing_support::TempSettings;

namespace {

void clickOk(TFConfigura& dialog) {
    QTest::mouseClick(dialog.ui().BitBtn1, Qt::LeftButton);
}

QWidget* nextTabStop(QWidget* widget) {
    QWidget* next = widget->nextInFocusChain();
    while (next != widget && !(next->focusPolicy() & Qt::TabFocus))
        next = next->nextInFocusChain();
    return next;
}

} // namespace

TEST(StartupSettings, EmptyStoreGivesDefaultsAndCreatesTheKeyEmpty) {
    TempSettings temp;
    ASSERT_FALSE(QFileInfo::exists(temp.file()));

    const auto read = settings::readStartupSettings();

    EXPECT_EQ(read.values.portName, "COM2");
    EXPECT_EQ(read.values.modeString, "9600,n,8,1");
    EXPECT_EQ(read.values.retardo, 15);
    EXPECT_EQ(read.values.intervalo, 100);
    EXPECT_TRUE(read.unreadable.empty());
    EXPECT_TRUE(QFileInfo::exists(temp.file()));
    EXPECT_EQ(QFileInfo(temp.file()).size(), 0);
}

TEST(StartupSettings, StoredValuesReplaceDefaults) {
    TempSettings temp;
    temp.store("Puerto Comm", "/dev/ttyUSB0");
    temp.store("Cadena", "19200,e,7,2");
    temp.store("Retardo", 3);
    temp.store("Intervalo", 40);

    const auto read = settings::readStartupSettings();

    EXPECT_EQ(read.values.portName, "/dev/ttyUSB0");
    EXPECT_EQ(read.values.modeString, "19200,e,7,2");
    EXPECT_EQ(read.values.retardo, 3);
    EXPECT_EQ(read.values.intervalo, 40);
}

TEST(StartupSettings, WrongTypeKeepsThatDefaultAndReadsTheRest) {
    TempSettings temp;
    temp.store("Retardo", "rápido");
    temp.store("Intervalo", 250);
    temp.store("Puerto Comm", "COM4");

    const auto read = settings::readStartupSettings();

    EXPECT_EQ(read.unreadable, (std::vector<settings::UnreadableValue>{{"Retardo", 15}}));
    EXPECT_EQ(read.values.retardo, 15);
    EXPECT_EQ(read.values.intervalo, 250);
    EXPECT_EQ(read.values.portName, "COM4");
}

TEST(StartupSettings, HandEditedModeStringWithoutQuotesIsReadWhole) {
    TempSettings temp;
    temp.store("Cadena", QStringList{"4800", "o", "8", "1"});
    EXPECT_EQ(settings::readStartupSettings().values.modeString, "4800,o,8,1");
}

TEST(StartupSettings, MainWindowReportsTheUnreadableValueAndCarriesOn) {
    TempSettings temp;
    temp.store("Retardo", "mucho");
    temp.store("Intervalo", 77);
    temp.store("Puerto Comm", "/nonexistent/marlo-port");
    ScriptedDialogs dialogs;

    TForm1 form;

    ASSERT_FALSE(dialogs.messages().empty());
    const auto& box = dialogs.messages().front();
    EXPECT_EQ(box.caption, "Error");
    EXPECT_EQ(box.icon, platform::MessageIcon::Error);
    EXPECT_EQ(box.text, "El valor \"Retardo\" de la configuración no se puede leer. Se usa 15.");
    EXPECT_EQ(box.owner, &form);
    EXPECT_EQ(form.state().Retardo, 15);
    EXPECT_EQ(form.state().Intervalo, 77);
    EXPECT_EQ(form.state().DriveSpeed, 10) << "the start-up went on after the bad value";
    EXPECT_EQ(form.ui().Rxtext->text(), "Sin joystick");
}

TEST(PortDialog, FirstRunShowsDefaultsAndOkStoresAllFour) {
    TempSettings temp;
    ScriptedDialogs dialogs;
    TFConfigura dialog;

    EXPECT_EQ(dialog.windowTitle(), "Datos puerto");
    EXPECT_EQ(dialog.size(), QSize(347, 275));
    EXPECT_EQ(dialog.ui().Edit1->text(), "9600,n,8,1");
    EXPECT_EQ(dialog.ui().Edit2->text(), "COM1");
    EXPECT_EQ(dialog.ui().Edit3->text(), "15");
    EXPECT_EQ(dialog.ui().Edit4->text(), "100");

    clickOk(dialog);

    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(temp.stored("Cadena").toString(), "9600,n,8,1");
    EXPECT_EQ(temp.stored("Puerto Comm").toString(), "COM1");
    EXPECT_EQ(temp.stored("Retardo").toInt(), 15);
    EXPECT_EQ(temp.stored("Intervalo").toInt(), 100);
    EXPECT_EQ(settings::readStartupSettings().values.portName, "COM1");
}

TEST(PortDialog, ReopeningShowsTheStoreNotTheRunningValues) {
    TempSettings temp;
    ScriptedDialogs dialogs;
    {
        TFConfigura dialog;
        dialog.ui().Edit1->setText("115200,n,8,1");
        dialog.ui().Edit2->setText("ttyUSB1");
        dialog.ui().Edit3->setText("7");
        dialog.ui().Edit4->setText("50");
        clickOk(dialog);
    }
    TFConfigura reopened;
    EXPECT_EQ(reopened.ui().Edit1->text(), "115200,n,8,1");
    EXPECT_EQ(reopened.ui().Edit2->text(), "ttyUSB1");
    EXPECT_EQ(reopened.ui().Edit3->text(), "7");
    EXPECT_EQ(reopened.ui().Edit4->text(), "50");
}

TEST(PortDialog, NonIntegerStopsSavingAtThatValueAndKeepsTheDialogOpen) {
    TempSettings temp;
    temp.store("Intervalo", 100);
    ScriptedDialogs dialogs;
    TFConfigura dialog;
    dialog.show();
    dialog.ui().Edit3->setText("30");
    dialog.ui().Edit4->setText("diez");

    clickOk(dialog);

    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), 0);
    EXPECT_EQ(temp.stored("Retardo").toInt(), 30);
    EXPECT_EQ(temp.stored("Intervalo").toInt(), 100);
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_TRUE(dialogs.messages()[0].text.contains("diez"));

    dialog.ui().Edit3->setText("x");
    clickOk(dialog);
    EXPECT_EQ(temp.stored("Retardo").toInt(), 30) << "a bad pause is not written";
    EXPECT_EQ(temp.stored("Cadena").toString(), "9600,n,8,1") << "values before it are";
}

TEST(PortDialog, UnreadableStoredValueIsShownAndTheDialogOpensWithWhatWasRead) {
    TempSettings temp;
    temp.store("Puerto Comm", "COM3");
    temp.store("Retardo", "abc");
    temp.store("Intervalo", 60);
    ScriptedDialogs dialogs;

    TFConfigura dialog;

    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialog.ui().Edit2->text(), "COM3");
    EXPECT_EQ(dialog.ui().Edit3->text(), "15");
    EXPECT_EQ(dialog.ui().Edit4->text(), "60") << "each value is read on its own";

    dialog.ui().Edit3->setText("20");
    clickOk(dialog);
    EXPECT_EQ(temp.stored("Retardo").toInt(), 20);
    EXPECT_EQ(temp.stored("Intervalo").toInt(), 60) << "the stored interval is kept";
}

TEST(PortDialog, NonIntegerIsReportedByTheHandlerItself) {
    TempSettings temp;
    ScriptedDialogs dialogs;
    TFConfigura dialog;
    dialog.show();
    dialog.ui().Edit4->setText("diez");

    EXPECT_NO_THROW(dialog.BitBtn1Click());

    EXPECT_TRUE(dialog.isVisible());
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].text, "\"diez\" no es un número entero válido");
    EXPECT_EQ(dialogs.messages()[0].icon, platform::MessageIcon::Error);
}

TEST(PortDialog, TabOrderAndCloseBoxLeavesWithoutSaving) {
    TempSettings temp;
    ScriptedDialogs dialogs;
    TFConfigura dialog;
    auto& ui = dialog.ui();
    EXPECT_EQ(nextTabStop(ui.Edit1), ui.Edit2);
    EXPECT_EQ(nextTabStop(ui.Edit2), ui.BitBtn1);
    EXPECT_EQ(nextTabStop(ui.BitBtn1), ui.Edit3);
    EXPECT_EQ(nextTabStop(ui.Edit3), ui.Edit4);

    dialog.show();
    ui.Edit2->setText("COM9");
    dialog.close();
    EXPECT_FALSE(temp.stored("Puerto Comm").isValid());
}
