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
    if (values.retardo > kLongestRetardo) {
        values.retardo = kLongestRetardo;
        result.unreadable.push_back({kRetardo, kLongestRetardo, true});
    }
    readInteger(*store, kIntervalo, values.intervalo, result.unreadable);
    return result;
}

QString unreadableSettingMessage(const UnreadableValue& value) {
    const QString problem =
        value.outOfRange ? QStringLiteral("está fuera del intervalo de 0 a %1").arg(kLongestRetardo)
                         : QStringLiteral("no se puede leer");
    return QStringLiteral("El valor \"%1\" de la configuración %2. Se usa %3.")
        .arg(value.name, problem)
        .arg(value.kept);
}

QString retardoRangeMessage(int value) {
    return QStringLiteral("El retardo %1 está fuera del intervalo de 0 a %2 ms.")
        .arg(value)
        .arg(kLongestRetardo);
}

} // namespace settings
