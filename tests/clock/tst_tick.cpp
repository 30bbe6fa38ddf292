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

ClockState game(qint32 seconds)
{
    ClockState s;
    s.Spielzeit = seconds;
    return s;
}

QString percents(const QList<int> &values)
{
    QStringList texts;
    for (int v : values)
        texts << QString::number(v);
    return texts.join(u' ');
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
};

void TestTick::wholeGame_data()
{
    QTest::addColumn<qint32>("spielzeit");
    QTest::addColumn<qint32>("halbzeit");
    // Per tick: flood percents, colour letters (Green, Yellow, Red) and banners (1 = shown).
    QTest::addColumn<QString>("h1Percent");
    QTest::addColumn<QString>("h1Colour");
    QTest::addColumn<QString>("h1Banner");
    QTest::addColumn<QString>("h2Percent");
    QTest::addColumn<QString>("h2Colour");
    QTest::addColumn<QString>("h2Banner");
    QTest::addColumn<QString>("zeitPercent");
    QTest::addColumn<QString>("zeitColour");
    QTest::addColumn<QString>("zeitBanner");

    // A first half of length zero is over at once: full, red, with its banner; no 0/0.
    QTest::newRow("1 s") << 1 << 0 << "100"
                         << "R"
                         << "1"
                         << "0"
                         << "R"
                         << "1"
                         << "0"
                         << "R"
                         << "1";
    QTest::newRow("2 s") << 2 << 1 << "100 100"
                         << "RR"
                         << "11"
                         << "0 100"
                         << "RR"
                         << "01"
                         << "50 50"
                         << "YR"
                         << "01";
    QTest::newRow("5 s") << 5 << 2 << "50 100 100 100 100"
                         << "YRRRR"
                         << "01111"
                         << "0 0 50 100 100"
                         << "RRYYR"
                         << "00001"
                         << "20 40 60 80 80"
                         << "YYYYR"
                         << "00001";
    QTest::newRow("7 s") << 7 << 4 << "25 50 75 100 100 100 100"
                         << "YYYRRRR"
                         << "0001111"
                         << "0 0 0 0 25 50 75"
                         << "RRRRYYR"
                         << "0000001"
                         << "14 29 43 57 71 86 86"
                         << "YYYYYYR"
                         << "0000001";
}

void TestTick::wholeGame()
{
    QFETCH(qint32, spielzeit);
    QFETCH(qint32, halbzeit);

    ClockState s = game(spielzeit);
    Bars bars;
    QList<int> pct[3];
    QString colours[3], banners[3];
    for (qint32 tick = 1; tick <= spielzeit; ++tick) {
        const TickUpdate u = advanceOneSecond(s);
        QCOMPARE(u.lastTick, tick == spielzeit);
        QVERIFY(u.display);
        QCOMPARE(s.Halbzeit, halbzeit);
        bars.apply(u);
        for (size_t i = 0; i < 3; ++i) {
            pct[i] << bars.percent[i];
            colours[i] += letter(bars.colour[i]);
            banners[i] += bars.banner[i] ? u'1' : u'0';
        }
    }
    QCOMPARE(s.Spielzeit, spielzeit); // read, never written
    QCOMPARE(s.SpielzeitRest, 0);
    QCOMPARE(s.SpielzeitAbgelaufen, spielzeit);

    QTEST(percents(pct[0]), "h1Percent");
    QTEST(colours[0], "h1Colour");
    QTEST(banners[0], "h1Banner");
    QTEST(percents(pct[1]), "h2Percent");
    QTEST(colours[1], "h2Colour");
    QTEST(banners[1], "h2Banner");
    QTEST(percents(pct[2]), "zeitPercent");
    QTEST(colours[2], "zeitColour");
    QTEST(banners[2], "zeitBanner");
}

