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

#include <stdexcept>
#include <utility>

#include <gtest/gtest.h>

using testing_support::MissingPortSettings;
using testing_support::ScriptedDialogs;
using testing_support::TempSettings;

namespace {

// What the start-up looked like from outside, sampled while it ran.
struct StartupObservation {
    bool splashVisibleAtFirstMessage = false;
    bool mainWindowShownAtFirstMessage = true;
    qint64 mainWindowCreatedAfterMs = -1;
    bool splashHiddenDuringModal = false;
    bool mainWindowModal = false;
    bool splashClosedAtLoopEnd = false;
    bool mainWindowAliveAtLoopEnd = false;
};

// A main window whose stored port does not exist, so it opens without a link.
struct MainWindowWithoutRobot : ::testing::Test {
    MissingPortSettings settings;
    ScriptedDialogs dialogs;
    TForm1 form;
};

} // namespace

TEST(Startup, SplashThenModalMainWindowThenEndAndDestroyOnlyAtTearDown) {
    TempSettings temp;
    temp.store("Puerto Comm", "/nonexistent/marlo-port");
    ScriptedDialogs dialogs;
    StartupObservation seen;
    Form1 = nullptr;
    QPointer<TArranque> splash;
    QPointer<TForm1> mainWindow;
    QElapsedTimer clock;
    clock.start();

    // Samples the windows while the program runs: first the splash, then (inside the main
    // window's modal loop, itself inside the splash's tick) the main window, which it closes.
    QTimer probe;
    probe.setInterval(10);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (!splash)
            splash = qobject_cast<TArranque*>(QApplication::activeWindow());
        if (!splash) {
            for (QWidget* window : QApplication::topLevelWidgets())
                if (auto* found = qobject_cast<TArranque*>(window))
                    splash = found;
        }
        if (!Form1 || !Form1->isVisible())
            return;
        probe.stop();
        mainWindow = Form1;
        seen.mainWindowCreatedAfterMs = clock.elapsed();
        seen.splashHiddenDuringModal = splash && !splash->isVisible();
        seen.mainWindowModal = Form1->isModal();
        QTimer::singleShot(0, Form1,
                           [] { QTest::mouseClick(Form1->ui().VrSalir, Qt::LeftButton); });
    });
    dialogs.onMessage = [&](const platform::MessageRequest&) {
        if (seen.mainWindowCreatedAfterMs >= 0)
            return;
        seen.splashVisibleAtFirstMessage = splash && splash->isVisible();
        seen.mainWindowShownAtFirstMessage = Form1 && Form1->isVisible();
    };
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] {
        if (Form1)
            Form1->close();
        QApplication::exit(1);
    });
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, &probe, [&] {
        seen.splashClosedAtLoopEnd = splash && !splash->isVisible();
        seen.mainWindowAliveAtLoopEnd = !mainWindow.isNull();
    });
    probe.start();
    watchdog.start(15000);

    const int exitCode = runStartup();

    EXPECT_TRUE(watchdog.isActive()) << "the program did not end by itself";
    EXPECT_EQ(exitCode, 0);
    EXPECT_TRUE(seen.splashVisibleAtFirstMessage) << "port errors appear over the splash";
    EXPECT_FALSE(seen.mainWindowShownAtFirstMessage);
    EXPECT_GE(seen.mainWindowCreatedAfterMs, 900);
    EXPECT_LT(seen.mainWindowCreatedAfterMs, 5000);
    EXPECT_TRUE(seen.splashHiddenDuringModal);
    EXPECT_TRUE(seen.mainWindowModal);
    EXPECT_TRUE(seen.splashClosedAtLoopEnd) << "closing the main window closed the splash";
    EXPECT_TRUE(seen.mainWindowAliveAtLoopEnd) << "closing hides the main window only";
    EXPECT_TRUE(mainWindow.isNull()) << "the splash's tear-down destroyed the main window";
    Form1 = nullptr;
}

TEST(Startup, AnExceptionAtAnyStepOfTheStartUpIsShownAndTheMainWindowStillOpens) {
    TempSettings temp;
    temp.store("Puerto Comm", "/nonexistent/marlo-port");
    temp.store("Retardo", "roto");
    ScriptedDialogs dialogs;
    Form1 = nullptr;
    // The first box of the start-up (the unreadable pause) fails like an allocation would.
    bool thrown = false;
    dialogs.onMessage = [&](const platform::MessageRequest&) {
        if (!std::exchange(thrown, true))
            throw std::runtime_error("sin memoria");
    };
    bool mainWindowShown = false;
    QTimer probe;
    probe.setInterval(10);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (!Form1 || !Form1->isVisible())
            return;
        probe.stop();
        mainWindowShown = true;
        // The handlers work on the link without a port that the failed start-up left.
        QTimer::singleShot(0, Form1, [] {
            Form1->SendByte(0x50);
            Form1->VrPowerButton8Click();
            Form1->Label8Click();
            Form1->TimerInvTimer();
            Form1->TimerRxTimer();
            QTest::mouseClick(Form1->ui().VrSalir, Qt::LeftButton);
        });
    });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] {
        if (Form1)
            Form1->close();
        for (QWidget* window : QApplication::topLevelWidgets())
            window->close();
        QApplication::exit(1);
    });
    probe.start();
    watchdog.start(15000);

    runStartup();

    EXPECT_TRUE(watchdog.isActive()) << "the start-up stayed on the splash";
    EXPECT_TRUE(mainWindowShown);
    ASSERT_GE(dialogs.messages().size(), 2u);
    EXPECT_EQ(dialogs.messages()[1].text, "sin memoria");
    EXPECT_EQ(dialogs.messages()[1].icon, platform::MessageIcon::Error);
    Form1 = nullptr;
}

TEST(Startup, MainWindowIsDestroyedOnlyWhenItsOwnerIs) {
    TempSettings temp;
    temp.store("Puerto Comm", "/nonexistent/marlo-port");
    ScriptedDialogs dialogs;
    auto splash = std::make_unique<TArranque>();
    QPointer<TForm1> form = new TForm1(splash.get());
    form->show();
    form->VrSalirClick();
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(form.isNull());
    splash.reset();
    EXPECT_TRUE(form.isNull());
}

TEST_F(MainWindowWithoutRobot, StartValuesAfterCreation) {
    const MainWindowState& state = form.state();

    EXPECT_EQ(form.size(), QSize(1014, 734));
    EXPECT_EQ(form.ui().Bal->text(), "128");
    EXPECT_EQ(form.ui().Nivel->text(), "128");
    EXPECT_EQ(state.DriveSpeed, 10);
    EXPECT_TRUE(state.ShowRed && state.ShowGreen && state.ShowBlue);
    EXPECT_TRUE(state.ArmActive);
    EXPECT_EQ(state.Retardo, 15);
    EXPECT_EQ(state.Intervalo, 100);
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
