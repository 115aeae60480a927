#include "app/Main.h"
#include "tests/support/FrameFeed.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/ScriptedDisk.h"
#include "tests/support/TempSettings.h"
#include "tests/support/WorkingFolder.h"
#include "ui_Main.h"
#include "video/Mp4Reader.h"

#include <QTest>

#include <gtest/gtest.h>

using Condition = input::StatusLine::Condition;

using testing_support::afterLostLink;

namespace {

// A second of uncompressed recording at the thirty frames a second reckoned before the start.
constexpr std::uint64_t rawSecond = std::uint64_t{352 * 3 * 288} * 30;

struct RecordingFailureWindow : ::testing::Test {
    testing_support::MissingPortSettings settings;
    testing_support::ScriptedDialogs dialogs;
    testing_support::WorkingFolder folder;
    testing_support::ScriptedDisk disk;
    std::unique_ptr<TForm1> form = std::make_unique<TForm1>();

    RecordingFailureWindow() { form->recorder().useDisk(disk.disk()); }
    // A test that fails with the gate closed still lets the writer finish.
    ~RecordingFailureWindow() override { disk.openGate(); }

    Ui::TForm1& ui() { return form->ui(); }
    QString status() { return ui().Rxtext->text(); }
    void feed(int frames) {
        testing_support::feedFrames(*form, frames, [](int) { return std::uint8_t(90); });
    }
    // Frames come, as from a camera, until `done` holds.
    template <typename Done> bool feedUntil(Done done) {
        return QTest::qWaitFor(
            [&] {
                feed(1);
                return done();
            },
            20000);
    }
    void expectIdleLampAndButton() {
        EXPECT_FALSE(form->state().Recording);
        EXPECT_FALSE(form->pipeline().controls.Recording);
        EXPECT_FALSE(ui().Led->EnableBlinking());
        EXPECT_TRUE(ui().Record->isEnabled());
    }
};

} // namespace

TEST_F(RecordingFailureWindow, FullDiskStopsTheLampFreesTheButtonAndIsToldInTheStatusLine) {
    disk.writableBytes = 3'000'000;
    form->RecordClick();
    ASSERT_TRUE(ui().Led->EnableBlinking());
    ASSERT_TRUE(feedUntil([&] { return !form->state().Recording; }))
        << "the recording ends by itself";
    EXPECT_EQ(status(), afterLostLink + "Vídeo incompleto: disco lleno");
    EXPECT_TRUE(form->statusLine().active(Condition::RecordingFailed));
    expectIdleLampAndButton();
}

TEST_F(RecordingFailureWindow, AnMp4RecordingOnAFullDiskIsToldAsAnAviOneAndStaysReadable) {
    form->ChooseFormat(video::VideoFormat::Mp4);
    disk.writableBytes = 6'000;
    form->RecordClick();
    ASSERT_TRUE(ui().Led->EnableBlinking());
    int frame = 0;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            // Frames that differ, so each fragment costs the encoder something.
            const std::vector<std::uint8_t> pixels(video::frameBytes,
                                                   static_cast<std::uint8_t>(frame++ * 37));
            form->FrameCallback(pixels.data(), video::frameWidth, video::frameHeight);
            return !form->state().Recording;
        },
        20000))
        << "the recording ends by itself";
    EXPECT_EQ(status(), afterLostLink + "Vídeo incompleto: disco lleno");
    EXPECT_TRUE(form->statusLine().active(Condition::RecordingFailed));
    expectIdleLampAndButton();
    ASSERT_EQ(folder.files().size(), 1);
    const auto contents = video::readMp4Contents(platform::ReadOnlyFile::openIn(
        folder.path({}).toStdString(), folder.files().front().toStdString()));
    ASSERT_TRUE(contents) << "the file reads up to its last whole fragment";
    EXPECT_GT(contents->frames, 0u);
}

TEST_F(RecordingFailureWindow, StartOnAFullDiskLeavesLampButtonsAndFolderAsTheyWere) {
    const int number = form->state().VideoNumber;
    disk.freeBytes = 4 * rawSecond;
    form->RecordClick();
    EXPECT_EQ(status(), afterLostLink + "Vídeo no grabado: disco lleno");
    EXPECT_TRUE(form->statusLine().active(Condition::RecordingFailed));
    expectIdleLampAndButton();
    EXPECT_TRUE(folder.files().isEmpty());
    EXPECT_EQ(form->state().VideoNumber, number + 1) << "the number is used all the same";

    disk.freeBytes = 6 * rawSecond;
    form->RecordClick();
    EXPECT_TRUE(form->state().Recording);
    EXPECT_TRUE(ui().Led->EnableBlinking());
    EXPECT_FALSE(form->statusLine().active(Condition::RecordingFailed));
    form->StopRecordClick();
}

TEST_F(RecordingFailureWindow, LowSpaceAndLostFramesAreToldWhileTheRecordingGoesOn) {
    disk.freeBytes = 30 * rawSecond;
    disk.closeGate();
    form->RecordClick();
    EXPECT_TRUE(form->statusLine().active(Condition::DiskLow));
    EXPECT_EQ(status(), afterLostLink + "Poco espacio en disco: quedan 29 s de vídeo");
    feed(40);
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->statusLine().active(Condition::FramesDropped); },
                                20000));
    EXPECT_EQ(status(), afterLostLink + video::framesDroppedText(form->recorder().framesDropped()));
    EXPECT_GT(form->recorder().framesDropped(), 0u);
    EXPECT_TRUE(ui().Led->EnableBlinking()) << "the recording goes on";
    disk.openGate();
    form->StopRecordClick();
    EXPECT_FALSE(form->statusLine().active(Condition::DiskLow));
}

// The status line shows a failed write within a second of the writer meeting it.
TEST_F(RecordingFailureWindow, AFailedWriteIsInTheStatusLineWithinASecond) {
    disk.failure = platform::DiskError::Failed;
    disk.writableBytes = 3'000'000;
    form->RecordClick();
    ASSERT_TRUE(ui().Led->EnableBlinking());
    ASSERT_TRUE(
        feedUntil([&] { return form->recorder().failure() != video::Recorder::Failure::None; }));
    const QString told = afterLostLink + "Vídeo incompleto: fallo del grabador";
    EXPECT_TRUE(QTest::qWaitFor([&] { return status() == told; }, 1000)) << status().toStdString();
    EXPECT_TRUE(form->statusLine().active(Condition::RecordingFailed));
}
