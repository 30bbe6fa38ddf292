#include "core/clock/gametimer.h"

#include <algorithm>
#include <chrono>

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
    if (!clock) // the monotonic clock
        clock = [] {
            return std::chrono::steady_clock::now().time_since_epoch() / std::chrono::nanoseconds(1);
        };
    m_clock = std::move(clock);
}

qint64 GameTimer::intoSecondNs() const
{
    return intervalNs - (m_active ? m_due - m_clock() : m_left);
}

void GameTimer::setLeft(qint64 leftNs)
{
    if (!m_active)
        m_left = leftNs;
}

void GameTimer::start()
{
    m_left = intervalNs;
    if (!m_active) {
        resume();
        return;
    }
    m_due = m_clock() + intervalNs;
    arm();
}

void GameTimer::stop()
{
    if (!m_active)
        return;
    m_wakeUp.stop();
    // Negative when ticks were overdue: resume() then delivers them at once.
    m_left = std::min(m_due - m_clock(), intervalNs);
    m_active = false;
}

void GameTimer::resume()
{
    if (m_active)
        return;
    m_due = m_clock() + m_left;
    m_active = true;
    arm();
}

void GameTimer::wake()
{
    if (!m_active)
        return;
    if (m_clock() >= m_due) {
        m_due += intervalNs;
        emit timeout();
        // The receiver may have stopped or restarted the timer.
        if (!m_active || m_wakeUp.isActive())
            return;
    }
    arm();
}

void GameTimer::catchUp()
{
    // The wake-up stays armed for the old due time; when it comes, it waits for the next.
    while (m_active && m_clock() >= m_due) {
        m_due += intervalNs;
        emit timeout();
    }
}

void GameTimer::arm()
{
    // Whole milliseconds, rounded up: the wake-up never comes before the tick is due.
    const qint64 waitNs = std::clamp<qint64>(m_due - m_clock(), 0, intervalNs);
    m_wakeUp.start(static_cast<int>((waitNs + 999999) / 1000000));
}
