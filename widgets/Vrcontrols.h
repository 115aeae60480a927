#pragma once

#include <QObject>
#include <QString>

// Non-visual component base: the timer derives from it.
class TVrComponent : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Version READ Version WRITE SetVersion STORED false)

public:
    explicit TVrComponent(QObject* owner = nullptr);

    QString Version() const { return version_; }
    void SetVersion(const QString& version) { version_ = version; }

    // Called once the owner has set every stored property; components that hold back work
    // while their properties are being set do it here.
    virtual void Loaded();
    bool Loading() const { return loading_; }
    // Marks the component as being filled from a window description until Loaded runs.
    void BeginLoading() { loading_ = true; }

private:
    QString version_ = QStringLiteral("1.3");
    bool loading_ = false;
};
