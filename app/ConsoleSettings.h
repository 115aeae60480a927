#pragma once

#include <QString>
#include <vector>

namespace platform {
class SettingsStore;
}

namespace settings {

inline const QString kPortName = QStringLiteral("Puerto Comm");
inline const QString kModeString = QStringLiteral("Cadena");
inline const QString kRetardo = QStringLiteral("Retardo");
inline const QString kIntervalo = QStringLiteral("Intervalo");

// The pause after each byte blocks the GUI thread, so it is kept short.
inline constexpr int kLongestRetardo = 1000;

// What the main window starts with when nothing is stored.
struct ConsoleSettings {
    QString portName = QStringLiteral("COM2");
    QString modeString = QStringLiteral("9600,n,8,1");
    int retardo = 15;
    int intervalo = 100;
};

// A stored value that could not be read or lies out of range, and the value used instead.
struct UnreadableValue {
    QString name;
    int kept = 0;
    bool outOfRange = false;
    bool operator==(const UnreadableValue&) const = default;
};

struct StartupRead {
    ConsoleSettings values;
    std::vector<UnreadableValue> unreadable;
};

// The start-up read: each stored value replaces its default, in the order port name, mode
// string, pause, interval. An unreadable value keeps its default and the read goes on. A
// negative pause means no pause; one above kLongestRetardo is noted and kLongestRetardo used.
StartupRead readStartupSettings();

// The message that tells the operator which stored value could not be used.
QString unreadableSettingMessage(const UnreadableValue& value);

// The message refusing a pause outside 0 to kLongestRetardo.
QString retardoRangeMessage(int value);

} // namespace settings
