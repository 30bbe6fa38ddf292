#include "widgets/linewidget.h"

#include <QPainter>

LineWidget::LineWidget(const QColor &color, QWidget *parent)
    : QWidget(parent)
    , m_color(color)
{ }

void LineWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_color);
}
