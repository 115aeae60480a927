#include "app/Main.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempSettings.h"
#include "tests/support/WorkingFolder.h"
#include "ui_Main.h"

#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

using input::StatusLine;
using testing_support::MissingPortSettings;
using testing_support::ScriptedDialogs;
using testing_support::WorkingFolder;

TEST(CameraFault, AFailingSourceShowsWhyBesideTheMissingPicture) {
    MissingPortSettings settings;
    ScriptedDialogs dialogs;
    WorkingFolder folder;
    QFile text(folder.path("notas.avi"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("Esto no es un video.\n");
    text.close();
    const std::pair<QString, QString> cases[] = {
        {folder.path("nothing-here.avi"), "Cámara sin imagen: no encontrada"},
        {folder.path("notas.avi"), "Cámara sin imagen: formato no admitido"},
    };
    for (const auto& [source, shown] : cases) {
        SCOPED_TRACE(source.toStdString());
        TForm1 form(nullptr, source);
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return form.ui().Rxtext->text() == testing_support::afterLostLink + shown; },
            10000))
            << form.ui().Rxtext->text().toStdString();
        EXPECT_TRUE(form.statusLine().active(StatusLine::Condition::CameraNoPicture));
        // A key's text covers it only for a moment.
        form.statusLine().show(QStringLiteral("Botón 1: Foto instantánea"));
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return form.ui().Rxtext->text() == testing_support::afterLostLink + shown; },
            10000));
    }
}
