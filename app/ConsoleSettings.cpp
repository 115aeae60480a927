#include "app/ConsoleSettings.h"

#include "platform/SettingsStore.h"

#include <algorithm>

namespace settings {
namespace {

template <typename Read> void readInto(const QString& name, QStringList& unreadable, Read read) {
    try {
        read();
    } catch (const platform::SettingsReadError&) {
        unreadable.append(name);
    }
}

QString defaultText(const QString& valueName, const ConsoleSettings& defaults) {
    if (valueName == kPortName)
        return defaults.portName;
    if (valueName == kModeString)
        return defaults.modeString;
    if (valueName == kRetardo)
        return QString::number(defaults.retardo);
    return QString::number(defaults.intervalo);
}

} // namespace

StartupRead readStartupSettings() {
    StartupRead result;
    auto store = platform::SettingsStore::open();
    if (!store)
        return result;
    ConsoleSettings& values = result.values;
    readInto(kPortName, result.unreadable, [&] {
        if (auto text = store->readString(kPortName))
            values.portName = *text;
    });
    readInto(kModeString, result.unreadable, [&] {
        if (auto text = store->readString(kModeString))
            values.modeString = *text;
    });
    readInto(kRetardo, result.unreadable, [&] {
        if (auto number = store->readInteger(kRetardo))
            values.retardo = std::max(0, *number);
    });
    readInto(kIntervalo, result.unreadable, [&] {
        if (auto number = store->readInteger(kIntervalo))
            values.intervalo = *number;
    });
    return result;
}

QString unreadableSettingMessage(const QString& valueName, const ConsoleSettings& defaults) {
    return QStringLiteral("El valor \"%1\" de la configuración no se puede leer. Se usa %2.")
        .arg(valueName, defaultText(valueName, defaults));
}

} // namespace settings
