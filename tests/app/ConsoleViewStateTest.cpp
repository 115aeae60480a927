#include "app/RemoteViewControl.h"
#include "job/Session.h"
#include "link/Telemetry.h"
#include "tests/support/WorkingFolder.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(ConsoleViewState, TellsTheJobTheLinkAndTheRecordingAsTheWindowHasThem) {
    const struct {
        bool job;
        robot::LinkState link;
        bool recording;
        const char* linkText;
        const char* recordingText;
    } cases[] = {
        {false, robot::LinkState::Connected, false, "Conectado", ""},
        {true, robot::LinkState::Connected, true, "Conectado", "Grabando"},
        {true, robot::LinkState::RobotSilent, false, "Sin respuesta", ""},
        {false, robot::LinkState::Lost, true, "Sin conexión", "Grabando"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.linkText);
        testing_support::WorkingFolder working;
        QTemporaryDir root;
        job::Session session{[] { return job::Reading{}; }, [](const QString&) {}, root.path()};
        if (c.job) {
            ASSERT_TRUE(session.start(QStringLiteral("Obra")));
        }
        const robot::Telemetry telemetry;
        const remote::ViewState state = consoleViewState(session, c.link, c.recording, telemetry);
        EXPECT_EQ(state.job, c.job ? session.name() : QString());
        EXPECT_EQ(state.job.isEmpty(), !c.job);
        EXPECT_EQ(state.link.toStdString(), c.linkText);
        EXPECT_EQ(state.recording, c.recording);
        EXPECT_EQ(state.recordingText.toStdString(), c.recordingText);
        EXPECT_EQ(state.temperature, telemetry.temperatureText());
        EXPECT_EQ(state.humidity, telemetry.humidityText());
        EXPECT_EQ(QString::fromStdString(state.picturesFolder.string()),
                  c.job ? session.folder() : QString())
            << "no folder is served without a job";
        EXPECT_TRUE(state.observations.empty());
    }
}
