#include "platform/SettingsStore.h"

#include "platform/Disk.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>

namespace platform {
namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(SettingsStore)
};

const QString kOrganization = QStringLiteral("QUELMAR");

std::unique_ptr<QSettings> makeSettings() {
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       kOrganization);
}

#ifndef Q_OS_WIN
// QSettings creates its file only on the first write; the key must exist once opened.
bool ensureFileExists(const QString& path) {
    QFileInfo info(path);
    if (info.exists())
        return info.isFile() && info.isReadable();
    if (!QDir().mkpath(info.absolutePath()))
        return false;
    // Made new, never through a link left at the name.
    const std::unique_ptr<DiskFile> file = localDisk().open(path.toStdString(), OpenMode::New);
    return file && file->close();
}
#endif

} // namespace

SettingsReadError::SettingsReadError(const QString& valueName)
    : std::runtime_error(Texts::tr("Error leyendo el valor \"%1\" de la configuración")
                             .arg(valueName)
                             .toStdString()),
      valueName_(valueName) {}

std::unique_ptr<SettingsStore> SettingsStore::open() {
    auto settings = makeSettings();
#ifndef Q_OS_WIN
    if (!ensureFileExists(settings->fileName()))
        return nullptr;
#endif
    if (settings->status() != QSettings::NoError)
        return nullptr;
    return std::unique_ptr<SettingsStore>(new SettingsStore(std::move(settings)));
}

SettingsStore::SettingsStore(std::unique_ptr<QSettings> settings)
    : settings_(std::move(settings)) {}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::location() {
    return makeSettings()->fileName();
}

bool SettingsStore::contains(const QString& name) const {
    return settings_->contains(name);
}

std::optional<QString> SettingsStore::readString(const QString& name) const {
    if (!contains(name))
        return std::nullopt;
    const QVariant value = settings_->value(name);
    // A hand-edited "9600,n,8,1" without quotes comes back from the file as a list.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

std::optional<int> SettingsStore::readInteger(const QString& name) const {
    if (!contains(name))
        return std::nullopt;
    const QVariant value = settings_->value(name);
    if (value.typeId() == QMetaType::Int)
        return value.toInt();
    if (value.typeId() != QMetaType::QString)
        throw SettingsReadError(name);
    bool ok = false;
    const int number = value.toString().toInt(&ok, 10);
    if (!ok)
        throw SettingsReadError(name);
    return number;
}

void SettingsStore::writeString(const QString& name, const QString& value) {
    settings_->setValue(name, value);
}

void SettingsStore::writeInteger(const QString& name, int value) {
    settings_->setValue(name, value);
}

bool SettingsStore::close() {
    settings_->sync();
    return settings_->status() == QSettings::NoError;
}

} // namespace platform
