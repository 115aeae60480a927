#include "app/ConsoleSettings.h"
#include "app/Main.h"
#include "tests/support/ContextMenu.h"
#include "tests/support/FrameFeed.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempSettings.h"
#include "tests/support/WorkingFolder.h"
#include "tests/video/VideoFiles.h"
#include "ui_Main.h"

#include <QApplication>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

using testing_support::afterLostLink;
using video::VideoFormat;
using video_test::Probe;

namespace {

// Opens the window's context menu and picks the entry of its submenu, as the operator would;
// false when the submenu is disabled.
bool chooseInContextMenu(QWidget& window, const QString& submenu, const QString& entry) {
    bool chosen = false;
    testing_support::withContextMenu(window, [&](QMenu& menu) {
        for (QAction* action : menu.actions())
            if (action->text() == submenu && action->menu() && action->isEnabled())
                for (QAction* inner : action->menu()->actions())
                    if (inner->text() == entry) {
                        inner->trigger();
                        chosen = true;
                    }
    });
    return chosen;
}

struct Mp4Window : ::testing::Test {
    testing_support::MissingPortSettings settings;
    testing_support::ScriptedDialogs dialogs;
    testing_support::WorkingFolder folder;
    std::unique_ptr<TForm1> form;

    void open() {
        form = std::make_unique<TForm1>();
        form->show();
    }
    Ui::TForm1& ui() { return form->ui(); }
    void feed(int frames) {
        testing_support::feedFrames(*form, frames, [](int i) { return std::uint8_t(i); });
    }
    std::string record(int frames) {
        form->RecordClick();
        const std::string name = form->state().VideoFileName.toStdString();
        feed(frames);
        form->StopRecordClick();
        EXPECT_TRUE(form->recorder().waitUntilClosed(video_test::patience));
        return name;
    }
    void expectShown(VideoFormat format) {
        const bool mp4 = format == VideoFormat::Mp4;
        EXPECT_EQ(ui().FormatoVideo->isVisible(), mp4);
        EXPECT_EQ(ui().Comprime->isEnabled(), !mp4) << "Compresión is for AVI only";
    }
};

} // namespace

// Chosen in the menu, stored, shown, and the recording G..P leaves one .mp4; AVI again gives
// an .avi with "Compresión" as it was.
TEST_F(Mp4Window, TheFormatChosenInTheMenuIsStoredShownAndRecorded) {
    open();
    expectShown(VideoFormat::Avi);
    QTest::mouseClick(ui().Comprime, Qt::LeftButton);
    ASSERT_TRUE(
        chooseInContextMenu(*form, QStringLiteral("Formato de vídeo"), QStringLiteral("MP4")));
    EXPECT_EQ(settings.stored("Formato").toString(), "MP4");
    expectShown(VideoFormat::Mp4);
    const std::string mp4 = record(12);
    EXPECT_EQ(mp4, "00" + std::to_string(form->state().VideoNumber - 1) + "video.mp4");
    EXPECT_EQ(folder.files(), QStringList{QString::fromStdString(mp4)});
    EXPECT_EQ(video_test::probe(mp4), (Probe{"h264", 352, 288, 12}));

    form->RecordClick();
    EXPECT_FALSE(
        chooseInContextMenu(*form, QStringLiteral("Formato de vídeo"), QStringLiteral("AVI")))
        << "a running recording keeps its format";
    EXPECT_EQ(settings.stored("Formato").toString(), "MP4");
    form->StopRecordClick();
    ASSERT_TRUE(form->recorder().waitUntilClosed(video_test::patience));
    ASSERT_TRUE(
        chooseInContextMenu(*form, QStringLiteral("Formato de vídeo"), QStringLiteral("AVI")));
    EXPECT_EQ(settings.stored("Formato").toString(), "AVI");
    expectShown(VideoFormat::Avi);
    const std::string avi = record(3);
    EXPECT_EQ(video_test::probe(avi), (Probe{"mjpeg", 352, 288, 3}));
}

TEST_F(Mp4Window, TheStoredFormatIsUsedAndAnUnreadableOneIsToldAndGivesAvi) {
    struct Row {
        const char* stored;
        VideoFormat format;
        const char* message;
    };
    for (const Row row :
         {Row{"MP4", VideoFormat::Mp4, nullptr}, Row{"AVI", VideoFormat::Avi, nullptr},
          Row{" mp4 ", VideoFormat::Mp4, nullptr},
          Row{"H.264", VideoFormat::Avi,
              "El valor \"Formato\" de la configuración no se puede leer. Se usa AVI."}}) {
        SCOPED_TRACE(row.stored);
        settings.store("Formato", row.stored);
        settings.store("Intervalo", 40);
        const auto read = settings::readStartupSettings();
        EXPECT_EQ(read.values.formato, row.format);
        EXPECT_EQ(read.values.intervalo, 40) << "the other values are read all the same";
        const std::size_t before = dialogs.messages().size();
        open();
        QStringList told;
        for (std::size_t n = before; n < dialogs.messages().size(); ++n)
            if (dialogs.messages()[n].text.contains("Formato"))
                told << dialogs.messages()[n].text;
        EXPECT_EQ(told, row.message ? QStringList{QString::fromUtf8(row.message)} : QStringList());
        expectShown(row.format);
        form.reset();
    }
}

// A picture of another size ends the file, the next one starts at once and the status line
// says why.
TEST_F(Mp4Window, APictureOfAnotherSizeContinuesInTheNextFile) {
    settings.store("Formato", "MP4");
    open();
    form->RecordClick();
    const QString first = form->state().VideoFileName;
    feed(3);
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->recorder().framesWritten() == 3; }, 20000));
    form->recorder().addFrame(video_test::TestFrame(1, 320, 240).dib());
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->state().VideoFileName != first; }, 20000));
    EXPECT_TRUE(form->state().Recording);
    EXPECT_TRUE(form->recorder().recording());
    EXPECT_TRUE(form->state().VideoFileName.endsWith(".mp4"));
    EXPECT_EQ(ui().Rxtext->text(),
              afterLostLink + "La imagen cambió de tamaño: el vídeo sigue en otro archivo");
    feed(2);
    form->StopRecordClick();
    ASSERT_TRUE(form->recorder().waitUntilClosed(video_test::patience));
    EXPECT_EQ(video_test::probe(first.toStdString()).frames, 3);
    EXPECT_EQ(video_test::probe(form->state().VideoFileName.toStdString()).frames, 2);
}
