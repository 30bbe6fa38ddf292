#include "clock/timeconversion.h"

#include <QTest>
#include <limits>

class TestTimeConversion : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void extracts_data();
    void extracts();
    void roundHalfEven_data();
    void roundHalfEven();
    void roundToSeconds_data();
    void roundToSeconds();
    void twoDigitNumber_data();
    void twoDigitNumber();
    void twoDigitNumeral_data();
    void twoDigitNumeral();
};

void TestTimeConversion::extracts_data()
{
    QTest::addColumn<qint32>("seconds");
    QTest::addColumn<double>("hours");
    QTest::addColumn<double>("minutes");
    QTest::addColumn<qint16>("secs");

    QTest::newRow("0") << 0 << 0.0 << 0.0 << qint16(0);
    QTest::newRow("59") << 59 << 0.0 << 0.0 << qint16(59);
    QTest::newRow("60") << 60 << 0.0 << 1.0 << qint16(0);
    QTest::newRow("125") << 125 << 0.0 << 2.0 << qint16(5);
    QTest::newRow("3599") << 3599 << 0.0 << 59.0 << qint16(59);
    QTest::newRow("3600") << 3600 << 1.0 << 0.0 << qint16(0);
    QTest::newRow("3725") << 3725 << 1.0 << 2.0 << qint16(5);
    QTest::newRow("89999, longest game") << 89999 << 24.0 << 59.0 << qint16(59);
    QTest::newRow("362439, fullest fields") << 362439 << 100.0 << 40.0 << qint16(39);
    QTest::newRow("-1") << -1 << 0.0 << 0.0 << qint16(-1);
    QTest::newRow("-61") << -61 << 0.0 << -1.0 << qint16(-1);
    QTest::newRow("-3725") << -3725 << -1.0 << -2.0 << qint16(-5);
    // The part below the hour must be taken before narrowing to 16 bits.
    QTest::newRow("int32 max") << std::numeric_limits<qint32>::max() << 596523.0 << 14.0 << qint16(7);
    QTest::newRow("int32 min") << std::numeric_limits<qint32>::min() << -596523.0 << -14.0 << qint16(-8);
}

void TestTimeConversion::extracts()
{
    QFETCH(qint32, seconds);
    QFETCH(double, hours);
    QFETCH(double, minutes);
    QFETCH(qint16, secs);

    QCOMPARE(StundenExtract(seconds), hours);
    QCOMPARE(MinutenExtract(seconds), minutes);
    QCOMPARE(SekundenExtract(seconds), secs);
    // The fields add up to the count again.
    QCOMPARE(qint64(StundenExtract(seconds)) * 3600 + qint64(MinutenExtract(seconds)) * 60
            + SekundenExtract(seconds),
        qint64(seconds));
}

void TestTimeConversion::roundHalfEven_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("expected");

    QTest::newRow("0.5 down to 0") << 0.5 << 0.0;
    QTest::newRow("1.5 up to 2") << 1.5 << 2.0;
    QTest::newRow("2.5 down to 2") << 2.5 << 2.0;
    QTest::newRow("3.5 up to 4") << 3.5 << 4.0;
    QTest::newRow("12.5 percent") << 12.5 << 12.0;
    QTest::newRow("37.5 percent") << 37.5 << 38.0;
    QTest::newRow("-1.5") << -1.5 << -2.0;
    QTest::newRow("-2.5") << -2.5 << -2.0;
    QTest::newRow("just below a half") << 2.4999999 << 2.0;
    QTest::newRow("just above a half") << 2.5000001 << 3.0;
    QTest::newRow("98.33 percent") << 59.0 / 60.0 * 100.0 << 98.0;
    QTest::newRow("99.97 percent") << 3599.0 / 3600.0 * 100.0 << 100.0;
    QTest::newRow("whole") << 7.0 << 7.0;
}

void TestTimeConversion::roundHalfEven()
{
    QFETCH(double, value);
    QFETCH(double, expected);
    QCOMPARE(::roundHalfEven(value), expected);
}

void TestTimeConversion::roundToSeconds_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<qint32>("expected");

    // Half of a game time gives the length of the first half.
    QTest::newRow("1/2") << 0.5 << 0;
    QTest::newRow("3/2") << 1.5 << 2;
    QTest::newRow("5/2") << 2.5 << 2;
    QTest::newRow("6/2") << 3.0 << 3;
    QTest::newRow("7/2") << 3.5 << 4;
    QTest::newRow("89999/2") << 44999.5 << 45000;
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << 0;
    QTest::newRow("too large") << 1e12 << std::numeric_limits<qint32>::max();
    QTest::newRow("too small") << -1e12 << std::numeric_limits<qint32>::min();
}

void TestTimeConversion::roundToSeconds()
{
    QFETCH(double, value);
    QFETCH(qint32, expected);
    QCOMPARE(::roundToSeconds(value), expected);
}

void TestTimeConversion::twoDigitNumber_data()
{
    QTest::addColumn<qint64>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("0") << qint64(0) << QStringLiteral("00");
    QTest::newRow("7") << qint64(7) << QStringLiteral("07");
    QTest::newRow("12") << qint64(12) << QStringLiteral("12");
    QTest::newRow("100") << qint64(100) << QStringLiteral("100");
    QTest::newRow("-4") << qint64(-4) << QStringLiteral("-04");
}

void TestTimeConversion::twoDigitNumber()
{
    QFETCH(qint64, value);
    QFETCH(QString, expected);
    QCOMPARE(twoDigitText(value), expected);
}

void TestTimeConversion::twoDigitNumeral_data()
{
    QTest::addColumn<QString>("numeral");
    QTest::addColumn<QString>("expected");

    QTest::newRow("7") << QStringLiteral("7") << QStringLiteral("07");
    QTest::newRow("05 kept") << QStringLiteral("05") << QStringLiteral("05");
    QTest::newRow("59") << QStringLiteral("59") << QStringLiteral("59");
    QTest::newRow("100") << QStringLiteral("100") << QStringLiteral("100");
    QTest::newRow("empty") << QString() << QStringLiteral("00");
    QTest::newRow("not a number") << QStringLiteral("x") << QStringLiteral("00");
}

void TestTimeConversion::twoDigitNumeral()
{
    QFETCH(QString, numeral);
    QFETCH(QString, expected);
    QCOMPARE(twoDigitText(numeral), expected);
}

QTEST_APPLESS_MAIN(TestTimeConversion)
#include "tst_timeconversion.moc"
