#include "app/Main.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempSettings.h"
#include "tests/support/WorkingFolder.h"
#include "tests/video/VideoFiles.h"
#include "ui_Main.h"
#include "widgets/Vrthreads.h"

#include <QDir>
#include <QTest>

#include <gtest/gtest.h>

using testing_support::ScriptedDialogs;
using testing_support::TempSettings;
using testing_support::WorkingFolder;
using video_test::Headers;

namespace {

std::vector<std::uint8_t> uniformFrame(std::uint8_t value) {
    return std::vector<std::uint8_t>(video::frameBytes, value);
}

// A console without a robot whose settings a test may change before the window is made.
struct RecordingWindow : ::testing::Test {
    TempSettings settings;
    ScriptedDialogs dialogs;
    WorkingFolder folder;
    std::unique_ptr<TForm1> form;

    void open() {
        settings.store("Puerto Comm", "/nonexistent/marlo-port");
        form = std::make_unique<TForm1>();
        form->show();
    }
    Ui::TForm1& ui() { return form->ui(); }
    void feed(const std::vector<std::uint8_t>& frame, int frames = 1) {
        for (int i = 0; i < frames; ++i)
            form->FrameCallback(frame.data(), video::frameWidth, video::frameHeight);
    }
    // One recording of a few frames; the header of its file.
    Headers record() {
        const QString name = QStringLiteral("00%1video.avi").arg(form->state().VideoNumber);
        form->RecordClick();
        feed(uniformFrame(60), 3);
        form->StopRecordClick();
        EXPECT_TRUE(form->recorder().waitUntilClosed(std::chrono::seconds(10)));
        return video_test::readHeaders(folder.path(name).toStdString());
    }
};

} // namespace

TEST_F(RecordingWindow, CompressionSwitchIsReadAtEachStart) {
    open();
    const Headers plain = record();
    EXPECT_EQ(plain.handler, video::fourCc("DIB "));
    EXPECT_EQ(plain.compression, 0u);
    EXPECT_EQ(plain.scale, 100u) << "Intervalo 100 when the settings hold none";
    EXPECT_EQ(plain.microSecPerFrame, 100000u);
    QTest::mouseClick(ui().Comprime, Qt::LeftButton);
    ASSERT_TRUE(ui().Comprime->Active());
    const Headers compressed = record();
    EXPECT_EQ(compressed.handler, video::fourCc("MJPG"));
    EXPECT_EQ(compressed.compression, video::fourCc("MJPG"));
    EXPECT_EQ(compressed.length, 3u);
}

TEST_F(RecordingWindow, IntervaloSettingIsTheDeclaredFramePeriod) {
    settings.store("Intervalo", 40);
    open();
    const Headers header = record();
    EXPECT_EQ(header.scale, 40u);
    EXPECT_EQ(header.rate, 1000u);
    EXPECT_EQ(header.microSecPerFrame, 40000u);
}

TEST_F(RecordingWindow, StartThatCannotCreateItsFileStillAdvancesTheNumber) {
    open();
    const int number = form->state().VideoNumber;
    // A working folder removed under the console: nothing can be created there, even by root.
    QDir().mkdir(folder.path("gone"));
    QDir::setCurrent(folder.path("gone"));
    QDir().rmdir(folder.path("gone"));
    form->RecordClick();
    QDir::setCurrent(folder.path("."));
    EXPECT_TRUE(ui().Rxtext->text().startsWith("Vídeo no grabado"))
        << ui().Rxtext->text().toStdString();
    EXPECT_EQ(form->state().VideoNumber, number + 1);
    EXPECT_FALSE(form->state().Recording);
    EXPECT_FALSE(ui().Led->EnableBlinking()) << "a failed start leaves the lamp as it was";
    EXPECT_TRUE(ui().Record->isEnabled());
}

TEST_F(RecordingWindow, TitleDialogAsksWithItsCaptionAndCancelKeepsTheTitle) {
    open();
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

TEST_F(RecordingWindow, FramesAreCountedWhileTheRateIsHiddenAndShownAtTheFirstTick) {
    open();
    ASSERT_FALSE(form->TimerFPS->Enabled());
    feed(uniformFrame(0), 7);
    EXPECT_EQ(form->pipeline().FrameCount, 7);
    QTest::mouseClick(ui().VrPowerButton6, Qt::LeftButton);
    EXPECT_TRUE(form->TimerFPS->Enabled());
    form->TimerFPSTimer();
    EXPECT_EQ(form->pipeline().FpsText.get(), "FPS: 7");
}
