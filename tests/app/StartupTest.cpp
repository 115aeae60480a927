#include "app/Comunica.h"
#include "app/Inicio.h"
#include "app/Main.h"
#include "app/acerca.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempSettings.h"
#include "ui_Main.h"
#include "ui_acerca.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <functional>
#include <stdexcept>
#include <utility>

#include <gtest/gtest.h>

using testing_support::MissingPortSettings;
using testing_support::ScriptedDialogs;

namespace {

// Runs the program as it starts: every 10 ms until the main window shows, whileStarting
// runs; then onShown runs once, inside the main window's modal loop. A watchdog ends a
// start-up that hangs. Returns whether the program ended by itself.
bool runProgram(const std::function<void()>& whileStarting, const std::function<void()>& onShown,
                int* exitCode = nullptr) {
    Form1 = nullptr;
    QTimer probe;
    probe.setInterval(10);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (Form1 && Form1->isVisible()) {
            probe.stop();
            onShown();
        } else if (whileStarting) {
            whileStarting();
        }
    });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] {
        for (QWidget* window : QApplication::topLevelWidgets())
            window->close();
        QApplication::exit(1);
    });
    probe.start();
    watchdog.start(15000);
    const int code = runStartup();
    if (exitCode)
        *exitCode = code;
    Form1 = nullptr;
    return watchdog.isActive();
}

void clickExitSoon() {
    QTimer::singleShot(0, Form1, [] { QTest::mouseClick(Form1->ui().VrSalir, Qt::LeftButton); });
}

// A main window whose stored port does not exist, so it opens without a link.
struct MainWindowWithoutRobot : ::testing::Test {
    MissingPortSettings settings;
    ScriptedDialogs dialogs;
    TForm1 form;
};

} // namespace

TEST(Startup, SplashThenModalMainWindowThenEndAndDestroyOnlyAtTearDown) {
    MissingPortSettings settings;
    ScriptedDialogs dialogs;
    QPointer<TArranque> splash;
    QPointer<TForm1> mainWindow;
    bool splashAtFirstMessage = false, mainWindowAtFirstMessage = true;
    bool splashHiddenDuringModal = false, modal = false;
    bool splashClosedAtLoopEnd = false, mainWindowAliveAtLoopEnd = false;
    qint64 shownAfterMs = -1;
    QElapsedTimer clock;
    clock.start();
    dialogs.onMessage = [&](const platform::MessageRequest&) {
        if (shownAfterMs >= 0)
            return;
        splashAtFirstMessage = splash && splash->isVisible();
        mainWindowAtFirstMessage = Form1 && Form1->isVisible();
    };
    QObject watch;
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, &watch, [&] {
        splashClosedAtLoopEnd = splash && !splash->isVisible();
        mainWindowAliveAtLoopEnd = !mainWindow.isNull();
    });
    int exitCode = -1;
    // The main window's modal loop runs inside the splash's tick.
    const bool ended = runProgram(
        [&] {
            for (QWidget* window : QApplication::topLevelWidgets())
                if (auto* found = qobject_cast<TArranque*>(window))
                    splash = found;
        },
        [&] {
            mainWindow = Form1;
            shownAfterMs = clock.elapsed();
            splashHiddenDuringModal = splash && !splash->isVisible();
            modal = Form1->isModal();
            clickExitSoon();
        },
        &exitCode);

    EXPECT_TRUE(ended) << "the program did not end by itself";
    EXPECT_EQ(exitCode, 0);
    EXPECT_TRUE(splashAtFirstMessage) << "port errors appear over the splash";
    EXPECT_FALSE(mainWindowAtFirstMessage);
    EXPECT_GE(shownAfterMs, 900);
    EXPECT_LT(shownAfterMs, 5000);
    EXPECT_TRUE(splashHiddenDuringModal);
    EXPECT_TRUE(modal);
    EXPECT_TRUE(splashClosedAtLoopEnd) << "closing the main window closed the splash";
    EXPECT_TRUE(mainWindowAliveAtLoopEnd) << "closing hides the main window only";
    EXPECT_TRUE(mainWindow.isNull()) << "the splash's tear-down destroyed the main window";
}

TEST(Startup, AnExceptionAtAnyStepOfTheStartUpIsShownAndTheMainWindowStillOpens) {
    MissingPortSettings settings;
    settings.store("Retardo", "roto");
    ScriptedDialogs dialogs;
    // The first box of the start-up (the unreadable pause) fails like an allocation would.
    bool thrown = false;
    dialogs.onMessage = [&](const platform::MessageRequest&) {
        if (!std::exchange(thrown, true))
            throw std::runtime_error("sin memoria");
    };
    bool mainWindowShown = false;
    // The handlers work on the link without a port that the failed start-up left.
    const bool ended = runProgram(nullptr, [&] {
        mainWindowShown = true;
        Form1->SendByte(0x50);
        Form1->VrPowerButton8Click();
        Form1->Label8Click();
        Form1->TimerInvTimer();
        Form1->TimerRxTimer();
        clickExitSoon();
    });

    EXPECT_TRUE(ended) << "the start-up stayed on the splash";
    EXPECT_TRUE(mainWindowShown);
    ASSERT_GE(dialogs.messages().size(), 2u);
    EXPECT_EQ(dialogs.messages()[1].text, "sin memoria");
    EXPECT_EQ(dialogs.messages()[1].icon, platform::MessageIcon::Error);
}

