#include "linewidget.h"

#include <QPainter>

LineWidget::LineWidget(const QColor &colour, QWidget *parent)
    : QWidget(parent)
    , m_colour(colour)
{ }

void LineWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_colour);
}
