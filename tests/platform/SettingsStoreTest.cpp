#include "platform/SettingsStore.h"
#include "tests/support/TempSettings.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// The settings file is made when missing, and never through a link left at its name.
TEST(SettingsStore, MakesAMissingFileButNeverWritesThroughALink) {
    {
        testing_support::TempSettings settings;
        ASSERT_FALSE(QFileInfo::exists(settings.file()));
        EXPECT_NE(platform::SettingsStore::open(), nullptr);
        EXPECT_TRUE(QFileInfo(settings.file()).isFile());
    }
    testing_support::TempSettings settings;
    QTemporaryDir elsewhere;
    const QString target = elsewhere.filePath(QStringLiteral("target.conf"));
    ASSERT_TRUE(QFile::link(target, settings.file()));
    EXPECT_EQ(platform::SettingsStore::open(), nullptr);
    EXPECT_FALSE(QFileInfo::exists(target));
}
