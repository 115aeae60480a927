#pragma once

#include <QObject>

#include <functional>

class QWidget;

// Runs a handler on each double click on a plain widget (a panel or a label), which has
// no double-click signal of its own.
class DoubleClick : public QObject {
    Q_OBJECT
public:
    static void bind(QWidget* widget, std::function<void()> handler);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    DoubleClick(QWidget* widget, std::function<void()> handler);
    std::function<void()> handler_;
};
