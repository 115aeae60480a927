#pragma once

#include <QString>
#include <QStringList>

namespace platform {
class SettingsStore;
}

namespace settings {

inline const QString kPortName = QStringLiteral("Puerto Comm");
inline const QString kModeString = QStringLiteral("Cadena");
inline const QString kRetardo = QStringLiteral("Retardo");
inline const QString kIntervalo = QStringLiteral("Intervalo");

// What the main window starts with when nothing is stored.
struct ConsoleSettings {
    QString portName = QStringLiteral("COM2");
    QString modeString = QStringLiteral("9600,n,8,1");
    int retardo = 15;
    int intervalo = 100;
};

struct StartupRead {
    ConsoleSettings values;
    // Stored values that could not be read; their defaults were kept.
    QStringList unreadable;
};

// The start-up read: each stored value replaces its default, in the order port name, mode
// string, pause, interval. An unreadable value keeps its default and the read goes on. A
// negative pause means no pause.
StartupRead readStartupSettings();

// The message that tells the operator which stored value could not be read.
QString unreadableSettingMessage(const QString& valueName, const ConsoleSettings& defaults);

} // namespace settings
