#pragma once

#include "platform/SettingsStore.h"

#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace testing_support {

// Points the console's settings key at a fresh, empty folder for the life of the object.
class TempSettings {
public:
    TempSettings() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir_.path());
    }
    ~TempSettings() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    }
    TempSettings(const TempSettings&) = delete;
    TempSettings& operator=(const TempSettings&) = delete;

    QString file() const { return platform::SettingsStore::location(); }

    // Writes values straight into the file, as a person editing it would.
    void store(const QString& name, const QVariant& value) {
        QSettings settings(QSettings::NativeFormat, QSettings::UserScope,
                           QStringLiteral("QUELMAR"));
        settings.setValue(name, value);
    }
    QVariant stored(const QString& name) const {
        QSettings settings(QSettings::NativeFormat, QSettings::UserScope,
                           QStringLiteral("QUELMAR"));
        return settings.value(name);
    }

private:
    QTemporaryDir dir_;
};

// Settings whose port cannot be opened: a console with no robot behind it.
struct MissingPortSettings : TempSettings {
    MissingPortSettings() { store("Puerto Comm", "/nonexistent/marlo-port"); }
};

// What the status line of a console without a robot shows before every other text.
inline const QString afterLostLink = QStringLiteral("Conexión con el robot perdida · ");

} // namespace testing_support
