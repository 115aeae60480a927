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

// Every stored choice is read by one rule: its own text, spaces around and case aside.
template <typename Choice>
std::optional<Choice> choiceFromText(const QString& text, std::initializer_list<Choice> choices,
                                     QString (*textOf)(Choice)) {
    for (const Choice choice : choices)
        if (text.trimmed().compare(textOf(choice), Qt::CaseInsensitive) == 0)
            return choice;
    return std::nullopt;
}

// A stored choice that is none of its values is noted and leaves its target as it was.
template <typename Choice>
void readChoice(const platform::SettingsStore& store, const QString& name, Choice& target,
                std::optional<Choice> (*fromText)(const QString&), QString (*textOf)(Choice),
                std::vector<UnreadableValue>& unreadable) {
    const std::optional<QString> text = store.readString(name);
    if (!text)
        return;
    if (const std::optional<Choice> choice = fromText(*text))
        target = *choice;
    else
        unreadable.push_back({name, 0, false, textOf(target)});
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
    readChoice(*store, kFormato, values.formato, formatoFromText, formatoText, result.unreadable);
    readChoice(*store, kImagen, values.imagen, imagenFromText, imagenText, result.unreadable);
    if (auto text = store->readString(kLogotipo))
        values.logotipo = *text;
    readChoice(*store, kIdioma, values.idioma, idiomaFromText, idiomaText, result.unreadable);
    return result;
}

QString formatoText(video::VideoFormat format) {
    return format == video::VideoFormat::Mp4 ? QStringLiteral("MP4") : QStringLiteral("AVI");
}

std::optional<video::VideoFormat> formatoFromText(const QString& text) {
    return choiceFromText(text, {video::VideoFormat::Avi, video::VideoFormat::Mp4}, formatoText);
}

bool storeFormato(video::VideoFormat format) {
    return storeText(kFormato, formatoText(format));
}

QString imagenText(platform::PictureSize size) {
    return size == platform::PictureSize::Own ? kImagenOwn : kImagenStandard;
}

std::optional<platform::PictureSize> imagenFromText(const QString& text) {
    return choiceFromText(text, {platform::PictureSize::Standard, platform::PictureSize::Own},
                          imagenText);
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
    return choiceFromText(text, {Language::Spanish, Language::English}, idiomaText);
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
