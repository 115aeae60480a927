#include "app/ConsoleSettings.h"

#include "platform/SettingsStore.h"

#include <algorithm>

namespace settings {
namespace {

// A stored integer that does not convert is noted and leaves its target as it was.
void readInteger(const platform::SettingsStore& store, const QString& name, int& target,
                 std::vector<UnreadableValue>& unreadable) {
    try {
        if (auto number = store.readInteger(name))
            target = *number;
    } catch (const platform::SettingsReadError&) {
        unreadable.push_back({name, target});
    }
}

} // namespace

StartupRead readStartupSettings() {
    StartupRead result;
    auto store = platform::SettingsStore::open();
    if (!store)
        return result;
    ConsoleSettings& values = result.values;
    if (auto text = store->readString(kPortName))
        values.portName = *text;
    if (auto text = store->readString(kModeString))
        values.modeString = *text;
    readInteger(*store, kRetardo, values.retardo, result.unreadable);
    values.retardo = std::max(0, values.retardo);
    readInteger(*store, kIntervalo, values.intervalo, result.unreadable);
    return result;
}

QString unreadableSettingMessage(const UnreadableValue& value) {
    return QStringLiteral("El valor \"%1\" de la configuración no se puede leer. Se usa %2.")
        .arg(value.name)
        .arg(value.kept);
}

} // namespace settings
