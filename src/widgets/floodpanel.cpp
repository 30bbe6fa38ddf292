#include "widgets/floodpanel.h"

#include "core/clock/timeconversion.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

int floodPercentFromReal(double percent)
{
    if (std::isnan(percent))
        return 0;
    return static_cast<int>(std::clamp(roundHalfEven(percent), 0.0, 100.0));
}

FloodPanel::FloodPanel(QWidget *parent)
    : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken); // a line one pixel wide, QFrame's own
}

void FloodPanel::setFloodType(FloodType type)
{
    if (m_floodType == type)
        return;
    m_floodType = type;
    update();
}

void FloodPanel::setFloodPercent(int percent)
{
    percent = std::clamp(percent, 0, 100);
    if (m_floodPercent == percent)
        return;
    m_floodPercent = percent;
    update();
}

void FloodPanel::setFloodPercent(double percent)
{
    setFloodPercent(floodPercentFromReal(percent));
}

void FloodPanel::setFloodColor(const QColor &color)
{
    if (m_floodColor == color)
        return;
    m_floodColor = color;
    update();
}

void FloodPanel::setBackgroundColor(const QColor &color)
{
    if (m_background == color)
        return;
    m_background = color;
    update();
}

void FloodPanel::paintEvent(QPaintEvent *event)
{
    {
        QPainter painter(this);
        const QRect inside = contentsRect();
        painter.fillRect(inside, m_background.isValid() ? m_background : palette().color(QPalette::Window));
        if (m_floodType == FloodType::FromLeft && m_floodPercent > 0) {
            const int filled = inside.width() * m_floodPercent / 100;
            QRect flood = inside;
            flood.setWidth(filled);
            painter.fillRect(
                flood, m_floodColor.isValid() ? m_floodColor : palette().color(QPalette::Highlight));
        }
    }
    QFrame::paintEvent(event);
}
