#include "clock/signalcolours.h"
#include "clock/tick.h"
#include "shell/floodpanel.h"

#include <QTest>
#include <array>
#include <cmath>

namespace {

/// What the three bars show, as the window would apply the ticks' updates.
struct Bars
{
    std::array<int, 3> percent {}; // first half, second half, whole game
    std::array<QColor, 3> colour {};
    std::array<bool, 3> banner {};

    void apply(const TickUpdate &u)
    {
        if (!u.display)
            return;
        const std::array<const BarUpdate *, 3> bars { &u.halbzeit1, &u.halbzeit2, &u.zeit };
        for (size_t i = 0; i < 3; ++i) {
            if (bars[i]->percent) {
                const double p = *bars[i]->percent;
                QVERIFY2(std::isfinite(p) && p >= 0.0 && p <= 100.0, qPrintable(QString::number(p)));
                percent[i] = floodPercentFromReal(p);
            }
            colour[i] = bars[i]->colour;
            banner[i] = banner[i] || bars[i]->showBanner; // the tick never hides a banner
        }
    }

    /// "50Y", "100R!": percent, colour letter, "!" while the banner shows.
    QString token(size_t i) const;
};

QChar letter(const QColor &c)
{
    if (c == Signal::green)
        return u'G';
    if (c == Signal::yellow)
        return u'Y';
    if (c == Signal::red)
        return u'R';
    return u'?';
}

QString Bars::token(size_t i) const
{
    return QString::number(percent[i]) + letter(colour[i]) + (banner[i] ? QStringLiteral("!") : QString());
}

ClockState game(qint32 seconds)
{
    ClockState s;
    s.Spielzeit = seconds;
    return s;
}

} // namespace

class TestTick : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void wholeGame_data();
    void wholeGame();
    void barsAtTick_data();
    void barsAtTick();
    void labelsAtTick_data();
    void labelsAtTick();
    void loweredGameTimeFreezesDisplay();
    void raisedGameTimeCountsOn();
    void percentOfEmptySpan();
    void oneSecondGameAfterStoppedFirstHalf();
};

void TestTick::wholeGame_data()
{
    QTest::addColumn<qint32>("spielzeit");
    QTest::addColumn<qint32>("halbzeit");
    // Per tick and bar: flood percent, colour (Green, Yellow, Red), "!" while the banner shows.
    QTest::addColumn<QString>("firstHalf");
    QTest::addColumn<QString>("secondHalf");
    QTest::addColumn<QString>("wholeGame");

    // A first half of length zero is over at once: full, red, with its banner; no 0/0.
    QTest::newRow("1 s") << 1 << 0 << QStringLiteral("100R!") << QStringLiteral("0R!")
                         << QStringLiteral("0R!");
    QTest::newRow("2 s") << 2 << 1 << QStringLiteral("100R! 100R!") << QStringLiteral("0R 100R!")
                         << QStringLiteral("50Y 50R!");
    QTest::newRow("5 s") << 5 << 2 << QStringLiteral("50Y 100R! 100R! 100R! 100R!")
                         << QStringLiteral("0R 0R 50Y 100Y 100R!") << QStringLiteral("20Y 40Y 60Y 80Y 80R!");
    QTest::newRow("7 s") << 7 << 4 << QStringLiteral("25Y 50Y 75Y 100R! 100R! 100R! 100R!")
                         << QStringLiteral("0R 0R 0R 0R 25Y 50Y 75R!")
                         << QStringLiteral("14Y 29Y 43Y 57Y 71Y 86Y 86R!");
}

void TestTick::wholeGame()
{
    QFETCH(qint32, spielzeit);
    QFETCH(qint32, halbzeit);

    ClockState s = game(spielzeit);
    Bars bars;
    QStringList shown[3];
    for (qint32 tick = 1; tick <= spielzeit; ++tick) {
        const TickUpdate u = advanceOneSecond(s);
        QCOMPARE(u.lastTick, tick == spielzeit);
        QVERIFY(u.display);
        QCOMPARE(s.Halbzeit, halbzeit);
        bars.apply(u);
        for (size_t i = 0; i < 3; ++i)
            shown[i] << bars.token(i);
    }
    QCOMPARE(s.Spielzeit, spielzeit); // read, never written
    QCOMPARE(s.SpielzeitRest, 0);
    QCOMPARE(s.SpielzeitAbgelaufen, spielzeit);
    QTEST(shown[0].join(u' '), "firstHalf");
    QTEST(shown[1].join(u' '), "secondHalf");
    QTEST(shown[2].join(u' '), "wholeGame");
}

