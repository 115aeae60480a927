#include "platform/Application.h"
#include "tests/support/ScriptedDialogs.h"

#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <stdexcept>

TEST(Application, ExceptionFromAnEventHandlerIsShownAndTheProgramCarriesOn) {
    testing_support::ScriptedDialogs dialogs;
    QPushButton button;
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&] {
        if (++clicks == 1)
            throw std::runtime_error("valor fuera de rango");
    });
    button.show();

    QTest::mouseClick(&button, Qt::LeftButton);
    QTest::mouseClick(&button, Qt::LeftButton);

    EXPECT_EQ(clicks, 2);
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].text, "valor fuera de rango");
    EXPECT_EQ(dialogs.messages()[0].icon, platform::MessageIcon::Error);
}

TEST(Application, ExceptionFromATimerTickIsShownAndLaterTicksStillRun) {
    testing_support::ScriptedDialogs dialogs;
    QTimer timer;
    timer.setInterval(1);
    int ticks = 0;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (++ticks == 1)
            throw 42;
    });
    timer.start();
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 3; }, 5000));
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].icon, platform::MessageIcon::Error);
}
