#include "widgets/spinbutton.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>

SpinButton::SpinButton(QWidget *parent)
    : QWidget(parent)
{
    // Only the Tab key gives the arrows the focus; a click leaves it in the field being stepped.
    setFocusPolicy(Qt::TabFocus);
    // Each step restarts the repeat (fire()), at the delay or the interval.
    connect(&m_repeat, &QTimer::timeout, this, [this] { fire(true); });
}

QRect SpinButton::arrowRect(Arrow arrow) const
{
    const int half = height() / 2;
    if (arrow == Arrow::Up)
        return { 0, 0, width(), half };
    return { 0, half, width(), height() - half };
}

SpinButton::Arrow SpinButton::arrowAt(const QPoint &pos) const
{
    if (!rect().contains(pos))
        return Arrow::None;
    return pos.y() < height() / 2 ? Arrow::Up : Arrow::Down;
}

void SpinButton::fire(bool repeating)
{
    m_repeat.stop();
    if (m_pressed == Arrow::Up)
        emit SpinUp();
    else if (m_pressed == Arrow::Down)
        emit SpinDown();
    // A step may open a modal message box; the button that closes it takes
    // the release, so the press ends here unless the button is still held.
    if (m_pressed == Arrow::None || !(QGuiApplication::mouseButtons() & Qt::LeftButton)) {
        release();
        return;
    }
    m_repeat.start(repeating ? repeatInterval : repeatDelay);
}

void SpinButton::release()
{
    m_repeat.stop();
    m_pressed = Arrow::None;
    update();
}

void SpinButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event); // passed on to the parent
    m_pressed = arrowAt(event->position().toPoint());
    update();
    fire(false);
}

void SpinButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        release();
}

void SpinButton::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Up)
        emit SpinUp();
    else if (event->key() == Qt::Key_Down)
        emit SpinDown();
    else
        QWidget::keyPressEvent(event);
}

void SpinButton::changeEvent(QEvent *event)
{
    // A message box opened by a step, or disabling, ends a held press.
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        release();
    QWidget::changeEvent(event);
}

void SpinButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    for (Arrow arrow : { Arrow::Up, Arrow::Down }) {
        QStyleOptionButton bevel;
        bevel.initFrom(this);
        bevel.rect = arrowRect(arrow);
        bevel.state &= ~QStyle::State_HasFocus;
        if (m_pressed == arrow)
            bevel.state |= QStyle::State_Sunken;
        else
            bevel.state |= QStyle::State_Raised;
        style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &bevel, &painter, this);

        QStyleOption indicator;
        indicator.initFrom(this);
        indicator.rect = bevel.rect.adjusted(3, 3, -3, -3);
        style()->drawPrimitive(
            arrow == Arrow::Up ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowDown, &indicator,
            &painter, this);
    }
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(1, 1, -1, -1);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}
