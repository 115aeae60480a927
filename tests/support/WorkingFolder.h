#pragma once

#include <QDir>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace testing_support {

// Runs the test inside a fresh, empty working folder, where generated names land.
class WorkingFolder {
public:
    WorkingFolder() : previous_(QDir::currentPath()) { QDir::setCurrent(dir_.path()); }
    ~WorkingFolder() { QDir::setCurrent(previous_); }
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;
    QString path(const QString& name) const { return dir_.filePath(name); }
    QStringList files() const { return QDir(dir_.path()).entryList(QDir::Files); }

private:
    QTemporaryDir dir_;
    QString previous_;
};

} // namespace testing_support
