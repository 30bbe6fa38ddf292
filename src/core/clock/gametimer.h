#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

/**
 * The game timer: one timeout() per second of game, on the monotonic clock.
 *
 * Each tick is due exactly one second after the previous one's due time, so
 * late wake-ups never add up. When the event loop was held up past several
 * due times, every missed tick is delivered, one per pass of the loop, as
 * soon as it is free. stop() remembers how much of the current second was
 * still to run and resume() delivers the next tick after only that rest.
 */
class GameTimer : public QObject
{
    Q_OBJECT

public:
    /// Nanoseconds on a monotonic clock.
    using Clock = std::function<qint64()>;

    static constexpr qint64 interval = 1000; ///< milliseconds
    static constexpr qint64 intervalNs = interval * 1000 * 1000;

    explicit GameTimer(QObject *parent = nullptr);
    Q_DISABLE_COPY_MOVE(GameTimer)

    bool isActive() const { return m_active; }

    /// Replaces the monotonic clock (tests drive the schedule by hand).
    void setClock(Clock clock);

    /// How much of the current second has run, in nanoseconds (more than a second while ticks are overdue).
    qint64 intoSecondNs() const;
    /// While stopped: the next resume() delivers its first tick after @p leftNs.
    void setLeft(qint64 leftNs);

public Q_SLOTS:
    /// Begins a fresh second: the first tick is due one interval from now.
    void start();
    /// Stops and keeps the part of the current second still to run.
    void stop();
    /// Goes on where stop() left off.
    void resume();
    /// Delivers the tick that is due, if any, and waits for the next. The wake-up timer calls it.
    void wake();
    /// Delivers every tick that is due now, at once, so that what comes next meets the real game time.
    void catchUp();

Q_SIGNALS:
    void timeout();

private:
    void arm();

    Clock m_clock;
    QTimer m_wakeUp { this }; ///< its child, so that its schedule can be looked at
    bool m_active = false;
    // Kept in nanoseconds, so that many pauses cannot add up rounding errors.
    qint64 m_due = 0; ///< clock time of the next tick while active
    qint64 m_left = intervalNs; ///< time to the next tick while stopped
};
