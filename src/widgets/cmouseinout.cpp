#include "widgets/cmouseinout.h"

#include <QEnterEvent>
#include <QMouseEvent>

bool CheckMouseInOut(double x, double y, double width, double height)
{
    return x >= 0 && x <= width && y >= 0 && y <= height;
}

cMouseInOut::cMouseInOut(QObject *parent)
    : QObject(parent)
{ }

void cMouseInOut::attach(QWidget *control)
{
    m_control = control;
    // Moves without a button held: a control enabled under a resting pointer lights at its next move.
    m_control->setMouseTracking(true);
    m_control->installEventFilter(this);
}

void cMouseInOut::pointerAt(double x, double y)
{
    if (!m_control)
        return;
    if (!CheckMouseInOut(x, y, m_control->width(), m_control->height())) {
        pointerLeft();
        return;
    }
    if (IsMouseIn)
        return;
    IsMouseIn = true;
    emit MouseIn(m_control);
}

void cMouseInOut::pointerLeft()
{
    // The window system reports a leave once per exit; a stray one is harmless.
    if (!m_control || !IsMouseIn)
        return;
    IsMouseIn = false;
    emit MouseOut(m_control);
}

bool cMouseInOut::eventFilter(QObject *, QEvent *event)
{
    // Installed on the control alone (attach()).
    switch (event->type()) {
    case QEvent::Enter:
        // A disabled control gets no pointer moves; it does not light up.
        if (m_control->isEnabled()) {
            const QPointF pos = static_cast<QEnterEvent *>(event)->position();
            pointerAt(pos.x(), pos.y());
        }
        break;
    case QEvent::MouseMove:
        if (m_control->isEnabled()) {
            const QPointF pos = static_cast<QMouseEvent *>(event)->position();
            pointerAt(pos.x(), pos.y());
        }
        break;
    case QEvent::Leave:
    case QEvent::Hide:
        pointerLeft();
        break;
    default:
        break;
    }
    return false;
}
