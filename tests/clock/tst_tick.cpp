#include "clock/signalcolours.h"
#include "clock/tick.h"
#include "shell/floodpanel.h"

#include <QTest>
#include <cmath>

namespace {

QChar letter(const QColor &c)
{
    return c == Signal::green ? u'G' : c == Signal::yellow ? u'Y' : c == Signal::red ? u'R' : u'?';
}

/// A game of @p spielzeit seconds played for @p ticks ticks. Each bar (first half, second half,
/// whole game) is noted after each tick as the window shows it: "50Y", "100R!" is the flood
/// percent, the colour (Green, Yellow, Red) and "!" while the banner shows.
struct Game
{
    ClockState state;
    TickUpdate last;
    QList<qint32> lastTicks; // the ticks that said the game is over
    QStringList shown[3];

    Game(qint32 spielzeit, qint32 ticks)
    {
        state.Spielzeit = spielzeit;
        int percent[3] {};
        QChar colour[3];
        bool banner[3] {};
        for (qint32 t = 1; t <= ticks; ++t) {
            last = advanceOneSecond(state);
            if (last.lastTick)
                lastTicks << t;
            const BarUpdate *bars[3] { &last.halbzeit1, &last.halbzeit2, &last.zeit };
            for (size_t i = 0; i < 3 && last.display; ++i) {
                if (const auto p = bars[i]->percent) {
                    QVERIFY2(std::isfinite(*p) && *p >= 0.0 && *p <= 100.0, qPrintable(QString::number(*p)));
                    percent[i] = floodPercentFromReal(*p);
                }
                colour[i] = letter(bars[i]->colour);
                banner[i] = banner[i] || bars[i]->showBanner; // the tick never hides a banner
            }
            for (size_t i = 0; i < 3; ++i)
                shown[i] << QString::number(percent[i]) + colour[i]
                        + (banner[i] ? QStringLiteral("!") : QString());
        }
    }
    QString bars() const
    {
        return QStringList({ shown[0].last(), shown[1].last(), shown[2].last() }).join(u' ');
    }
};

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
    const Game g(spielzeit, spielzeit);
    QCOMPARE(g.lastTicks, QList<qint32> { spielzeit });
    QTEST(g.state.Halbzeit, "halbzeit");
    QCOMPARE(g.state.Spielzeit, spielzeit); // read, never written
    QTEST(g.shown[0].join(u' '), "firstHalf");
    QTEST(g.shown[1].join(u' '), "secondHalf");
    QTEST(g.shown[2].join(u' '), "wholeGame");
}

void TestTick::barsAtTick_data()
{
    QTest::addColumn<qint32>("spielzeit");
    QTest::addColumn<qint32>("tick");
    QTest::addColumn<QString>("bars"); // first half, second half, whole game, as in wholeGame()

    // Halves of 8 s: ties of the percent go to the even neighbour (12.5 -> 12, 37.5 -> 38).
    QTest::newRow("16 s, tick 1") << 16 << 1 << QStringLiteral("12Y 0R 6Y");
    QTest::newRow("16 s, tick 3") << 16 << 3 << QStringLiteral("38Y 0R 19Y");
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
    QTEST(Game(spielzeit, tick).bars(), "bars");
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
}

void TestTick::labelsAtTick()
{
    QFETCH(qint32, spielzeit);
    QFETCH(qint32, tick);
    const Game g(spielzeit, tick);
    const TickUpdate &u = g.last;

    QTEST(u.lblStd + u':' + u.lblMin + u':' + u.lblSek, "remaining");
    QTEST(u.lblStdAb + u':' + u.lblMinAb + u':' + u.lblSekAb, "elapsed");
    QTEST(letter(u.lblSekColour), "sekColour");
    QTEST(u.minimisedTitle, "remaining");
    QCOMPARE(g.state.Sekunden, QString::number(u.lblSek.toInt())); // the state keeps a plain numeral
}

void TestTick::loweredGameTimeFreezesDisplay()
{
    ClockState s = Game(10, 5).state;
    const ClockState before = s;
    s.Spielzeit = 3; // the fields were changed below the elapsed time
    for (int t = 0; t < 20; ++t) {
        const TickUpdate u = advanceOneSecond(s);
        QVERIFY(!u.display);
        QVERIFY(!u.lastTick); // never reached again: the timer runs on until Stopp or Pause
        QCOMPARE(u.minimisedTitle, QStringLiteral("00:00:05"));
    }
    QCOMPARE(s.Zeitzähler, 25);
    QCOMPARE(QStringList({ s.Stunden, s.Minuten, s.Sekunden, QString::number(s.Halbzeit1Abgelaufen) }),
        QStringList({ before.Stunden, before.Minuten, before.Sekunden,
            QString::number(before.Halbzeit1Abgelaufen) }));
}

void TestTick::oneSecondGameAfterStoppedFirstHalf()
{
    // A game stopped in its first half leaves that half's remaining count behind;
    // a following one-second game must still show its empty first half as over.
    ClockState s = Game(10, 2).state;
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