void TestTick::barsAtTick_data()
{
    QTest::addColumn<qint32>("spielzeit");
    QTest::addColumn<qint32>("tick");
    QTest::addColumn<int>("h1Percent");
    QTest::addColumn<QChar>("h1Colour");
    QTest::addColumn<int>("h2Percent");
    QTest::addColumn<QChar>("h2Colour");
    QTest::addColumn<int>("zeitPercent");
    QTest::addColumn<QChar>("zeitColour");

    // Halves of 8 s: ties of the percent go to the even neighbour (12.5 -> 12, 37.5 -> 38).
    QTest::newRow("16 s, tick 1") << 16 << 1 << 12 << QChar(u'Y') << 0 << QChar(u'R') << 6 << QChar(u'Y');
    QTest::newRow("16 s, tick 3") << 16 << 3 << 38 << QChar(u'Y') << 0 << QChar(u'R') << 19 << QChar(u'Y');
    QTest::newRow("16 s, tick 9") << 16 << 9 << 100 << QChar(u'R') << 12 << QChar(u'Y') << 56 << QChar(u'Y');
    QTest::newRow("16 s, tick 11") << 16 << 11 << 100 << QChar(u'R') << 38 << QChar(u'Y') << 69
                                   << QChar(u'Y');
    // The whole-game bar keeps the share of the second before the end.
    QTest::newRow("60 s, tick 59") << 60 << 59 << 100 << QChar(u'R') << 97 << QChar(u'Y') << 98
                                   << QChar(u'Y');
    QTest::newRow("60 s, tick 60") << 60 << 60 << 100 << QChar(u'R') << 100 << QChar(u'R') << 98
                                   << QChar(u'R');
    QTest::newRow("3600 s, tick 3599")
        << 3600 << 3599 << 100 << QChar(u'R') << 100 << QChar(u'Y') << 100 << QChar(u'Y');
    QTest::newRow("3600 s, tick 3600")
        << 3600 << 3600 << 100 << QChar(u'R') << 100 << QChar(u'R') << 100 << QChar(u'R');
    // Colour thresholds of each bar's own remaining count: 31 green, 30 and 1 yellow, 0 red.
    QTest::newRow("first half, 31 left")
        << 3600 << 1769 << 98 << QChar(u'G') << 0 << QChar(u'R') << 49 << QChar(u'G');
    QTest::newRow("first half, 30 left")
        << 3600 << 1770 << 98 << QChar(u'Y') << 0 << QChar(u'R') << 49 << QChar(u'G');
    QTest::newRow("first half, 1 left")
        << 3600 << 1799 << 100 << QChar(u'Y') << 0 << QChar(u'R') << 50 << QChar(u'G');
    QTest::newRow("first half, 0 left")
        << 3600 << 1800 << 100 << QChar(u'R') << 0 << QChar(u'R') << 50 << QChar(u'G');
    QTest::newRow("first second half")
        << 3600 << 1801 << 100 << QChar(u'R') << 0 << QChar(u'G') << 50 << QChar(u'G');
    QTest::newRow("game, 31 left") << 3600 << 3569 << 100 << QChar(u'R') << 98 << QChar(u'G') << 99
                                   << QChar(u'G');
    QTest::newRow("game, 30 left") << 3600 << 3570 << 100 << QChar(u'R') << 98 << QChar(u'Y') << 99
                                   << QChar(u'Y');
}

void TestTick::barsAtTick()
{
    QFETCH(qint32, spielzeit);
    QFETCH(qint32, tick);

    ClockState s = game(spielzeit);
    Bars bars;
    for (qint32 t = 1; t <= tick; ++t)
        bars.apply(advanceOneSecond(s));

    QTEST(bars.percent[0], "h1Percent");
    QTEST(letter(bars.colour[0]), "h1Colour");
    QTEST(bars.percent[1], "h2Percent");
    QTEST(letter(bars.colour[1]), "h2Colour");
    QTEST(bars.percent[2], "zeitPercent");
    QTEST(letter(bars.colour[2]), "zeitColour");
    QCOMPARE(bars.banner[0], s.Zeitzähler >= s.Halbzeit);
    QCOMPARE(bars.banner[1], tick == spielzeit);
    QCOMPARE(bars.banner[2], tick == spielzeit);
}

void TestTick::labelsAtTick_data()
{
    QTest::addColumn<qint32>("spielzeit");
    QTest::addColumn<qint32>("tick");
    QTest::addColumn<QString>("remaining");
    QTest::addColumn<QString>("elapsed");
    QTest::addColumn<QChar>("sekColour");

    QTest::newRow("1:00:00 left") << 3631 << 31 << "01:00:00"
                                  << "00:00:31" << QChar(u'Y');
    QTest::newRow("0:01:00 left") << 3631 << 3571 << "00:01:00"
                                  << "00:59:31" << QChar(u'Y');
    QTest::newRow("0:00:31 left") << 3631 << 3600 << "00:00:31"
                                  << "01:00:00" << QChar(u'Y');
    QTest::newRow("0:00:30 left") << 3631 << 3601 << "00:00:30"
                                  << "01:00:01" << QChar(u'R');
    QTest::newRow("0:00:00 left") << 3631 << 3631 << "00:00:00"
                                  << "01:00:31" << QChar(u'R');
    QTest::newRow("longest game, 1st tick") << 89999 << 1 << "24:59:58"
                                            << "00:00:01" << QChar(u'Y');
    QTest::newRow("3725 s, 1st tick") << 3725 << 1 << "01:02:04"
                                      << "00:00:01" << QChar(u'Y');
    QTest::newRow("60 s, 1st tick") << 60 << 1 << "00:00:59"
                                    << "00:00:01" << QChar(u'Y');
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

QTEST_APPLESS_MAIN(TestTick)
#include "tst_tick.moc"