void TestTick::barsAtTick_data()
{
    QTest::addColumn<qint32>("spielzeit");
    QTest::addColumn<qint32>("tick");
    QTest::addColumn<QString>("bars"); // first half, second half, whole game, as in wholeGame()

    // Halves of 8 s: ties of the percent go to the even neighbour (12.5 -> 12, 37.5 -> 38).
    QTest::newRow("16 s, tick 1") << 16 << 1 << QStringLiteral("12Y 0R 6Y");
    QTest::newRow("16 s, tick 3") << 16 << 3 << QStringLiteral("38Y 0R 19Y");
    QTest::newRow("16 s, tick 9") << 16 << 9 << QStringLiteral("100R! 12Y 56Y");
    QTest::newRow("16 s, tick 11") << 16 << 11 << QStringLiteral("100R! 38Y 69Y");
    // The whole-game bar keeps the share of the second before the end: 98.33 and 99.97.
    QTest::newRow("60 s, tick 59") << 60 << 59 << QStringLiteral("100R! 97Y 98Y");
    QTest::newRow("60 s, tick 60") << 60 << 60 << QStringLiteral("100R! 100R! 98R!");
    QTest::newRow("3600 s, tick 3599") << 3600 << 3599 << QStringLiteral("100R! 100Y 100Y");
    QTest::newRow("3600 s, tick 3600") << 3600 << 3600 << QStringLiteral("100R! 100R! 100R!");
    // Each bar's colour follows its own remaining count: 31 green, 30 and 1 yellow, 0 red.
    QTest::newRow("first half, 31 left") << 3600 << 1769 << QStringLiteral("98G 0R 49G");
    QTest::newRow("first half, 30 left") << 3600 << 1770 << QStringLiteral("98Y 0R 49G");
    QTest::newRow("first half, 1 left") << 3600 << 1799 << QStringLiteral("100Y 0R 50G");
    QTest::newRow("first half, 0 left") << 3600 << 1800 << QStringLiteral("100R! 0R 50G");
    QTest::newRow("second half begins") << 3600 << 1801 << QStringLiteral("100R! 0G 50G");
    QTest::newRow("game, 31 left") << 3600 << 3569 << QStringLiteral("100R! 98G 99G");
    QTest::newRow("game, 30 left") << 3600 << 3570 << QStringLiteral("100R! 98Y 99Y");
}

void TestTick::barsAtTick()
{
    QFETCH(qint32, spielzeit);
    QFETCH(qint32, tick);

    ClockState s = game(spielzeit);
    Bars bars;
    for (qint32 t = 1; t <= tick; ++t)
        bars.apply(advanceOneSecond(s));
    QTEST(QStringList({ bars.token(0), bars.token(1), bars.token(2) }).join(u' '), "bars");
}

void TestTick::labelsAtTick_data()
{
    QTest::addColumn<qint32>("spielzeit");
    QTest::addColumn<qint32>("tick");
    QTest::addColumn<QString>("remaining");
    QTest::addColumn<QString>("elapsed");
    QTest::addColumn<QChar>("sekColour");

    const auto row = [](const char *name, qint32 spielzeit, qint32 tick, const char *remaining,
                         const char *elapsed, char16_t colour) {
        QTest::newRow(name) << spielzeit << tick << QString::fromLatin1(remaining)
                            << QString::fromLatin1(elapsed) << QChar(colour);
    };
    // The seconds label turns red in the game's last 30 s, not whenever its own digits are low.
    row("1:00:00 left", 3631, 31, "01:00:00", "00:00:31", u'Y');
    row("0:01:00 left", 3631, 3571, "00:01:00", "00:59:31", u'Y');
    row("0:00:31 left", 3631, 3600, "00:00:31", "01:00:00", u'Y');
    row("0:00:30 left", 3631, 3601, "00:00:30", "01:00:01", u'R');
    row("0:00:00 left", 3631, 3631, "00:00:00", "01:00:31", u'R');
    row("longest game, 1st tick", 89999, 1, "24:59:58", "00:00:01", u'Y');
    row("3725 s, 1st tick", 3725, 1, "01:02:04", "00:00:01", u'Y');
    row("60 s, 1st tick", 60, 1, "00:00:59", "00:00:01", u'Y');
}

