// The clock's arithmetic on its own: reading numerals, time conversion,
// rounding, spin steps, the entered time and the game timer's schedule.
#include "core/clock/gametimer.h"
#include "core/clock/numeral.h"
#include "core/clock/timeconversion.h"
#include "core/clock/wallclocktimer.h"
#include "core/entry/gametimeentry.h"

#include <QSignalSpy>
#include <QTest>
#include <limits>

class TestClock : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void reading_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::addColumn<bool>("digits");
        QTest::newRow("plain") << u"12"_qs << 12.0 << true;
        QTest::newRow("two digits first are enough") << u"12a"_qs << 12.0 << true;
        QTest::newRow("empty") << QString() << 0.0 << true;
        QTest::newRow("trailing letter") << u"5a"_qs << 5.0 << false;
        QTest::newRow("leading letter") << u"a5"_qs << 0.0 << false;
        QTest::newRow("minus") << u"-5"_qs << -5.0 << false;
        QTest::newRow("sign alone") << u"-"_qs << 0.0 << false;
        QTest::newRow("fraction") << u".5"_qs << 0.5 << false;
        QTest::newRow("a letter ends the fraction") << u".5a"_qs << 0.5 << false;
        QTest::newRow("letter between digits ends") << u"1a5"_qs << 1.0 << false;
        QTest::newRow("comma ends") << u"1,5"_qs << 1.0 << false;
        QTest::newRow("blanks") << u" 5 "_qs << 5.0 << false;
        QTest::newRow("tab and line feed") << u"\t5\n"_qs << 5.0 << false;
        QTest::newRow("carriage return is no blank") << u"\r5"_qs << 0.0 << false;
        QTest::newRow("blank inside") << u"1 2"_qs << 12.0 << false;
        QTest::newRow("fullwidth digits") << u"\uff15"_qs << 0.0 << false;
        QTest::newRow("too small for a double") << u"0."_qs + QString(400, u'0') + u'1' << 0.0 << false;
        QTest::newRow("too large") << QString(400, u'9') << std::numeric_limits<double>::max() << true;
    }
    void reading()
    {
        QFETCH(QString, text);
        QTEST(Zahlenwert(text), "value");
        QTEST(IstNumerisch(text), "digits");
    }
    void conversionAndRounding()
    {
        // The rest is seen on the window's labels and bars; these are the edges it never shows.
        const auto fields = [](qint32 count) {
            return twoDigitText(qint64(StundenExtract(count))) + u':'
                + twoDigitText(qint64(MinutenExtract(count))) + u':' + twoDigitText(SekundenExtract(count));
        };
        QCOMPARE(
            fields(-61) + u' ' + fields(std::numeric_limits<qint32>::max()), u"00:-01:-01 596523:14:07"_qs);
        QCOMPARE(twoDigitText(u"1e30"_qs), u"01"_qs);
        QCOMPARE(twoDigitText(QString(40, u'9')), u"1000000000000000000"_qs);
        QCOMPARE(QList<qint32>({ roundToSeconds(1e30), roundToSeconds(-1e30), roundToSeconds(qQNaN()) }),
            QList<qint32>({ std::numeric_limits<qint32>::max(), std::numeric_limits<qint32>::min(), 0 }));
        // The title clock wakes just past the next full second of the time of day: 1 to 19 ms.
        for (const int ms : { 0, 999 })
            QVERIFY2(std::abs(ms + WallClockTimer::msToNextSecond(QTime(9, 5, 3, ms)) - 1010) < 10,
                qPrintable(u"at 09:05:03.%1"_qs.arg(ms)));
    }

    void enteredTime_data()
    {
        QTest::addColumn<QString>("fields"); // hours, minutes, seconds; "_" for an empty field
        QTest::addColumn<qint32>("seconds");
        QTest::addColumn<int>("rule");
        const int enable = int(StartButtonRule::EnableStart), disable = int(StartButtonRule::DisableStart);
        QTest::newRow("whole game") << u"1 30 15"_qs << 5415 << enable;
        QTest::newRow("all zero") << u"00 0 _"_qs << 0 << disable;
        QTest::newRow("negative hour") << u"-1 0 0"_qs << -3600 << int(StartButtonRule::Keep);
        QTest::newRow("negative beside positive") << u"-1 0 5"_qs << -3595 << enable;
        QTest::newRow("half a minute") << u"0 .5 0"_qs << 30 << enable;
        QTest::newRow("tie down to even") << u"0 1 .5"_qs << 60 << enable;
        QTest::newRow("tie up to even") << u"0 1 1.5"_qs << 62 << enable;
        QTest::newRow("beyond 32 bits")
            << u"999999999999 0 0"_qs << std::numeric_limits<qint32>::max() << enable;
    }
    void enteredTime()
    {
        QFETCH(QString, fields);
        const QStringList f = fields.replace(u'_', QString()).split(u' ');
        const EnteredTime entered = EnteredTime::fromTexts(f[0], f[1], f[2]);
        QTEST(entered.gameSeconds(), "seconds");
        QTEST(int(startButtonRule(entered)), "rule");
    }
    void gameTimerSchedule()
    {
        qint64 now = 0;
        GameTimer timer;
        timer.setClock([&now] { return now; });
        QSignalSpy ticks(&timer, &GameTimer::timeout);
        // Steps "ms:ticks" wake the timer at that time and expect so many ticks in all; "stop", "resume",
        // "start" and "catchUp" act at the last time. A late wake-up keeps the schedule; a pause keeps the
        // part of the second left, also when ticks were overdue (then the next one is due soon after).
        const QString script
            = u"start 999:0 1000:1 2500:2 2999:2 3000:3 3300:3 stop 9000:3 resume 9699:3 9700:4 "
              "11900:5 stop 20000:5 resume catchUp 20799:6 20800:7 start 21799:7 21800:8 22799:8"_qs;
        for (const QString &step : script.split(u' ')) {
            if (step.contains(u':')) {
                now = step.section(u':', 0, 0).toLongLong() * 1000 * 1000;
                timer.wake();
                QVERIFY2(ticks.count() == step.section(u':', 1).toInt(), qPrintable(step));
            } else {
                QMetaObject::invokeMethod(&timer, step.toLatin1().constData());
            }
        }
        QCOMPARE(timer.findChild<QTimer *>()->interval(), 1); // woken 1 ms before a tick: again in 1 ms
    }
};

QTEST_GUILESS_MAIN(TestClock)
#include "tst_clock.moc"
