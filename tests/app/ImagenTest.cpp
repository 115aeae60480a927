#include "app/ConsoleSettings.h"
#include "app/Main.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempSettings.h"
#include "tests/support/WorkingFolder.h"

#include <QFileInfo>
#include <QTest>

#include <gtest/gtest.h>

using platform::PictureSize;

TEST(ImagenSetting, StoredTextsAreReadAndAnyOtherIsReportedKeepingTheStandardSize) {
    const struct {
        std::optional<QVariant> stored;
        PictureSize read;
        bool unreadable;
    } cases[] = {
        {std::nullopt, PictureSize::Standard, false},
        {"352x288", PictureSize::Standard, false},
        {"nativo", PictureSize::Own, false},
        {" NATIVO ", PictureSize::Own, false},
        {"352X288", PictureSize::Standard, false},
        {"nativa", PictureSize::Standard, true},
        {"1280x720", PictureSize::Standard, true},
        {"", PictureSize::Standard, true},
        {7, PictureSize::Standard, true},
        {QStringList{"nativo", "x"}, PictureSize::Standard, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored ? c.stored->toString().toStdString() : "nothing");
        testing_support::TempSettings temp;
        temp.store("Retardo", 3);
        if (c.stored)
            temp.store("Imagen", *c.stored);
        const settings::StartupRead read = settings::readStartupSettings();
        EXPECT_EQ(read.values.imagen, c.read);
        EXPECT_EQ(read.values.retardo, 3) << "the other values are read all the same";
        ASSERT_EQ(read.unreadable.size(), c.unreadable ? 1u : 0u);
        if (c.unreadable) {
            EXPECT_EQ(settings::unreadableSettingMessage(read.unreadable[0]),
                      "El valor \"Imagen\" de la configuración no se puede leer. Se usa 352x288.");
        }
    }
}

TEST(ImagenSetting, TheChoiceIsStoredAndReadBack) {
    testing_support::TempSettings temp;
    for (const PictureSize size : {PictureSize::Own, PictureSize::Standard, PictureSize::Own}) {
        ASSERT_TRUE(settings::storeImagen(size));
        EXPECT_EQ(settings::readStartupSettings().values.imagen, size);
    }
    EXPECT_EQ(temp.stored("Imagen").toString(), "nativo");
}

namespace {

struct ImagenWindow : ::testing::Test {
    testing_support::MissingPortSettings settings;
    testing_support::ScriptedDialogs dialogs;
    testing_support::WorkingFolder folder;

    static bool surfaceIs(TForm1& form, QSize size) {
        return QTest::qWaitFor(
            [&] {
                auto lock = form.surface().lock();
                return QSize(form.surface().width(), form.surface().height()) == size;
            },
            10000);
    }
    qint64 stillBytes(TForm1& form, const QString& name) {
        EXPECT_EQ(form.TakePicture(folder.path(name)), platform::DiskError::None);
        return QFileInfo(folder.path(name)).size();
    }
};

} // namespace

TEST_F(ImagenWindow, TheStoredChoiceAndTheMenusTakeTheNextFramesOfTheRunningCamera) {
    settings.store("Imagen", "nativo");
    TForm1 form(nullptr, QStringLiteral("test:640x480"));
    EXPECT_EQ(form.imagen(), PictureSize::Own);
    ASSERT_TRUE(surfaceIs(form, {640, 480}));
    EXPECT_EQ(stillBytes(form, "propia.bmp"), 54 + 640 * 3 * 480);

    form.ChooseImagen(PictureSize::Standard);
    EXPECT_TRUE(form.capture().running());
    ASSERT_TRUE(surfaceIs(form, {352, 288}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.pipeline().FrameCount > 0; }, 10000));
    EXPECT_EQ(stillBytes(form, "estandar.bmp"), 304182);
    EXPECT_EQ(settings.stored("Imagen").toString(), "352x288");

    form.ChooseImagen(PictureSize::Own);
    ASSERT_TRUE(surfaceIs(form, {640, 480}));
    EXPECT_EQ(settings.stored("Imagen").toString(), "nativo");
    EXPECT_EQ(form.rawPicture().size(), QSize(640, 480)) << "the clipboard gets the whole picture";
}

TEST_F(ImagenWindow, AnUnreadableChoiceIsReportedAndTheStandardSizeUsed) {
    settings.store("Imagen", "enorme");
    TForm1 form(nullptr, QStringLiteral("test:640x480"));
    EXPECT_EQ(form.imagen(), PictureSize::Standard);
    ASSERT_FALSE(dialogs.messages().empty());
    EXPECT_EQ(dialogs.messages()[0].text,
              "El valor \"Imagen\" de la configuración no se puede leer. Se usa 352x288.");
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.pipeline().FrameCount > 2; }, 10000));
    EXPECT_EQ(stillBytes(form, "foto.bmp"), 304182);
}
