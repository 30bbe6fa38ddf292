#pragma once

#include <QColor>
#include <QWidget>

/// A straight horizontal line, one pixel wide, in one color.
class LineWidget : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QColor color READ color CONSTANT)

public:
    LineWidget(const QColor &color, QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(LineWidget)

    QColor color() const { return m_color; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_color;
};