TEST_F(MainWindowWithoutRobot, StartValuesAfterCreation) {
    const MainWindowState& state = form.state();

    EXPECT_EQ(form.size(), QSize(1014, 734));
    EXPECT_EQ(form.ui().Nivel->text(), "128");
    EXPECT_TRUE(state.ShowRed && state.ShowGreen && state.ShowBlue);
    EXPECT_TRUE(state.ArmActive);
    EXPECT_EQ(form.telemetry().humidityText(), "--%");
    EXPECT_EQ(form.telemetry().temperatureText(), "--ºC");
    EXPECT_EQ(state.SnapshotNumber, 1);
    EXPECT_GE(state.VideoNumber, 0);
    EXPECT_LE(state.VideoNumber, 999);
    ASSERT_TRUE(state.SnapshotBase.endsWith("foto"));
    bool numeric = false;
    const int number = state.SnapshotBase.chopped(4).toInt(&numeric);
    EXPECT_TRUE(numeric);
    EXPECT_GE(number, 0);
    EXPECT_LE(number, 9999);
}

TEST_F(MainWindowWithoutRobot, EscapeDoesNotCloseTheConsole) {
    form.show();
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_TRUE(form.isVisible());
    QTest::mouseClick(form.ui().VrSalir, Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
}

TEST_F(MainWindowWithoutRobot, EachDialogButtonOpensAFreshModalDialogAndReleasesIt) {
    std::vector<QDialog*> seen;
    auto record = [&](QDialog& dialog) {
        seen.push_back(&dialog);
        EXPECT_EQ(dialog.parent(), &form);
        return int(QDialog::Accepted);
    };
    dialogs.onNextModal([&](QDialog& dialog) {
        EXPECT_EQ(FConfigura, &dialog);
        return record(dialog);
    });
    dialogs.onNextModal(record);
    dialogs.onNextModal([&](QDialog& dialog) {
        EXPECT_EQ(FAcerca, &dialog);
        EXPECT_EQ(dialog.windowTitle(), "Acerca de ...");
        EXPECT_EQ(dialog.size(), QSize(298, 260));
        return record(dialog);
    });

    form.VrConfiguraClick();
    form.VrConfiguraClick();
    form.VrAcercadeClick();

    EXPECT_EQ(dialogs.modalDialogs(),
              (std::vector<QString>{"FConfigura", "FConfigura", "FAcerca"}));
    EXPECT_EQ(FConfigura, nullptr);
    EXPECT_EQ(FAcerca, nullptr);
    EXPECT_EQ(form.findChildren<QDialog*>().size(), 0);
}

TEST(AboutBox, OkAndEnterCloseIt) {
    TFAcerca about;
    about.show();
    QTest::keyClick(&about, Qt::Key_Return);
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(about.result(), QDialog::Accepted);
    about.show();
    about.ui().OKButton->click();
    EXPECT_FALSE(about.isVisible());
}

TEST_F(MainWindowWithoutRobot, FocusChainHintsAndHandCursors) {
    const QStringList order =
        QStringLiteral("Panel2 Power VrSalir VrAcercade VrConfigura Bal Nivel VrSlider1 VrSlider2 "
                       "VrSlider3 VrSlider4 VrPowerButton1 VrPowerButton2 VrPowerButton3 "
                       "VrPowerButton4 Panel6 VrPowerButton5 VrPowerButton6 VrPowerButton7 "
                       "VrDemoButton1 Record StopRecord VrTemp VrHumedad VrPowerButton8 "
                       "VrPowerButton9 TempInv Comprime")
            .split(' ');
    QStringList walked;
    QWidget* widget = form.ui().Panel2;
    do {
        walked << widget->objectName();
        do
            widget = widget->nextInFocusChain();
        while (!(widget->focusPolicy() & Qt::TabFocus) || !widget->isEnabled());
    } while (widget != form.ui().Panel2 && walked.size() <= order.size());
    EXPECT_EQ(walked, order);

    auto& ui = form.ui();
    EXPECT_EQ(QStringList({ui.Record->toolTip(), ui.StopRecord->toolTip(), ui.Label5->toolTip(),
                           ui.Label8->toolTip()}),
              QStringList({"Grabación", "Parar grabación", "Activa cámara delantera",
                           "Activa cámara trasera"}));
    for (QWidget* hand : std::initializer_list<QWidget*>{ui.VrAcercade, ui.VrConfigura, ui.VrSalir,
                                                         ui.Panel1, ui.Panel3, ui.Panel5, ui.Label5,
                                                         ui.Label8, ui.Label12, ui.Video})
        EXPECT_EQ(hand->cursor().shape(), Qt::PointingHandCursor)
            << hand->objectName().toStdString();
}
