#include "app/Main.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/ScriptedDisk.h"
#include "tests/support/TempSettings.h"
#include "tests/support/WorkingFolder.h"
#include "ui_Main.h"

#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

using testing_support::MissingPortSettings;
using testing_support::ScriptedDialogs;
using testing_support::ScriptedDisk;
using testing_support::TempSettings;
using testing_support::WorkingFolder;
using Condition = input::StatusLine::Condition;

namespace {

constexpr int patienceMs = 20000;
// A second of uncompressed recording at the thirty frames a second reckoned before the start.
constexpr std::uint64_t rawSecond = std::uint64_t{352 * 3 * 288} * 30;

int probedFrames(const QString& file) {
    QProcess ffprobe;
    ffprobe.start(QStringLiteral("ffprobe"),
                  {"-v", "error", "-count_packets", "-select_streams", "v:0", "-show_entries",
                   "stream=nb_read_packets", "-of", "csv=p=0", file});
    ffprobe.waitForFinished(30000);
    bool ok = false;
    const int frames = QString::fromUtf8(ffprobe.readAllStandardOutput()).trimmed().toInt(&ok);
    return ok ? frames : -1;
}

struct RecordingFailureWindow : ::testing::Test {
    MissingPortSettings settings;
    ScriptedDialogs dialogs;
    WorkingFolder folder;
    ScriptedDisk disk;
    std::unique_ptr<TForm1> form = std::make_unique<TForm1>();
    std::vector<std::uint8_t> frame = std::vector<std::uint8_t>(video::frameBytes, 90);

    RecordingFailureWindow() { form->recorder().useDisk(disk.disk()); }
    // A test that fails with the gate closed still lets the writer finish.
    ~RecordingFailureWindow() override { disk.openGate(); }

    Ui::TForm1& ui() { return form->ui(); }
    QString status() { return ui().Rxtext->text(); }
    void feed(int frames) {
        for (int i = 0; i < frames; ++i)
            form->FrameCallback(frame.data(), video::frameWidth, video::frameHeight);
    }
    // Feeds frames, as a camera would, until the condition holds.
    bool feedUntil(const std::function<bool()>& done) {
        return QTest::qWaitFor(
            [&] {
                feed(1);
                return done();
            },
            patienceMs);
    }
    void expectIdleLampAndButton() {
        EXPECT_FALSE(form->state().Recording);
        EXPECT_FALSE(form->pipeline().controls.Recording);
        EXPECT_FALSE(ui().Led->EnableBlinking());
        EXPECT_TRUE(ui().Record->isEnabled());
    }
};

} // namespace

TEST_F(RecordingFailureWindow, FullDiskStopsTheLampFreesTheButtonAndStaysInTheStatusLine) {
    disk.writableBytes = 3'000'000;
    const QString name = QStringLiteral("00%1video.avi").arg(form->state().VideoNumber);
    form->RecordClick();
    ASSERT_TRUE(ui().Led->EnableBlinking());
    ASSERT_TRUE(feedUntil([&] { return status() == "Vídeo incompleto: disco lleno"; }))
        << status().toStdString();
    expectIdleLampAndButton();
    ASSERT_TRUE(form->recorder().waitUntilClosed(std::chrono::seconds(20)));
    EXPECT_GT(form->recorder().framesWritten(), 0u);
    EXPECT_EQ(probedFrames(folder.path(name)), static_cast<int>(form->recorder().framesWritten()));

    form->statusLine().show(QStringLiteral("Botón 1: Foto instantánea"));
    EXPECT_TRUE(form->statusLine().active(Condition::RecordingFailed))
        << "a key text covers the failure only for a moment";
    form->StopRecordClick();
    EXPECT_TRUE(form->statusLine().active(Condition::RecordingFailed));

    disk.writableBytes = ScriptedDisk::unlimited;
    form->RecordClick();
    EXPECT_FALSE(form->statusLine().active(Condition::RecordingFailed))
        << "the next recording clears it";
    EXPECT_TRUE(ui().Led->EnableBlinking());
    form->StopRecordClick();
}

TEST_F(RecordingFailureWindow, FailingDeviceIsToldApartFromAFullDisk) {
    disk.writableBytes = 1'000'000;
    disk.failure = platform::DiskError::Failed;
    form->RecordClick();
    ASSERT_TRUE(feedUntil([&] { return !form->state().Recording; }));
    EXPECT_EQ(status(), "Vídeo incompleto: fallo del grabador");
    expectIdleLampAndButton();
}

TEST_F(RecordingFailureWindow, StartOnAFullDiskLeavesLampButtonsAndFolderAsTheyWere) {
    disk.freeBytes = 4 * rawSecond;
    form->RecordClick();
    EXPECT_EQ(status(), "Vídeo no grabado: disco lleno");
    EXPECT_TRUE(form->statusLine().active(Condition::RecordingFailed));
    expectIdleLampAndButton();
    EXPECT_TRUE(folder.files().isEmpty());

    disk.freeBytes = 6 * rawSecond;
    form->RecordClick();
    EXPECT_TRUE(form->state().Recording);
    EXPECT_TRUE(ui().Led->EnableBlinking());
    EXPECT_FALSE(form->statusLine().active(Condition::RecordingFailed));
    EXPECT_EQ(folder.files().size(), 1);
    form->StopRecordClick();
}

TEST_F(RecordingFailureWindow, LowSpaceWarningLastsWhileTheRecordingRuns) {
    disk.freeBytes = 61 * rawSecond;
    form->RecordClick();
    EXPECT_FALSE(form->statusLine().active(Condition::DiskLow));
    form->StopRecordClick();

    disk.freeBytes = 30 * rawSecond;
    form->RecordClick();
    ASSERT_TRUE(form->statusLine().active(Condition::DiskLow));
    EXPECT_EQ(status(), "Poco espacio en disco: quedan 29 s de vídeo");
    form->StopRecordClick();
    EXPECT_FALSE(form->statusLine().active(Condition::DiskLow));
}

TEST_F(RecordingFailureWindow, FramesADiskCannotTakeAreCountedInTheStatusLine) {
    form->RecordClick();
    feed(20);
    QTest::qWait(600);
    EXPECT_FALSE(form->statusLine().active(Condition::FramesDropped)) << "twenty frames fit";
    form->StopRecordClick();

    disk.closeGate();
    form->RecordClick();
    feed(40);
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->statusLine().active(Condition::FramesDropped); },
                                patienceMs));
    const std::uint32_t dropped = form->recorder().framesDropped();
    EXPECT_GT(dropped, 0u);
    EXPECT_EQ(status(),
              QStringLiteral("Vídeo: %1 fotogramas perdidos, el disco no da abasto").arg(dropped));
    EXPECT_TRUE(ui().Led->EnableBlinking()) << "the recording goes on";
    disk.openGate();
    form->StopRecordClick();
    ASSERT_TRUE(form->recorder().waitUntilClosed(std::chrono::seconds(20)));
    EXPECT_EQ(form->recorder().framesWritten() + dropped, 40u);
}
