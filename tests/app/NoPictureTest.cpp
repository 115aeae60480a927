#include "app/Main.h"
#include "input/CameraWatch.h"
#include "platform/CaptureDialogs.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempSettings.h"
#include "tests/support/WorkingFolder.h"
#include "ui_Main.h"

#include <QDoubleSpinBox>
#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <mutex>
#include <thread>

using input::StatusLine;
using platform::CameraProperty;
using testing_support::afterLostLink;
using testing_support::MissingPortSettings;
using testing_support::ScriptedDialogs;
using testing_support::TempSettings;
using testing_support::WorkingFolder;

namespace {

// What the test steers and reads of a source the capture owns.
struct SourceState {
    std::atomic<bool> live{true};
    std::mutex mutex;
    std::map<CameraProperty, double> values;
    std::vector<std::pair<CameraProperty, double>> sets;
};

// Green pictures at 50 a second while live; nothing while not, like a camera that stalls.
class SteeredSource final : public platform::FrameSource {
public:
    explicit SteeredSource(std::shared_ptr<SourceState> state) : state_(std::move(state)) {}
    bool open() override { return true; }
    bool read(cv::Mat& frame) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (!state_->live)
            return false;
        frame = cv::Mat(288, 352, CV_8UC3, cv::Scalar(0, 200, 0));
        return true;
    }
    std::optional<double> property(CameraProperty property) override {
        std::lock_guard lock(state_->mutex);
        const auto found = state_->values.find(property);
        return found == state_->values.end() ? std::nullopt : std::optional(found->second);
    }
    bool setProperty(CameraProperty property, double value) override {
        std::lock_guard lock(state_->mutex);
        state_->sets.emplace_back(property, value);
        return true;
    }

private:
    std::shared_ptr<SourceState> state_;
};

// Whether every sampled pixel of the panel as painted is grey, and whether any is not black.
struct PanelLook {
    bool grey = true;
    bool lit = false;
};

PanelLook look(QWidget& panel) {
    const QImage image = panel.grab().toImage();
    PanelLook result;
    for (int y = 0; y < image.height(); y += 7)
        for (int x = 0; x < image.width(); x += 7) {
            const QColor colour = image.pixelColor(x, y);
            result.grey =
                result.grey && colour.red() == colour.green() && colour.green() == colour.blue();
            result.lit = result.lit || colour.green() > 0;
        }
    return result;
}

struct NoPicture : ::testing::Test {
    MissingPortSettings settings;
    ScriptedDialogs dialogs;
    WorkingFolder folder;
    std::unique_ptr<TForm1> form = std::make_unique<TForm1>();
    std::shared_ptr<SourceState> source = std::make_shared<SourceState>();

    Ui::TForm1& ui() { return form->ui(); }
    StatusLine& status() { return form->statusLine(); }
    void startSteered() { form->capture().start(std::make_unique<SteeredSource>(source)); }
    bool waitFor(const std::function<bool()>& condition) {
        return QTest::qWaitFor(condition, 10000);
    }
};

} // namespace

