#pragma once

#include <QString>

#include <memory>
#include <optional>
#include <stdexcept>

class QSettings;

namespace platform {

// A stored value that does not convert to the type asked for.
class SettingsReadError : public std::runtime_error {
public:
    explicit SettingsReadError(const QString& valueName);
    const QString& valueName() const { return valueName_; }

private:
    QString valueName_;
};

// The console's settings key: the registry key "\Software\QUELMAR" of the current user on
// Windows, $XDG_CONFIG_HOME/QUELMAR.conf elsewhere, with the values at top level.
class SettingsStore {
public:
    // Opens the key, creating it when it is missing. Returns nothing when it can be neither
    // opened nor created.
    static std::unique_ptr<SettingsStore> open();
    ~SettingsStore();

    bool contains(const QString& name) const;
    // Nothing when the value is not stored.
    std::optional<QString> readString(const QString& name) const;
    // Nothing when the value is not stored; throws SettingsReadError when it is no integer.
    std::optional<int> readInteger(const QString& name) const;

    void writeString(const QString& name, const QString& value);
    void writeInteger(const QString& name, int value);
    // Flushes what was written; false when the store could not be written.
    bool close();

    // Where the key lives on this machine.
    static QString location();

private:
    explicit SettingsStore(std::unique_ptr<QSettings> settings);
    std::unique_ptr<QSettings> settings_;
};

} // namespace platform
