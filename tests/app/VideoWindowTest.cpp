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
#include <QTest>

#include <gtest/gtest.h>

using testing_support::afterLostLink;

namespace {

std::vector<std::uint8_t> gradientFrame() {
    std::vector<std::uint8_t> frame(video::frameBytes);
    for (std::size_t i = 0; i < frame.size(); ++i)
        frame[i] = static_cast<std::uint8_t>(i / 3 % 251);
    return frame;
}

struct VideoWindow : ::testing::Test {
    testing_support::MissingPortSettings settings;
    testing_support::ScriptedDialogs dialogs;
    testing_support::WorkingFolder folder;
    std::unique_ptr<TForm1> form = std::make_unique<TForm1>();

    Ui::TForm1& ui() { return form->ui(); }
    void feed(int frames) {
        const std::vector<std::uint8_t> frame = gradientFrame();
        for (int i = 0; i < frames; ++i)
            form->FrameCallback(frame.data(), video::frameWidth, video::frameHeight);
    }
    void click(QWidget* widget) {
        form->show();
        QTest::mouseClick(widget, Qt::LeftButton);
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
    ASSERT_EQ(form->TakePicture(QStringLiteral("foto.bmp")), platform::DiskError::None);
    const QByteArray file = fileBytes("foto.bmp");
    ASSERT_EQ(file.size(), 304182);
    EXPECT_TRUE(file.startsWith("BM"));
    auto lock = form->surface().lock();
    const std::vector<std::uint8_t> surface(form->surface().bits(),
                                            form->surface().bits() + video::frameBytes);
    EXPECT_TRUE(std::equal(surface.begin(), surface.end(),
                           reinterpret_cast<const std::uint8_t*>(file.constData()) + 54));
    EXPECT_NE(surface, gradientFrame()) << "the effect and the overlays are in the picture";
}

TEST_F(VideoWindow, PhotoCommandsCountUpAndNeverReplaceAnEarlierPicture) {
    const QString base = form->state().SnapshotBase;
    feed(1);
    QFile earlier(folder.path(base + "2.bmp"));
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write("earlier run");
    earlier.close();
    form->PhotoCommand();
    form->PhotoCommand();
    EXPECT_EQ(ui().Rxtext->text(), afterLostLink + "Botón 1: Foto instantánea");
    EXPECT_EQ(fileBytes(base + "1.bmp").size(), 304182);
    EXPECT_EQ(fileBytes(base + "2.bmp"), "earlier run");
    EXPECT_EQ(fileBytes(base + "3.bmp").size(), 304182);
    EXPECT_EQ(form->state().SnapshotNumber, 4);
}

TEST_F(VideoWindow, SaveDialogNameGetsABitmapAndACancelNothing) {
    feed(1);
    dialogs.answerNextSave(folder.path("vista.jpg"));
    form->Panel3DblClick();
    dialogs.answerNextSave(std::nullopt);
    form->Panel3DblClick();
    EXPECT_EQ(dialogs.saveRequests(), 2);
    EXPECT_EQ(folder.files(), QStringList{"vista.jpg"});
    EXPECT_EQ(fileBytes("vista.jpg").size(), 304182);
}

TEST_F(VideoWindow, PictureThatCannotBeWrittenIsShownInTheStatusLine) {
    EXPECT_EQ(form->TakePicture(QStringLiteral("/nonexistent/folder/foto.bmp")),
              platform::DiskError::Failed);
    EXPECT_TRUE(ui().Rxtext->text().startsWith(afterLostLink + "Foto no guardada"))
        << ui().Rxtext->text().toStdString();
}

TEST_F(VideoWindow, RateTextRawPictureAndClipboardCopy) {
    click(ui().VrPowerButton6);
    EXPECT_TRUE(form->TimerFPS->Enabled());
    feed(25);
    form->TimerFPSTimer();
    EXPECT_EQ(form->pipeline().FpsText.get(), "FPS: 25");
    const std::vector<std::uint8_t> frame = gradientFrame();
    const QImage raw = QImage(frame.data(), video::frameWidth, video::frameHeight,
                              video::frameWidth * 3, QImage::Format_BGR888)
                           .mirrored(false, true);
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
    testing_support::MissingPortSettings settings;
    testing_support::ScriptedDialogs dialogs;
    TForm1 form(nullptr, QStringLiteral("test"));
    EXPECT_TRUE(form.capture().running());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form.rawPicture().isNull(); }, 3000));
}
