#include "clock/gametimer.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

class TestGameTimer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void startGivesAFreshSecond();
    void lateWakeUpsDoNotDrift_data();
    void lateWakeUpsDoNotDrift();
    void missedTicksAreCaughtUp();
    void missedTicksOnePerLoopPass();
    void receiverStopsDuringCatchUp();
    void pauseKeepsThePhase_data();
    void pauseKeepsThePhase();
    void realTimerKeepsTime();

private:
    qint64 m_now = 0;
    GameTimer::Clock clock()
    {
        // The test keeps time in milliseconds; the timer reads nanoseconds.
        return [this] { return m_now * 1000 * 1000; };
    }
};

void TestGameTimer::init()
{
    m_now = 100000;
}

void TestGameTimer::startGivesAFreshSecond()
{
    GameTimer timer;
    timer.setClock(clock());
    QSignalSpy ticks(&timer, &GameTimer::timeout);
    QSignalSpy active(&timer, &GameTimer::activeChanged);

    timer.start();
    QVERIFY(timer.isActive());
    QCOMPARE(active.count(), 1);
    QCOMPARE(timer.msUntilNextTick(), 1000);

    m_now += 999;
    timer.wake();
    QCOMPARE(ticks.count(), 0);
    m_now += 1;
    timer.wake();
    QCOMPARE(ticks.count(), 1);

    // A start in the middle of a second throws the rest of it away.
    m_now += 300;
    timer.start();
    QCOMPARE(timer.msUntilNextTick(), 1000);
    m_now += 700;
    timer.wake();
    QCOMPARE(ticks.count(), 1);

    // So does a start after a stop that kept part of a second.
    timer.stop();
    QCOMPARE(timer.msUntilNextTick(), 300);
    m_now += 5000;
    timer.start();
    QCOMPARE(timer.msUntilNextTick(), 1000);
}

void TestGameTimer::lateWakeUpsDoNotDrift_data()
{
    QTest::addColumn<qint64>("lateness");
    QTest::newRow("on time") << qint64(0);
    QTest::newRow("1 ms late") << qint64(1);
    QTest::newRow("300 ms late") << qint64(300);
    QTest::newRow("999 ms late") << qint64(999);
}

void TestGameTimer::lateWakeUpsDoNotDrift()
{
    QFETCH(qint64, lateness);
    GameTimer timer;
    timer.setClock(clock());
    QSignalSpy ticks(&timer, &GameTimer::timeout);

    const qint64 origin = m_now;
    timer.start();
    for (int second = 1; second <= 3600; ++second) {
        m_now = origin + second * 1000 + lateness;
        timer.wake();
        QCOMPARE(ticks.count(), second);
        // The next tick stays on the grid of the start, whatever the wake-up's delay.
        QCOMPARE(timer.msUntilNextTick(), 1000 - lateness);
    }
}

void TestGameTimer::missedTicksAreCaughtUp()
{
    GameTimer timer;
    timer.setClock(clock());
    QSignalSpy ticks(&timer, &GameTimer::timeout);

    timer.start();
    m_now += 5500; // the event loop was held up for five and a half seconds
    for (int i = 1; i <= 5; ++i) {
        timer.wake();
        QCOMPARE(ticks.count(), i); // one tick per wake-up
    }
    timer.wake();
    QCOMPARE(ticks.count(), 5);
    QCOMPARE(timer.msUntilNextTick(), 500);
}

void TestGameTimer::missedTicksOnePerLoopPass()
{
    GameTimer timer;
    timer.setClock(clock());
    QSignalSpy ticks(&timer, &GameTimer::timeout);

    timer.start();
    m_now += 4200;
    timer.wake();
    QCOMPARE(ticks.count(), 1);
    // The timer's own wake-ups deliver the rest of the backlog, one per pass of the event loop.
    QTRY_COMPARE_WITH_TIMEOUT(ticks.count(), 4, 2000);
    QTest::qWait(50);
    QCOMPARE(ticks.count(), 4);
    QCOMPARE(timer.msUntilNextTick(), 800);
}

void TestGameTimer::receiverStopsDuringCatchUp()
{
    GameTimer timer;
    timer.setClock(clock());
    int received = 0;
    connect(&timer, &GameTimer::timeout, this, [&] {
        if (++received == 2)
            timer.stop();
    });

    timer.start();
    m_now += 6000;
    for (int i = 0; i < 5; ++i)
        timer.wake();
    QCOMPARE(received, 2);
    QVERIFY(!timer.isActive());
}

void TestGameTimer::pauseKeepsThePhase_data()
{
    QTest::addColumn<qint64>("pauseAfter");
    QTest::addColumn<qint64>("pauseLength");
    QTest::newRow("at once, short") << qint64(0) << qint64(10);
    QTest::newRow("400 ms in, long") << qint64(400) << qint64(60000);
    QTest::newRow("999 ms in") << qint64(999) << qint64(2500);
    QTest::newRow("2.3 s in") << qint64(2300) << qint64(700);
}

void TestGameTimer::pauseKeepsThePhase()
{
    QFETCH(qint64, pauseAfter);
    QFETCH(qint64, pauseLength);
    GameTimer timer;
    timer.setClock(clock());
    QSignalSpy ticks(&timer, &GameTimer::timeout);

    timer.start();
    const qint64 origin = m_now;
    for (qint64 t = 1000; t <= pauseAfter; t += 1000) {
        m_now = origin + t;
        timer.wake();
    }
    m_now = origin + pauseAfter;
    const int before = int(ticks.count());
    QCOMPARE(before, int(pauseAfter / 1000));

    timer.stop();
    QVERIFY(!timer.isActive());
    const qint64 rest = 1000 - pauseAfter % 1000;
    QCOMPARE(timer.msUntilNextTick(), rest);
    m_now += pauseLength;
    timer.wake(); // a stale wake-up while paused does nothing
    QCOMPARE(ticks.count(), before);

    timer.resume();
    QCOMPARE(timer.msUntilNextTick(), rest);
    m_now += rest - 1;
    timer.wake();
    QCOMPARE(ticks.count(), before);
    m_now += 1;
    timer.wake();
    QCOMPARE(ticks.count(), before + 1);
    QCOMPARE(timer.msUntilNextTick(), 1000);
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
