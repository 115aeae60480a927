#pragma once

#include <QColor>
#include <QWidget>

// A plain geometric shape of the window's drawings: filled with a brush, outlined with a pen.
class TShape : public QWidget {
    Q_OBJECT
public:
    enum class Kind { Rectangle, RoundRect, Ellipse, Square };

    explicit TShape(QWidget* parent = nullptr);

    void SetKind(Kind kind);
    void SetBrushColor(const QColor& color);
    // An invalid colour draws no outline.
    void SetPenColor(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Kind kind_ = Kind::Rectangle;
    QColor brush_ = Qt::white;
    QColor pen_ = Qt::black;
};
