#include "app/Main.h"
#include "tests/support/FrameFeed.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempSettings.h"
#include "tests/support/WorkingFolder.h"
#include "tests/video/VideoFiles.h"
#include "ui_Main.h"
#include "widgets/Vrthreads.h"

#include <QTest>

#include <gtest/gtest.h>

using testing_support::afterLostLink;

namespace {

using video_test::Probe;

struct RecordingWindow : ::testing::Test {
    testing_support::MissingPortSettings settings;
    testing_support::ScriptedDialogs dialogs;
    testing_support::WorkingFolder folder;
    std::unique_ptr<TForm1> form = std::make_unique<TForm1>();

    RecordingWindow() { form->show(); }
    Ui::TForm1& ui() { return form->ui(); }
    void feed(int frames) {
        testing_support::feedFrames(*form, frames, [](int i) { return std::uint8_t(i); });
    }
    // One recording of a few frames; the name of its file.
    std::string record(int frames) {
        const std::string name = "00" + std::to_string(form->state().VideoNumber) + "video.avi";
        form->RecordClick();
        EXPECT_EQ(form->state().VideoFileName.toStdString(), name);
        EXPECT_TRUE(ui().Led->EnableBlinking());
        EXPECT_FALSE(ui().Record->isEnabled());
        EXPECT_FALSE(form->pipeline().controls.FramesPaused);
        feed(frames);
        form->StopRecordClick();
        EXPECT_FALSE(ui().Led->EnableBlinking());
        EXPECT_EQ(ui().Led->ColorIndex(), 1);
        EXPECT_TRUE(ui().Record->isEnabled());
        EXPECT_TRUE(form->recorder().waitUntilClosed(video_test::patience));
        return name;
    }
};

} // namespace

TEST_F(RecordingWindow, EachStartTakesTheIntervalAndTheCompressionSwitchAndNothingAfterTheStop) {
    form->state().Intervalo = 40;
    const std::string plain = record(6);
    feed(2);
    EXPECT_EQ(video_test::probe(plain), (Probe{"rawvideo", 352, 288, 6}));
    const auto h = video_test::readHeaders(plain);
    EXPECT_EQ(std::tuple(h.handler, h.scale, h.microSecPerFrame),
              std::tuple(video::fourCc("DIB "), 40u, 40000u));
    QTest::mouseClick(ui().Comprime, Qt::LeftButton);
    ASSERT_TRUE(ui().Comprime->Active());
    form->state().Intervalo = 100;
    const std::string compressed = record(3);
    EXPECT_EQ(video_test::probe(compressed), (Probe{"mjpeg", 352, 288, 3}));
    EXPECT_EQ(video_test::readHeaders(compressed).scale, 100u);
}

TEST_F(RecordingWindow, StartWhileRecordingAndStopWhileIdleChangeOnlyTheStatusLine) {
    const int number = form->state().VideoNumber;
    form->StopRecordClick();
    EXPECT_EQ(ui().Rxtext->text(), afterLostLink + "Botón 5: Fin secuencia de vídeo");
    EXPECT_FALSE(ui().Led->EnableBlinking());
    EXPECT_TRUE(folder.files().isEmpty());

    form->RecordClick();
    ASSERT_TRUE(form->state().Recording);
    ui().Rxtext->setText(QString());
    form->RecordClick();
    EXPECT_EQ(ui().Rxtext->text(), afterLostLink + "Botón 5: Secuencia de vídeo");
    EXPECT_EQ(form->state().VideoNumber, number + 1);
    EXPECT_TRUE(form->recorder().recording());
    EXPECT_EQ(folder.files().size(), 1);
    form->StopRecordClick();
}

TEST_F(RecordingWindow, TitleDialogAsksWithItsCaptionAndCancelKeepsTheTitle) {
    dialogs.answerNextInput(QStringLiteral("Tramo 7"));
    dialogs.answerNextInput(std::nullopt);
    dialogs.answerNextInput(QString());
    form->VrDemoButton1Click();
    EXPECT_EQ(form->pipeline().TitleText.get(), "Tramo 7");
    form->VrDemoButton1Click();
    EXPECT_EQ(form->pipeline().TitleText.get(), "Tramo 7") << "Cancel";
    form->VrDemoButton1Click();
    EXPECT_EQ(form->pipeline().TitleText.get(), "") << "an empty text clears it";
    ASSERT_EQ(dialogs.inputs().size(), 3u);
    EXPECT_EQ(dialogs.inputs()[0].caption, "Texto");
    EXPECT_EQ(dialogs.inputs()[0].prompt, "Línea Mensaje");
    EXPECT_EQ(dialogs.inputs()[0].initial, "");
    EXPECT_EQ(dialogs.inputs()[1].initial, "Tramo 7");
    EXPECT_EQ(dialogs.inputs()[2].initial, "Tramo 7");
}
