#include "app/Comunica.h"
#include "app/ConsoleSettings.h"
#include "app/Main.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempSettings.h"
#include "ui_Comunica.h"
#include "ui_Main.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <array>
#include <tuple>

using testing_support::MissingPortSettings;
using testing_support::ScriptedDialogs;
using testing_support::TempSettings;

namespace {

void clickOk(TFConfigura& dialog) {
    QTest::mouseClick(dialog.ui().BitBtn1, Qt::LeftButton);
}

// Mode string, port, pause and interval, as the dialog shows them and as they are stored.
std::array<QLineEdit*, 4> edits(TFConfigura& dialog) {
    auto& ui = dialog.ui();
    return {ui.Edit1, ui.Edit2, ui.Edit3, ui.Edit4};
}

QStringList fields(TFConfigura& dialog) {
    QStringList values;
    for (QLineEdit* edit : edits(dialog))
        values << edit->text();
    return values;
}

void fill(TFConfigura& dialog, const QStringList& values) {
    for (int i = 0; i < 4; ++i)
        edits(dialog)[std::size_t(i)]->setText(values[i]);
}

QStringList stored(const TempSettings& temp) {
    QStringList values;
    for (const char* name : {"Cadena", "Puerto Comm", "Retardo", "Intervalo"})
        values << temp.stored(name).toString();
    return values;
}

QStringList readValues(const settings::StartupRead& read) {
    const settings::ConsoleSettings& v = read.values;
    return {v.modeString, v.portName, QString::number(v.retardo), QString::number(v.intervalo)};
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

    EXPECT_EQ(readValues(read), QStringList({"9600,n,8,1", "COM2", "15", "100"}));
    EXPECT_TRUE(read.unreadable.empty());
    EXPECT_TRUE(QFileInfo::exists(temp.file()));
    EXPECT_EQ(QFileInfo(temp.file()).size(), 0);
}

TEST(StartupSettings, StoredValuesReplaceDefaultsAndAHandEditedModeStringIsReadWhole) {
    TempSettings temp;
    temp.store("Cadena", QStringList{"19200", "e", "7", "2"});
    temp.store("Puerto Comm", "/dev/ttyUSB0");
    temp.store("Retardo", 3);
    temp.store("Intervalo", 40);
    EXPECT_EQ(readValues(settings::readStartupSettings()),
              QStringList({"19200,e,7,2", "/dev/ttyUSB0", "3", "40"}));
}

TEST(StartupSettings, WrongTypeKeepsThatDefaultAndReadsTheRest) {
    TempSettings temp;
    temp.store("Retardo", "rápido");
    temp.store("Intervalo", 250);
    temp.store("Puerto Comm", "COM4");

    const auto read = settings::readStartupSettings();

    EXPECT_EQ(read.unreadable, (std::vector<settings::UnreadableValue>{{"Retardo", 15}}));
    EXPECT_EQ(readValues(read), QStringList({"9600,n,8,1", "COM4", "15", "250"}));
}

TEST(StartupSettings, MainWindowReportsEachValueItCannotUseAndRunsWithWhatItUsesInstead) {
    MissingPortSettings temp;
    temp.store("Retardo", 1000);
    temp.store("Intervalo", "mucho");
    ScriptedDialogs dialogs;

    TForm1 form;

    ASSERT_GE(dialogs.messages().size(), 2u);
    EXPECT_EQ(dialogs.messages()[0].text, "El valor \"Retardo\" de la configuración está fuera "
                                          "del intervalo de 0 a 100. Se usa 100.");
    EXPECT_EQ(dialogs.messages()[1].text,
              "El valor \"Intervalo\" de la configuración no se puede leer. Se usa 100.");
    for (const auto& box : {dialogs.messages()[0], dialogs.messages()[1]})
        EXPECT_EQ(std::tuple(box.caption, box.icon, box.owner),
                  std::tuple(QString("Error"), platform::MessageIcon::Error, &form));
    EXPECT_EQ(std::tuple(form.state().Retardo, form.link()->retardo(), form.state().Intervalo),
              std::tuple(100, 100, 100));
    EXPECT_EQ(form.state().DriveSpeed, 10) << "the start-up went on after the bad values";
    EXPECT_EQ(form.ui().Rxtext->text(), testing_support::afterLostLink + "Sin joystick");
}

TEST(PortDialog, FirstRunShowsDefaultsAndOkStoresAllFour) {
    TempSettings temp;
    ScriptedDialogs dialogs;
    TFConfigura dialog;

    EXPECT_EQ(dialog.windowTitle(), "Datos puerto");
    EXPECT_EQ(dialog.size(), QSize(347, 275));
    EXPECT_EQ(fields(dialog), QStringList({"9600,n,8,1", "COM1", "15", "100"}));

    clickOk(dialog);

    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(stored(temp), QStringList({"9600,n,8,1", "COM1", "15", "100"}));
    EXPECT_EQ(settings::readStartupSettings().values.portName, "COM1");
}

TEST(PortDialog, ReopeningShowsTheStoreNotTheRunningValues) {
    TempSettings temp;
    ScriptedDialogs dialogs;
    const QStringList values{"115200,n,8,1", "ttyUSB1", "7", "50"};
    {
        TFConfigura dialog;
        fill(dialog, values);
        clickOk(dialog);
    }
    TFConfigura reopened;
    EXPECT_EQ(fields(reopened), values);
}

TEST(PortDialog, NonIntegerIsReportedByTheHandlerWhichStopsSavingThereAndKeepsTheDialogOpen) {
    TempSettings temp;
    temp.store("Intervalo", 100);
    ScriptedDialogs dialogs;
    TFConfigura dialog;
    dialog.show();
    fill(dialog, {"4800,o,8,1", "COM5", "30", "diez"});

    EXPECT_NO_THROW(dialog.BitBtn1Click());

    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), 0);
    EXPECT_EQ(stored(temp), QStringList({"4800,o,8,1", "COM5", "30", "100"}));
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].text, "\"diez\" no es un número entero válido");
    EXPECT_EQ(dialogs.messages()[0].icon, platform::MessageIcon::Error);

    fill(dialog, {"9600,n,8,1", "COM6", "x", "20"});
    clickOk(dialog);
    EXPECT_EQ(stored(temp), QStringList({"9600,n,8,1", "COM6", "30", "100"}))
        << "values before a bad pause are written, it and those after it are not";
}

TEST(PortDialog, UnreadableStoredValueIsShownAndTheDialogOpensWithWhatWasRead) {
    TempSettings temp;
    temp.store("Puerto Comm", "COM3");
    temp.store("Retardo", "abc");
    temp.store("Intervalo", 60);
    ScriptedDialogs dialogs;

    TFConfigura dialog;

    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(fields(dialog), QStringList({"9600,n,8,1", "COM3", "15", "60"}))
        << "each value is read on its own";

    dialog.ui().Edit3->setText("20");
    clickOk(dialog);
    EXPECT_EQ(stored(temp), QStringList({"9600,n,8,1", "COM3", "20", "60"}));
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
