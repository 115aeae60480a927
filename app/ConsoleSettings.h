#pragma once

#include "platform/FrameSource.h"
#include "video/VideoFormat.h"

#include <QString>

#include <optional>
#include <vector>

namespace platform {
class SettingsStore;
}

namespace settings {

inline const QString kPortName = QStringLiteral("Puerto Comm");
inline const QString kModeString = QStringLiteral("Cadena");
inline const QString kRetardo = QStringLiteral("Retardo");
inline const QString kIntervalo = QStringLiteral("Intervalo");
inline const QString kFormato = QStringLiteral("Formato");
inline const QString kImagen = QStringLiteral("Imagen");
// The picture file of the company's logo for the reports; none when empty.
inline const QString kLogotipo = QStringLiteral("Informe logotipo");
// The two values of "Imagen": 352 x 288 as always, or the source's own size.
inline const QString kImagenStandard = QStringLiteral("352x288");
inline const QString kImagenOwn = QStringLiteral("nativo");
inline const QString kIdioma = QStringLiteral("Idioma");

// The console's language: Spanish unless English is chosen, whatever the system's locale.
enum class Language { Spanish, English };

// The accepted range of a stored integer, both ends included.
struct Bounds {
    int lowest = 0;
    int highest = 0;

    bool contains(int value) const { return value >= lowest && value <= highest; }
    int nearest(int value) const {
        return value < lowest ? lowest : value > highest ? highest : value;
    }
};

// The pause after each byte blocks the GUI thread: a drive sequence with a longer one holds
// the window so long that the Stop of a released key reaches the robot seconds late.
inline constexpr Bounds kRetardoBounds{0, 100};
// The frame period a recording declares; 10 s is already far slower than any camera.
inline constexpr Bounds kIntervaloBounds{1, 10000};

// What the main window starts with when nothing is stored.
struct ConsoleSettings {
    QString portName = QStringLiteral("COM2");
    QString modeString = QStringLiteral("9600,n,8,1");
    int retardo = 15;
    int intervalo = 100;
    video::VideoFormat formato = video::VideoFormat::Avi;
    platform::PictureSize imagen = platform::PictureSize::Standard;
    QString logotipo;
    Language idioma = Language::Spanish;
};

// A stored value that could not be read or lies out of range, and the value used instead.
struct UnreadableValue {
    QString name;
    int kept = 0;
    bool outOfRange = false;
    // The value used, for a setting that is no number.
    QString keptText = {};
    bool operator==(const UnreadableValue&) const = default;
};

struct StartupRead {
    ConsoleSettings values;
    std::vector<UnreadableValue> unreadable;
};

// The start-up read: each stored value replaces its default, in the order port name, mode
// string, pause, interval, video format, picture size, language, logo. An unreadable value
// keeps its default and the read goes on; a value out of its bounds is noted and the nearest
// bound used.
StartupRead readStartupSettings();

// The video format as stored, "AVI" or "MP4", and as read: either, any case, spaces around;
// nothing for any other text.
QString formatoText(video::VideoFormat format);
std::optional<video::VideoFormat> formatoFromText(const QString& text);
// Stores the operator's choice; false when the store could not be written.
bool storeFormato(video::VideoFormat format);

// "Imagen" as stored and as read: either value, any case, spaces around; nothing for another.
QString imagenText(platform::PictureSize size);
std::optional<platform::PictureSize> imagenFromText(const QString& text);
// Stores the operator's choice at once; false when the store could not be written.
bool storeImagen(platform::PictureSize size);

// The logo chosen for the reports, empty for none; stored at once, false when the store could
// not be written.
bool storeLogotipo(const QString& path);
// "Idioma" as stored, "es" or "en", and as read: either, any case, spaces around; nothing for
// any other text.
QString idiomaText(Language language);
std::optional<Language> idiomaFromText(const QString& text);
// The stored language alone, read before any window exists; Spanish when none or unknown.
Language readIdioma();
// Stores the operator's choice at once; false when the store could not be written.
bool storeIdioma(Language language);

// The message that tells the operator which stored value could not be used.
QString unreadableSettingMessage(const UnreadableValue& value);

// The dialog's messages refusing a pause or an interval out of its bounds.
QString retardoRangeMessage(int value);
QString intervaloRangeMessage(int value);

} // namespace settings