TEST_F(NoPicture, AStalledCameraStaysInViewUntilPicturesReturn) {
    form->show();
    QTest::mouseClick(ui().VrPowerButton6, Qt::LeftButton);
    startSteered();
    ASSERT_TRUE(waitFor([&] { return form->pipeline().FrameCount > 0; }));
    ASSERT_TRUE(waitFor([&] { return look(*ui().Panel5).lit; }));
    EXPECT_FALSE(look(*ui().Panel5).grey) << "a live picture in colour";
    EXPECT_FALSE(status().active(StatusLine::Condition::CameraNoPicture));

    source->live = false;
    ASSERT_TRUE(
        waitFor([&] { return ui().Rxtext->text() == afterLostLink + "Cámara sin imagen"; }));
    EXPECT_EQ(form->pipeline().FpsText.get(), "FPS: 0");
    for (QWidget* panel :
         {static_cast<QWidget*>(ui().Panel1), static_cast<QWidget*>(ui().Panel5)}) {
        SCOPED_TRACE(panel->objectName().toStdString());
        EXPECT_TRUE(waitFor([&] { return look(*panel).grey; })) << "the old picture is marked";
        EXPECT_TRUE(look(*panel).lit);
    }
    EXPECT_FALSE(form->rawPicture().isNull());
    EXPECT_FALSE(form->rawPicture().allGray()) << "the clipboard still gets the picture itself";
    EXPECT_FALSE(status().active(StatusLine::Condition::RecordingPaused));
    // A key's own text covers it only for a moment.
    status().show(QStringLiteral("Botón 1: Foto instantánea"));
    EXPECT_EQ(ui().Rxtext->text(), afterLostLink + "Botón 1: Foto instantánea");
    EXPECT_TRUE(
        waitFor([&] { return ui().Rxtext->text() == afterLostLink + "Cámara sin imagen"; }));

    source->live = true;
    EXPECT_TRUE(waitFor([&] { return !status().active(StatusLine::Condition::CameraNoPicture); }));
    EXPECT_NE(ui().Rxtext->text(), afterLostLink + "Cámara sin imagen");
    EXPECT_TRUE(waitFor([&] { return !look(*ui().Panel5).grey; }));
    EXPECT_TRUE(waitFor([&] { return !look(*ui().Panel1).grey; }));
}

TEST_F(NoPicture, ARecordingThroughAStallIsShownPausedAndGoesOn) {
    startSteered();
    ASSERT_TRUE(waitFor([&] { return form->pipeline().FrameCount > 0; }));
    form->RecordClick();
    ASSERT_TRUE(waitFor([&] { return form->recorder().framesWritten() > 3; }));
    EXPECT_TRUE(ui().Led->EnableBlinking());
    source->live = false;
    ASSERT_TRUE(waitFor([&] {
        return ui().Rxtext->text() == afterLostLink + "Grabación en pausa: cámara sin imagen";
    }));
    EXPECT_TRUE(status().active(StatusLine::Condition::CameraNoPicture));
    EXPECT_FALSE(ui().Led->EnableBlinking()) << "a paused recording does not look live";
    EXPECT_EQ(ui().Led->LampColor(), clYellow);
    const std::uint32_t beforeReturn = form->recorder().framesWritten();
    EXPECT_TRUE(form->recorder().recording());

    source->live = true;
    EXPECT_TRUE(waitFor([&] { return !status().active(StatusLine::Condition::RecordingPaused); }));
    EXPECT_TRUE(waitFor([&] { return form->recorder().framesWritten() > beforeReturn + 3; }));
    EXPECT_FALSE(status().active(StatusLine::Condition::CameraNoPicture));
    EXPECT_TRUE(ui().Led->EnableBlinking());
    EXPECT_EQ(ui().Led->ColorIndex(), 1);

    // Stopped during a stall: the pause goes with the recording, the camera's text stays.
    source->live = false;
    ASSERT_TRUE(waitFor([&] { return status().active(StatusLine::Condition::RecordingPaused); }));
    form->StopRecordClick();
    EXPECT_FALSE(status().active(StatusLine::Condition::RecordingPaused));
    EXPECT_TRUE(status().active(StatusLine::Condition::CameraNoPicture));
    EXPECT_FALSE(ui().Led->EnableBlinking());
    EXPECT_EQ(ui().Led->LampColor(), clBlack) << "no recording: the lamp is dark";
}

