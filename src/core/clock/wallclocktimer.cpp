#include "core/clock/wallclocktimer.h"

QString titleWithTime(const QTime &time)
{
    return QStringLiteral(" Velorand :  [") + time.toString(QStringLiteral("HH:mm:ss")) + u']';
}

WallClockTimer::WallClockTimer(QObject *parent)
    : QObject(parent)
{
    m_wakeUp.setSingleShot(true);
    m_wakeUp.setTimerType(Qt::PreciseTimer);
    connect(&m_wakeUp, &QTimer::timeout, this, &WallClockTimer::fire);
}

int WallClockTimer::msToNextSecond(const QTime &now)
{
    // A few milliseconds past the full second, so that reading the time
    // in the handler lands safely inside the new second.
    constexpr int margin = 5;
    return 1000 - now.msec() + margin;
}

void WallClockTimer::start()
{
    m_wakeUp.start(msToNextSecond(QTime::currentTime()));
}

void WallClockTimer::fire()
{
    start();
    emit timeout();
}
