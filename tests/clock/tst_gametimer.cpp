#include "clock/gametimer.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <memory>

// The schedule runs on a clock that only the test moves, except in realTimerKeepsTime().
class TestGameTimer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void startGivesAFreshSecond();
    void lateWakeUpsDoNotDrift_data();
    void lateWakeUpsDoNotDrift();
    void missedTicksAreCaughtUp();
    void pauseKeepsThePhase_data();
    void pauseKeepsThePhase();
    void realTimerKeepsTime();

private:
    qint64 m_now = 0; // milliseconds
    std::unique_ptr<GameTimer> m_timer;
    std::unique_ptr<QSignalSpy> m_ticks;

    /// Moves the clock on by @p ms, wakes the timer and returns the ticks delivered so far.
    qsizetype wakeAfter(qint64 ms)
    {
        m_now += ms;
        m_timer->wake();
        return m_ticks->count();
    }
};

void TestGameTimer::init()
{
    m_now = 100000;
    m_timer = std::make_unique<GameTimer>();
    m_timer->setClock([this] { return m_now * 1000 * 1000; });
    m_ticks = std::make_unique<QSignalSpy>(m_timer.get(), &GameTimer::timeout);
}

void TestGameTimer::startGivesAFreshSecond()
{
    m_timer->start();
    QCOMPARE(m_timer->msUntilNextTick(), 1000);
    QCOMPARE(wakeAfter(999), 0);
    QCOMPARE(wakeAfter(1), 1);

    // A start in the middle of a second throws the rest of it away...
    m_now += 300;
    m_timer->start();
    QCOMPARE(wakeAfter(700), 1);
    // ...and so does a start after a stop that kept part of a second.
    m_timer->stop();
    QCOMPARE(m_timer->msUntilNextTick(), 300);
    m_now += 5000;
    m_timer->start();
    QCOMPARE(m_timer->msUntilNextTick(), 1000);
}

void TestGameTimer::lateWakeUpsDoNotDrift_data()
{
    QTest::addColumn<qint64>("lateness");
    QTest::newRow("on time") << qint64(0);
    QTest::newRow("1 ms late") << qint64(1);
    QTest::newRow("999 ms late") << qint64(999);
}

void TestGameTimer::lateWakeUpsDoNotDrift()
{
    QFETCH(qint64, lateness);
    m_timer->start();
    m_now += lateness;
    for (int second = 1; second <= 3600; ++second) {
        QCOMPARE(wakeAfter(1000), second);
        // The next tick stays on the grid of the start, whatever the wake-up's delay.
        QCOMPARE(m_timer->msUntilNextTick(), 1000 - lateness);
    }
}

void TestGameTimer::missedTicksAreCaughtUp()
{
    m_timer->start();
    QCOMPARE(wakeAfter(5500), 1); // the event loop was held up; one tick per wake-up
    // The timer's own wake-ups deliver the rest, one per pass of the event loop, and no more.
    QTRY_COMPARE_WITH_TIMEOUT(m_ticks->count(), 5, 2000);
    QTest::qWait(50);
    QCOMPARE(m_ticks->count(), 5);
    QCOMPARE(m_timer->msUntilNextTick(), 500);
}

void TestGameTimer::pauseKeepsThePhase_data()
{
    QTest::addColumn<qint64>("pauseAfter");
    QTest::addColumn<qint64>("pauseLength");
    QTest::newRow("at once, short") << qint64(0) << qint64(10);
    QTest::newRow("999 ms in, long") << qint64(999) << qint64(60000);
    QTest::newRow("2.3 s in") << qint64(2300) << qint64(700);
}

void TestGameTimer::pauseKeepsThePhase()
{
    QFETCH(qint64, pauseAfter);
    QFETCH(qint64, pauseLength);
    const qsizetype before = pauseAfter / 1000;
    m_timer->start();
    for (qsizetype second = 1; second <= before; ++second)
        wakeAfter(1000);
    m_now += pauseAfter % 1000;
    QCOMPARE(m_ticks->count(), before);

    m_timer->stop();
    const qint64 rest = 1000 - pauseAfter % 1000;
    QCOMPARE(m_timer->msUntilNextTick(), rest);
    QCOMPARE(wakeAfter(pauseLength), before); // a stale wake-up while paused does nothing
    m_timer->resume();
    QCOMPARE(wakeAfter(rest - 1), before);
    QCOMPARE(wakeAfter(1), before + 1);
    QCOMPARE(m_timer->msUntilNextTick(), 1000);
}

void TestGameTimer::realTimerKeepsTime()
{
    GameTimer timer; // on the real monotonic clock
    QSignalSpy ticks(&timer, &GameTimer::timeout);
    QElapsedTimer elapsed;
    elapsed.start();
    timer.start();

    QVERIFY(ticks.wait(2000));
    const qint64 first = elapsed.elapsed();
    QVERIFY2(first >= 990 && first < 1500, qPrintable(QString::number(first)));
    while (elapsed.elapsed() < 3500)
        ticks.wait(100);
    const qint64 expected = elapsed.elapsed() / 1000;
    QVERIFY2(ticks.count() == expected || ticks.count() == expected - 1,
        qPrintable(QStringLiteral("%1 ticks in %2 ms").arg(ticks.count()).arg(elapsed.elapsed())));
}

QTEST_GUILESS_MAIN(TestGameTimer)
#include "tst_gametimer.moc"
