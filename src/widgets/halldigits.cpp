#include "widgets/halldigits.h"

#include "widgets/colors.h"

#include <QPainter>
#include <algorithm>

HallDigits::HallDigits(const QColor &color, QWidget *parent)
    : QLabel(parent)
    , m_color(color)
{
    QFont digits(QStringLiteral("DejaVu Sans Mono"));
    digits.setStyleHint(QFont::Monospace);
    digits.setBold(true);
    setFont(digits);
}

void HallDigits::setSecondsRed(bool red)
{
    if (m_secondsRed == red)
        return;
    m_secondsRed = red;
    update();
}

void HallDigits::paintEvent(QPaintEvent *)
{
    // Measured at a fixed size, then scaled, so the digits' height follows the label's exactly.
    QFont digits = font();
    digits.setPixelSize(100);
    const QRectF ink = QFontMetricsF(digits).tightBoundingRect(QStringLiteral("0123456789"));
    if (ink.height() <= 0 || text().isEmpty())
        return;
    const double scale = height() * digitShare / ink.height();
    digits.setPixelSize(std::max(1, qRound(100 * scale)));
    const QFontMetricsF metrics(digits);
    const QString seconds = text().right(2);
    const QString head = text().chopped(seconds.size());
    const double width = metrics.horizontalAdvance(text());
    const double narrowing = std::min(1.0, this->width() / width);

    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(digits);
    painter.translate(this->width() / 2.0, height() / 2.0 - (ink.top() + ink.height() / 2) * scale);
    painter.scale(narrowing, 1.0);
    const double left = -width / 2;
    painter.setPen(m_color);
    painter.drawText(QPointF(left, 0), head);
    painter.setPen(m_secondsRed ? Colors::of(Signal::Color::Red) : m_color);
    painter.drawText(QPointF(left + metrics.horizontalAdvance(head), 0), seconds);
}
