#include "job/Session.h"
#include "tests/support/WorkingFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// The observation key's picture is taken under the job's next name before the moment is
// marked; a picture the disk refuses leaves the observation without one, saying why.
TEST(MarkWithPicture, ThePictureTakenOrWhyNot) {
    const struct {
        platform::DiskError taken;
        bool hasPicture;
        const char* noPicture; // %1: the picture's file name
    } cases[] = {
        {platform::DiskError::None, true, ""},
        {platform::DiskError::Full, false, "disco lleno"},
        {platform::DiskError::Failed, false, "no se pudo escribir %1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.noPicture);
        testing_support::WorkingFolder working;
        QTemporaryDir root;
        job::Reading reading;
        reading.temperature = 31;
        job::Session session{[&] { return reading; }, [](const QString&) {}, root.path()};
        ASSERT_TRUE(session.start(QStringLiteral("Obra")));
        std::vector<std::filesystem::path> asked;
        const job::Session::Marked marked =
            session.markWithPicture([&](const std::filesystem::path& file) {
                asked.push_back(file);
                return c.taken;
            });
        ASSERT_EQ(asked.size(), 1u);
        const QFileInfo file(QString::fromStdString(asked[0].string()));
        EXPECT_EQ(file.absolutePath(), QDir(session.folder()).absolutePath());
        EXPECT_TRUE(file.fileName().endsWith(QStringLiteral("foto.bmp")))
            << file.fileName().toStdString();
        EXPECT_EQ(marked.observation.picture, c.hasPicture ? file.fileName() : QString());
        EXPECT_EQ(marked.noPicture.toStdString(),
                  QString::fromUtf8(c.noPicture).replace("%1", file.fileName()).toStdString());
        EXPECT_EQ(marked.observation.reading.temperature, 31)
            << "the moment is marked all the same";
        EXPECT_TRUE(marked.observation.when.isValid());
    }
}
