#include "app/Main.h"
#include "platform/CaptureSources.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempSettings.h"
#include "tests/support/WorkingFolder.h"
#include "ui_Main.h"
#include "widgets/Vrthreads.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

using testing_support::MissingPortSettings;
using testing_support::ScriptedDialogs;
using testing_support::TempSettings;
using testing_support::WorkingFolder;

namespace {

std::vector<std::uint8_t> gradientFrame(int shift = 0) {
    std::vector<std::uint8_t> frame(video::frameBytes);
    for (std::size_t i = 0; i < frame.size(); ++i)
        frame[i] = static_cast<std::uint8_t>((i / 3 + static_cast<std::size_t>(shift)) % 251);
    return frame;
}

// What an independent reader finds in a recording: width, height, frames, declared rate.
QString probe(const QString& file) {
    QProcess ffprobe;
    ffprobe.start(QStringLiteral("ffprobe"),
                  {"-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
                   "stream=width,height,nb_read_frames,r_frame_rate", "-of", "csv=p=0", file});
    ffprobe.waitForFinished(30000);
    return QString::fromUtf8(ffprobe.readAllStandardOutput()).trimmed();
}

struct VideoWindow : ::testing::Test {
    MissingPortSettings settings;
    ScriptedDialogs dialogs;
    WorkingFolder folder;
    std::unique_ptr<TForm1> form = std::make_unique<TForm1>();

