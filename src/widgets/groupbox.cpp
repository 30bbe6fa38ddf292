#include "widgets/groupbox.h"

#include "widgets/colors.h"

#include <QPainter>

void GroupBox::paintEvent(QPaintEvent * /*event*/)
{
    QPainter painter(this);
    const QFontMetrics metrics = fontMetrics();
    // The line runs through the middle of the caption; without one it is the top edge.
    const int top = title().isEmpty() ? 0 : metrics.height() / 2;
    const QRect frame = rect().adjusted(0, top, -2, -2);
    painter.setPen(Colors::white);
    painter.drawRect(frame.translated(1, 1));
    painter.setPen(Colors::grey);
    painter.drawRect(frame);
    if (title().isEmpty())
        return;
    const QRect caption(6, 0, metrics.horizontalAdvance(title()) + 4, metrics.height());
    painter.fillRect(caption, palette().window());
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(caption, Qt::AlignCenter, title());
}
