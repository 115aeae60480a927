#include "platform/CaptureDialogs.h"
#include "platform/CaptureSources.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempSettings.h"

#include <QDoubleSpinBox>
#include <QListWidget>

#include <gtest/gtest.h>

#include <map>

using platform::CameraPageDialog;
using platform::CameraProperty;

namespace {

// A camera that knows brightness and gain only and remembers what was set.
class AdjustableSource final : public platform::FrameSource {
public:
    bool open() override { return true; }
    bool read(cv::Mat&) override { return false; }
    std::optional<double> property(CameraProperty property) override {
        const auto found = values.find(property);
        return found == values.end() ? std::nullopt : std::optional(found->second);
    }
    bool setProperty(CameraProperty property, double value) override {
        sets.emplace_back(property, value);
        values[property] = value;
        return true;
    }
    std::map<CameraProperty, double> values{{CameraProperty::Brightness, 40},
                                            {CameraProperty::Gain, 3}};
    std::vector<std::pair<CameraProperty, double>> sets;
};

} // namespace

TEST(CaptureDialogs, CameraPageShowsTheSourceValuesAndSetsOnlyTheChangedOnesOnOk) {
    testing_support::ScriptedDialogs dialogs;
    AdjustableSource source;
    dialogs.onNextModal([](QDialog& dialog) {
        auto& page = static_cast<CameraPageDialog&>(dialog);
        EXPECT_EQ(page.field(CameraProperty::Brightness)->value(), 40);
        EXPECT_FALSE(page.field(CameraProperty::Contrast)->isEnabled());
        page.field(CameraProperty::Brightness)->setValue(55);
        return int(QDialog::Accepted);
    });
    platform::showCameraPage(CameraPageDialog::Page::Camera, &source, nullptr);
    dialogs.onNextModal([](QDialog& dialog) {
        static_cast<CameraPageDialog&>(dialog).field(CameraProperty::Gain)->setValue(9);
        return int(QDialog::Rejected);
    });
    platform::showCameraPage(CameraPageDialog::Page::Camera, &source, nullptr);
    platform::showCameraPage(CameraPageDialog::Page::Video, nullptr, nullptr);
    EXPECT_EQ(dialogs.modalDialogs(), (std::vector<QString>{"camera_pp", "camera_pp", "video_pp"}));
    ASSERT_EQ(source.sets.size(), 1u);
    EXPECT_EQ(source.sets[0], std::make_pair(CameraProperty::Brightness, 55.0));
}

TEST(CaptureDialogs, SelectionListsTheSourcesAndKeepsOnesTheOperatorAdds) {
    testing_support::TempSettings settings;
    testing_support::ScriptedDialogs dialogs;
    platform::SelectCameraDialog dialog;
    const int cameras = static_cast<int>(platform::attachedCameras().size());
    EXPECT_EQ(dialog.list().count(), cameras);
    dialogs.answerNextInput(QStringLiteral("test"));
    dialog.addSourceFromOperator();
    dialogs.answerNextInput(std::nullopt);
    dialog.addSourceFromOperator();
    EXPECT_EQ(dialog.list().count(), cameras + 1);
    EXPECT_EQ(dialog.chosenIndex(), cameras);
    EXPECT_EQ(dialog.windowTitle(), "Select CAM");
    dialog.list().setCurrentRow(-1);
    EXPECT_EQ(dialog.chosenIndex(), std::nullopt);
    EXPECT_EQ(platform::SelectCameraDialog().list().count(), cameras + 1);
}

TEST(CaptureDialogs, ATestPatternOutOfItsBoundsIsRefusedWithItsReasonAndAGoodOneAdded) {
    testing_support::TempSettings settings;
    testing_support::ScriptedDialogs dialogs;
    platform::SelectCameraDialog dialog;
    const int cameras = dialog.list().count();
    dialogs.answerNextInput(QStringLiteral("test:1280x721"));
    dialog.addSourceFromOperator();
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_NE(dialogs.messages()[0].text.indexOf("lados pares"), -1);
    EXPECT_EQ(dialog.list().count(), cameras);
    dialogs.answerNextInput(QStringLiteral("test:1280x720"));
    dialog.addSourceFromOperator();
    EXPECT_EQ(dialogs.messages().size(), 1u);
    ASSERT_EQ(dialog.list().count(), cameras + 1);
    EXPECT_EQ(dialog.list().item(cameras)->text(), "Imagen de prueba 1280x720");
}
