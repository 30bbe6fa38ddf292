#include "gametimer.h"

#include <QElapsedTimer>
#include <algorithm>

GameTimer::GameTimer(QObject *parent)
    : QObject(parent)
{
    m_wakeUp.setSingleShot(true);
    m_wakeUp.setTimerType(Qt::PreciseTimer);
    connect(&m_wakeUp, &QTimer::timeout, this, &GameTimer::wake);
    setClock({});
}

void GameTimer::setClock(Clock clock)
{
    if (!clock) {
        auto reference = std::make_shared<QElapsedTimer>();
        reference->start();
        clock = [reference] { return reference->elapsed(); };
    }
    m_clock = std::move(clock);
}

qint64 GameTimer::msUntilNextTick() const
{
    return m_active ? m_due - m_clock() : m_left;
}

void GameTimer::start()
{
    m_left = interval;
    if (!m_active) {
        resume();
        return;
    }
    m_due = m_clock() + interval;
    arm();
}

void GameTimer::stop()
{
    if (!m_active)
        return;
    m_wakeUp.stop();
    // Negative when ticks were overdue: resume() then delivers them at once.
    m_left = std::min(m_due - m_clock(), interval);
    setActive(false);
}

void GameTimer::resume()
{
    if (m_active)
        return;
    m_due = m_clock() + m_left;
    setActive(true);
    arm();
}

void GameTimer::wake()
{
    if (!m_active)
        return;
    if (m_clock() >= m_due) {
        m_due += interval;
        emit timeout();
        // The receiver may have stopped or restarted the timer.
        if (!m_active || m_wakeUp.isActive())
            return;
    }
    arm();
}

void GameTimer::arm()
{
    m_wakeUp.start(static_cast<int>(std::clamp<qint64>(m_due - m_clock(), 0, interval)));
}

void GameTimer::setActive(bool active)
{
    if (m_active == active)
        return;
    m_active = active;
    emit activeChanged(active);
}