void TestTick::labelsAtTick()
{
    QFETCH(qint32, spielzeit);
    QFETCH(qint32, tick);

    ClockState s = game(spielzeit);
    TickUpdate u;
    for (qint32 t = 1; t <= tick; ++t)
        u = advanceOneSecond(s);

    QTEST(u.lblStd + u':' + u.lblMin + u':' + u.lblSek, "remaining");
    QTEST(u.lblStdAb + u':' + u.lblMinAb + u':' + u.lblSekAb, "elapsed");
    QTEST(letter(u.lblSekColour), "sekColour");
    QTEST(u.minimisedTitle, "remaining");
    // The state keeps plain numerals, the labels the padded ones.
    QCOMPARE(s.Sekunden, QString::number(u.lblSek.toInt()));
    QCOMPARE(s.Minuten, QString::number(u.lblMin.toInt()));
    QCOMPARE(s.Stunden, QString::number(u.lblStd.toInt()));
}

void TestTick::loweredGameTimeFreezesDisplay()
{
    ClockState s = game(10);
    for (int t = 0; t < 5; ++t)
        advanceOneSecond(s);
    const ClockState before = s;

    s.Spielzeit = 3; // the fields were changed below the elapsed time
    for (int t = 0; t < 20; ++t) {
        const TickUpdate u = advanceOneSecond(s);
        QVERIFY(!u.display);
        QVERIFY(!u.lastTick); // never reached again: the timer runs on until Stopp or Pause
        QCOMPARE(u.minimisedTitle, QStringLiteral("00:00:05"));
    }
    QCOMPARE(s.Zeitzähler, 25);
    QCOMPARE(s.Stunden, before.Stunden);
    QCOMPARE(s.Minuten, before.Minuten);
    QCOMPARE(s.Sekunden, before.Sekunden);
    QCOMPARE(s.Halbzeit, before.Halbzeit);
    QCOMPARE(s.Halbzeit1Abgelaufen, before.Halbzeit1Abgelaufen);
    QCOMPARE(s.Halbzeit2Abgelaufen, before.Halbzeit2Abgelaufen);
}

void TestTick::raisedGameTimeCountsOn()
{
    ClockState s = game(10);
    for (int t = 0; t < 5; ++t)
        advanceOneSecond(s);
    s.Spielzeit = 20;
    TickUpdate u = advanceOneSecond(s);
    QCOMPARE(u.lblSek, QStringLiteral("14"));
    QCOMPARE(s.Halbzeit, 10);
    for (int t = 7; t < 20; ++t)
        QVERIFY(!advanceOneSecond(s).lastTick);
    QVERIFY(advanceOneSecond(s).lastTick);
}

void TestTick::percentOfEmptySpan()
{
    QCOMPARE(percentOf(1, 8), 12.5);
    QCOMPARE(percentOf(59, 60), 59.0 / 60.0 * 100.0);
    QCOMPARE(percentOf(0, 0), 100.0);
    QCOMPARE(percentOf(1, -3), 100.0);
}

void TestTick::oneSecondGameAfterStoppedFirstHalf()
{
    // A game stopped in its first half leaves that half's remaining count behind;
    // a following one-second game must still show its empty first half as over.
    ClockState s = game(10);
    advanceOneSecond(s);
    advanceOneSecond(s);
    QCOMPARE(s.Halbzeit1Rest, 3);
    s.clearCounters();
    s.Spielzeit = 1;
    const TickUpdate u = advanceOneSecond(s);
    QVERIFY(u.lastTick);
    QCOMPARE(u.halbzeit1.percent.value_or(-1), 100.0);
    QCOMPARE(u.halbzeit1.colour, Signal::red);
    QVERIFY(u.halbzeit1.showBanner);
}

QTEST_APPLESS_MAIN(TestTick)
#include "tst_tick.moc"
