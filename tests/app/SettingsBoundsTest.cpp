#include "app/Comunica.h"
#include "app/ConsoleSettings.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempSettings.h"
#include "ui_Comunica.h"

#include <gtest/gtest.h>

#include <climits>

using testing_support::ScriptedDialogs;
using testing_support::TempSettings;

namespace {

struct BoundCase {
    const char* name;
    int value;
    int used; // at start-up
    bool inRange;
};

// Both ends of both settings, one step inside and one outside, and the extremes of the type.
const BoundCase boundCases[] = {
    {"Retardo", INT_MIN, 0, false},
    {"Retardo", -1, 0, false},
    {"Retardo", 0, 0, true},
    {"Retardo", 100, 100, true},
    {"Retardo", 101, 100, false},
    {"Retardo", INT_MAX, 100, false},
    {"Intervalo", INT_MIN, 1, false},
    {"Intervalo", 0, 1, false},
    {"Intervalo", 1, 1, true},
    {"Intervalo", 10000, 10000, true},
    {"Intervalo", 10001, 10000, false},
    {"Intervalo", INT_MAX, 10000, false},
};

int usedValue(const settings::ConsoleSettings& values, const QString& name) {
    return name == "Retardo" ? values.retardo : values.intervalo;
}

QString rangeText(const QString& name) {
    return name == "Retardo" ? QStringLiteral("0 a 100") : QStringLiteral("1 a 10000");
}

QString refusalText(const BoundCase& c) {
    return (QString(c.name) == "Retardo" ? QStringLiteral("El retardo %1")
                                         : QStringLiteral("El intervalo de vídeo %1"))
               .arg(c.value) +
           QStringLiteral(" está fuera del intervalo de %1 ms.").arg(rangeText(c.name));
}

// The other setting holds a value that differs from its default, so a mix-up shows.
void storeBoth(TempSettings& temp, const BoundCase& c) {
    temp.store("Retardo", 7);
    temp.store("Intervalo", 250);
    temp.store(c.name, c.value);
}

} // namespace

TEST(SettingBounds, StartUpUsesTheNearestBoundAndSaysSo) {
    for (const BoundCase& c : boundCases) {
        SCOPED_TRACE(QStringLiteral("%1 %2").arg(c.name).arg(c.value).toStdString());
        TempSettings temp;
        storeBoth(temp, c);

        const settings::StartupRead read = settings::readStartupSettings();

        EXPECT_EQ(usedValue(read.values, c.name), c.used);
        EXPECT_EQ(usedValue(read.values, c.name == QString("Retardo") ? "Intervalo" : "Retardo"),
                  c.name == QString("Retardo") ? 250 : 7);
        const std::vector<settings::UnreadableValue> expected =
            c.inRange ? std::vector<settings::UnreadableValue>{}
                      : std::vector<settings::UnreadableValue>{{c.name, c.used, true}};
        ASSERT_EQ(read.unreadable, expected);
        if (c.inRange)
            continue;
        EXPECT_EQ(settings::unreadableSettingMessage(read.unreadable[0]),
                  QStringLiteral("El valor \"%1\" de la configuración está fuera del intervalo de "
                                 "%2. Se usa %3.")
                      .arg(c.name, rangeText(c.name))
                      .arg(c.used));
    }
}

TEST(SettingBounds, DialogRefusesOutOfRangeValuesWithTheirRange) {
    for (const BoundCase& c : boundCases) {
        SCOPED_TRACE(QStringLiteral("%1 %2").arg(c.name).arg(c.value).toStdString());
        TempSettings temp;
        ScriptedDialogs dialogs;
        TFConfigura dialog;
        dialog.show();
        dialog.ui().Edit3->setText("7");
        dialog.ui().Edit4->setText("250");
        (c.name == QString("Retardo") ? dialog.ui().Edit3 : dialog.ui().Edit4)
            ->setText(QString::number(c.value));

        EXPECT_NO_THROW(dialog.BitBtn1Click());

        EXPECT_EQ(dialog.isVisible(), !c.inRange);
        std::vector<QString> shown;
        for (const auto& box : dialogs.messages())
            shown.push_back(box.text);
        EXPECT_EQ(shown, c.inRange ? std::vector<QString>{} : std::vector<QString>{refusalText(c)});
        EXPECT_EQ(temp.stored(c.name).isValid(), c.inRange) << "a refused value is not written";
        EXPECT_EQ(temp.stored(c.name).toInt(), c.inRange ? c.value : 0);
    }
}