TEST_F(NoPicture, ACameraStartClearsThePictureSoAStillNeverShowsThePreviousCamera) {
    const std::vector<std::uint8_t> frame(video::frameBytes, 0x5a);
    form->FrameCallback(frame.data(), video::frameWidth, video::frameHeight);
    ASSERT_FALSE(form->rawPicture().isNull());
    ASSERT_EQ(form->TakePicture(QStringLiteral("antes.bmp")), platform::DiskError::None);
    form->StartCamera();
    EXPECT_TRUE(form->rawPicture().isNull());
    ASSERT_EQ(form->TakePicture(QStringLiteral("despues.bmp")), platform::DiskError::None);
    const auto pixels = [&](const QString& name) {
        QFile file(folder.path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll().mid(54) : QByteArray();
    };
    EXPECT_EQ(pixels("antes.bmp").count(char(0)), 0) << "the first camera's picture";
    EXPECT_EQ(pixels("despues.bmp"), QByteArray(video::frameBytes, char(0)));
}

TEST_F(NoPicture, VideoSetupOpensThePagesOfTheSourceInUse) {
    source->values = {{CameraProperty::Brightness, 77}, {CameraProperty::Width, 800}};
    startSteered();
    dialogs.onNextModal([](QDialog& dialog) {
        auto& page = static_cast<platform::CameraPageDialog&>(dialog);
        EXPECT_EQ(page.field(CameraProperty::Brightness)->value(), 77);
        EXPECT_FALSE(page.field(CameraProperty::Contrast)->isEnabled());
        page.field(CameraProperty::Brightness)->setValue(81);
        return int(QDialog::Accepted);
    });
    dialogs.onNextModal([](QDialog& dialog) {
        auto& page = static_cast<platform::CameraPageDialog&>(dialog);
        EXPECT_EQ(page.field(CameraProperty::Width)->value(), 800);
        page.field(CameraProperty::Width)->setValue(640);
        return int(QDialog::Accepted);
    });
    form->VideoDblClick();
    EXPECT_EQ(dialogs.modalDialogs(), (std::vector<QString>{"camera_pp", "video_pp"}));
    std::lock_guard lock(source->mutex);
    EXPECT_EQ(source->sets, (std::vector<std::pair<CameraProperty, double>>{
                                {CameraProperty::Brightness, 81}, {CameraProperty::Width, 640}}));
}

TEST(CameraWatch, ReportsOfAStoppedCameraNeverMarkTheNextOne) {
    StatusLine status([](const QString&) {});
    input::CameraWatch watch(status);
    watch.started();
    const int first = watch.run();
    watch.started();
    watch.report(first, true);
    watch.update(true);
    EXPECT_FALSE(watch.noPicture());
    EXPECT_FALSE(status.active(StatusLine::Condition::CameraNoPicture));

    watch.report(watch.run(), true);
    watch.update(false);
    EXPECT_TRUE(status.active(StatusLine::Condition::CameraNoPicture));
    EXPECT_FALSE(status.active(StatusLine::Condition::RecordingPaused));
    watch.recordingChanged(true);
    EXPECT_TRUE(status.active(StatusLine::Condition::RecordingPaused));
    watch.report(first, false);
    watch.update(true);
    EXPECT_TRUE(watch.noPicture()) << "the stopped camera's pictures do not count";
    watch.report(watch.run(), false);
    watch.update(true);
    EXPECT_EQ(status.text(), "") << "a camera text no longer true is wiped";
    EXPECT_FALSE(status.active(StatusLine::Condition::CameraNoPicture));
    EXPECT_FALSE(status.active(StatusLine::Condition::RecordingPaused));
    watch.recordingChanged(true);
    EXPECT_FALSE(status.active(StatusLine::Condition::RecordingPaused)) << "pictures are coming";

    // Lost and back again before the GUI thread looked: nothing to show.
    watch.report(watch.run(), true);
    watch.report(watch.run(), false);
    watch.update(true);
    EXPECT_FALSE(status.active(StatusLine::Condition::CameraNoPicture));

    watch.report(watch.run(), true);
    watch.update(true);
    EXPECT_TRUE(status.active(StatusLine::Condition::RecordingPaused));
    watch.started();
    EXPECT_FALSE(status.active(StatusLine::Condition::CameraNoPicture));
    EXPECT_FALSE(status.active(StatusLine::Condition::RecordingPaused));
}
