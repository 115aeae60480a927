#include "app/ConsoleSettings.h"

#include "platform/SettingsStore.h"

#include <QCoreApplication>

namespace settings {
namespace {

// A stored integer that does not convert is noted and leaves its target as it was; one out
// of its bounds is noted and replaced by the nearest bound.
void readBoundedInteger(const platform::SettingsStore& store, const QString& name, Bounds bounds,
                        int& target, std::vector<UnreadableValue>& unreadable) {
    try {
        if (auto number = store.readInteger(name))
            target = *number;
    } catch (const platform::SettingsReadError&) {
        unreadable.push_back({name, target});
        return;
    }
    if (!bounds.contains(target)) {
        target = bounds.nearest(target);
        unreadable.push_back({name, target, true});
    }
}

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(ConsoleSettings)
};

Bounds boundsOf(const QString& name) {
    return name == kIntervalo ? kIntervaloBounds : kRetardoBounds;
}

// A choice the operator makes in the context menu, stored at once.
bool storeText(const QString& key, const QString& text) {
    auto store = platform::SettingsStore::open();
    if (!store)
        return false;
    store->writeString(key, text);
    return store->close();
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
    readBoundedInteger(*store, kRetardo, kRetardoBounds, values.retardo, result.unreadable);
    readBoundedInteger(*store, kIntervalo, kIntervaloBounds, values.intervalo, result.unreadable);
    if (auto text = store->readString(kFormato)) {
        if (const auto format = formatoFromText(*text))
            values.formato = *format;
        else
            result.unreadable.push_back({kFormato, 0, false, formatoText(values.formato)});
    }
    if (auto text = store->readString(kImagen)) {
        if (const auto size = imagenFromText(*text))
            values.imagen = *size;
        else
            result.unreadable.push_back({kImagen, 0, false, imagenText(values.imagen)});
    }
    if (auto text = store->readString(kLogotipo))
        values.logotipo = *text;
    if (auto text = store->readString(kIdioma)) {
        if (const auto language = idiomaFromText(*text))
            values.idioma = *language;
        else
            result.unreadable.push_back({kIdioma, 0, false, idiomaText(values.idioma)});
    }
    return result;
}

QString formatoText(video::VideoFormat format) {
    return format == video::VideoFormat::Mp4 ? QStringLiteral("MP4") : QStringLiteral("AVI");
}

std::optional<video::VideoFormat> formatoFromText(const QString& text) {
    for (const auto format : {video::VideoFormat::Avi, video::VideoFormat::Mp4})
        if (text == formatoText(format))
            return format;
    return std::nullopt;
}

bool writeFormato(video::VideoFormat format) {
    return storeText(kFormato, formatoText(format));
}

QString imagenText(platform::PictureSize size) {
    return size == platform::PictureSize::Own ? kImagenOwn : kImagenStandard;
}

std::optional<platform::PictureSize> imagenFromText(const QString& text) {
    for (const platform::PictureSize size :
         {platform::PictureSize::Standard, platform::PictureSize::Own})
        if (text.trimmed().compare(imagenText(size), Qt::CaseInsensitive) == 0)
            return size;
    return std::nullopt;
}

bool storeImagen(platform::PictureSize size) {
    return storeText(kImagen, imagenText(size));
}

bool storeLogotipo(const QString& path) {
    return storeText(kLogotipo, path);
}

QString idiomaText(Language language) {
    return language == Language::English ? QStringLiteral("en") : QStringLiteral("es");
}

std::optional<Language> idiomaFromText(const QString& text) {
    for (const auto language : {Language::Spanish, Language::English})
        if (text == idiomaText(language))
            return language;
    return std::nullopt;
}

Language readIdioma() {
    const auto store = platform::SettingsStore::open();
    const auto text = store ? store->readString(kIdioma) : std::nullopt;
    return text ? idiomaFromText(*text).value_or(Language::Spanish) : Language::Spanish;
}

bool storeIdioma(Language language) {
    return storeText(kIdioma, idiomaText(language));
}

QString unreadableSettingMessage(const UnreadableValue& value) {
    const Bounds bounds = boundsOf(value.name);
    const QString problem = value.outOfRange ? Texts::tr("está fuera del intervalo de %1 a %2")
                                                   .arg(bounds.lowest)
                                                   .arg(bounds.highest)
                                             : Texts::tr("no se puede leer");
    return Texts::tr("El valor \"%1\" de la configuración %2. Se usa %3.")
        .arg(value.name, problem)
        .arg(value.keptText.isEmpty() ? QString::number(value.kept) : value.keptText);
}

QString retardoRangeMessage(int value) {
    return Texts::tr("El retardo %1 está fuera del intervalo de %2 a %3 ms.")
        .arg(value)
        .arg(kRetardoBounds.lowest)
        .arg(kRetardoBounds.highest);
}

QString intervaloRangeMessage(int value) {
    return Texts::tr("El intervalo de vídeo %1 está fuera del intervalo de %2 a %3 ms.")
        .arg(value)
        .arg(kIntervaloBounds.lowest)
        .arg(kIntervaloBounds.highest);
}

} // namespace settings