    Ui::TForm1& ui() { return form->ui(); }
    void feed(int frames, int shift = 0) {
        const std::vector<std::uint8_t> frame = gradientFrame(shift);
        for (int i = 0; i < frames; ++i)
            form->FrameCallback(frame.data(), video::frameWidth, video::frameHeight);
    }
    void click(QWidget* widget) {
        form->show();
        QTest::mouseClick(widget, Qt::LeftButton);
    }
    std::vector<std::uint8_t> surfaceBytes() {
        auto lock = form->surface().lock();
        return {form->surface().bits(), form->surface().bits() + video::frameBytes};
    }
    QByteArray fileBytes(const QString& name) {
        QFile file(folder.path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

} // namespace

TEST_F(VideoWindow, StillPictureHoldsTheSurfaceWithEffectAndOverlays) {
    click(ui().VrPowerButton6);
    click(ui().VrPowerButton7);
    click(ui().VrPowerButton5);
    dialogs.answerNextInput(QStringLiteral("Tramo 7"));
    form->VrDemoButton1Click();
    feed(1);
    ASSERT_TRUE(form->TakePicture(QStringLiteral("foto.bmp")));
    const QByteArray file = fileBytes("foto.bmp");
    ASSERT_EQ(file.size(), 304182);
    EXPECT_TRUE(file.startsWith("BM"));
    const std::vector<std::uint8_t> surface = surfaceBytes();
    EXPECT_TRUE(std::equal(surface.begin(), surface.end(),
                           reinterpret_cast<const std::uint8_t*>(file.constData()) + 54));
    EXPECT_NE(surface, gradientFrame()) << "the effect and the overlays are in the picture";
}

TEST_F(VideoWindow, PhotoCommandsCountUpAndNeverReplaceAnEarlierPicture) {
    const QString base = form->state().SnapshotBase;
    feed(1);
    form->PhotoCommand();
    form->PhotoCommand();
    EXPECT_EQ(ui().Rxtext->text(), "Botón 1: Foto instantánea");
    EXPECT_EQ(fileBytes(base + "1.bmp").size(), 304182);
    EXPECT_EQ(fileBytes(base + "2.bmp").size(), 304182);
    QFile earlier(folder.path(base + "3.bmp"));
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write("earlier run");
    earlier.close();
    form->PhotoCommand();
    EXPECT_EQ(fileBytes(base + "3.bmp"), "earlier run");
    EXPECT_EQ(fileBytes(base + "4.bmp").size(), 304182);
    EXPECT_EQ(form->state().SnapshotNumber, 5);
}

TEST_F(VideoWindow, SaveDialogNameGetsABitmapWhateverItsExtension) {
    feed(1);
    dialogs.answerNextSave(folder.path("vista.jpg"));
    form->Panel3DblClick();
    dialogs.answerNextSave(std::nullopt);
    form->Panel3DblClick();
    EXPECT_EQ(dialogs.saveRequests(), 2);
    EXPECT_EQ(folder.files(), QStringList{"vista.jpg"});
    EXPECT_TRUE(fileBytes("vista.jpg").startsWith("BM"));
    EXPECT_EQ(fileBytes("vista.jpg").size(), 304182);
}

TEST_F(VideoWindow, PictureThatCannotBeWrittenIsShownInTheStatusLine) {
    EXPECT_FALSE(form->TakePicture(QStringLiteral("/nonexistent/folder/foto.bmp")));
    EXPECT_TRUE(ui().Rxtext->text().startsWith("Foto no guardada"))
        << ui().Rxtext->text().toStdString();
}

TEST_F(VideoWindow, StartWhileRecordingAndStopWhileIdleChangeOnlyTheStatusLine) {
    const int number = form->state().VideoNumber;
    form->StopRecordClick();
    EXPECT_EQ(ui().Rxtext->text(), "Botón 5: Fin secuencia de vídeo");
    EXPECT_FALSE(ui().Led->EnableBlinking());
    EXPECT_TRUE(ui().Record->isEnabled());
    EXPECT_TRUE(folder.files().isEmpty());

    form->RecordClick();
    ASSERT_TRUE(form->state().Recording);
    EXPECT_EQ(form->state().VideoNumber, number + 1);
    ui().Rxtext->setText(QString());
    form->RecordClick();
    EXPECT_EQ(ui().Rxtext->text(), "Botón 5: Secuencia de vídeo");
    EXPECT_EQ(form->state().VideoNumber, number + 1);
    EXPECT_TRUE(form->recorder().recording());
    EXPECT_EQ(folder.files().size(), 1);
    form->StopRecordClick();
}

TEST_F(VideoWindow, RecordingPlaysInAnIndependentReader) {
    const QString expectedName = QStringLiteral("00%1video.avi").arg(form->state().VideoNumber);
    form->RecordClick();
    EXPECT_EQ(form->state().VideoFileName, expectedName);
    EXPECT_TRUE(ui().Led->EnableBlinking());
    EXPECT_FALSE(ui().Record->isEnabled());
    EXPECT_FALSE(form->pipeline().controls.FramesPaused);
    for (int shift = 0; shift < 6; ++shift)
        feed(1, shift);
    form->StopRecordClick();
    EXPECT_FALSE(ui().Led->EnableBlinking());
    EXPECT_EQ(ui().Led->ColorIndex(), 1);
    EXPECT_TRUE(ui().Record->isEnabled());
    ASSERT_TRUE(form->recorder().waitUntilClosed(std::chrono::seconds(20)));
    EXPECT_EQ(probe(folder.path(expectedName)), "352,288,10/1,6");
    feed(2);
    EXPECT_EQ(probe(folder.path(expectedName)), "352,288,10/1,6") << "no frame after the stop";
}

TEST_F(VideoWindow, RecordingRunningWhenTheWindowGoesIsCompleted) {
    const QString name = QStringLiteral("00%1video.avi").arg(form->state().VideoNumber);
    form->RecordClick();
    feed(3);
    form.reset();
    EXPECT_EQ(probe(folder.path(name)), "352,288,10/1,3");
}

TEST_F(VideoWindow, RateTextRawPictureAndClipboardCopy) {
    click(ui().VrPowerButton6);
    EXPECT_TRUE(form->TimerFPS->Enabled());
    feed(25);
    form->TimerFPSTimer();
    EXPECT_EQ(form->pipeline().FpsText.get(), "FPS: 25");
    const std::vector<std::uint8_t> frame = gradientFrame();
    const QImage raw = video::uprightCopy(frame.data(), video::frameWidth, video::frameHeight);
    EXPECT_EQ(form->rawPicture(), raw);
    form->FormDblClick();
    EXPECT_EQ(QGuiApplication::clipboard()->image().convertToFormat(raw.format()), raw);
}

TEST_F(VideoWindow, EveryCameraStartClearsEffectsAndAnEmptyChoiceKeepsTheCamera) {
    platform::addSource(platform::parseCaptureSource(QStringLiteral("test")));
    click(ui().VrPowerButton5);
    ASSERT_TRUE(form->pipeline().controls.EffectsOn);

    form->Label12DblClick();
    EXPECT_FALSE(form->capture().running());
    EXPECT_TRUE(form->pipeline().controls.EffectsOn) << "no choice, no restart";

    dialogs.onNextModal([](QDialog&) { return QDialog::Accepted; });
    form->Label12DblClick();
    EXPECT_TRUE(form->capture().running());
    EXPECT_FALSE(form->pipeline().controls.EffectsOn);
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->pipeline().FrameCount > 0; }, 3000));
    EXPECT_TRUE(ui().VrPowerButton5->Active());
    click(ui().VrPowerButton5);
    EXPECT_FALSE(form->pipeline().controls.EffectsOn);
    click(ui().VrPowerButton5);
    EXPECT_TRUE(form->pipeline().controls.EffectsOn);

    form->VideoDblClick();
    EXPECT_EQ(dialogs.modalDialogs(),
              (std::vector<QString>{"SelectCam", "SelectCam", "camera_pp", "video_pp"}));
    EXPECT_TRUE(form->capture().running());
    EXPECT_FALSE(form->pipeline().controls.EffectsOn);
}

TEST(VideoWindowSource, CameraGivenAtStartIsUsed) {
    TempSettings settings;
    settings.store("Puerto Comm", "/nonexistent/marlo-port");
    ScriptedDialogs dialogs;
    TForm1 form(nullptr, QStringLiteral("test"));
    EXPECT_TRUE(form.capture().running());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form.rawPicture().isNull(); }, 3000));
}
