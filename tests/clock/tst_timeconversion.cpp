#include "clock/timeconversion.h"

#include <QTest>
#include <limits>

class TestTimeConversion : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void extracts_data();
    void extracts();
    void rounding_data();
    void rounding();
    void twoDigitText();
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
    QTest::newRow("3599") << 3599 << 0.0 << 59.0 << qint16(59);
    QTest::newRow("3600") << 3600 << 1.0 << 0.0 << qint16(0);
    QTest::newRow("3725") << 3725 << 1.0 << 2.0 << qint16(5);
    QTest::newRow("89999, longest game") << 89999 << 24.0 << 59.0 << qint16(59);
    QTest::newRow("-61") << -61 << 0.0 << -1.0 << qint16(-1);
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
    QCOMPARE(qint64(hours) * 3600 + qint64(minutes) * 60 + secs, qint64(seconds)); // the fields add up again
}

void TestTimeConversion::rounding_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("nearest"); // roundHalfEven()
    QTest::addColumn<qint32>("seconds"); // roundToSeconds()

    QTest::newRow("0.5 down to 0") << 0.5 << 0.0 << 0;
    QTest::newRow("2.5 down to 2") << 2.5 << 2.0 << 2;
    QTest::newRow("3.5 up to 4") << 3.5 << 4.0 << 4;
    QTest::newRow("-2.5") << -2.5 << -2.0 << -2;
    QTest::newRow("just below a half") << 2.4999999 << 2.0 << 2;
    QTest::newRow("just above a half") << 2.5000001 << 3.0 << 3;
    QTest::newRow("half of the longest game") << 44999.5 << 45000.0 << 45000;
    QTest::newRow("NaN") << qQNaN() << qQNaN() << 0;
    QTest::newRow("too large") << 1e12 << 1e12 << std::numeric_limits<qint32>::max();
    QTest::newRow("too small") << -1e12 << -1e12 << std::numeric_limits<qint32>::min();
}

void TestTimeConversion::rounding()
{
    QFETCH(double, value);
    QTEST(::roundHalfEven(value), "nearest");
    QTEST(::roundToSeconds(value), "seconds");
}

void TestTimeConversion::twoDigitText()
{
    QCOMPARE(::twoDigitText(qint64(0)), QStringLiteral("00"));
    QCOMPARE(::twoDigitText(qint64(7)), QStringLiteral("07"));
    QCOMPARE(::twoDigitText(qint64(100)), QStringLiteral("100"));
    QCOMPARE(::twoDigitText(qint64(-4)), QStringLiteral("-04"));
    // Of a numeral: padded, a leading zero kept, what is not a number read as 0.
    QCOMPARE(::twoDigitText(QStringLiteral("7")), QStringLiteral("07"));
    QCOMPARE(::twoDigitText(QStringLiteral("05")), QStringLiteral("05"));
    QCOMPARE(::twoDigitText(QString()), QStringLiteral("00"));
    QCOMPARE(::twoDigitText(QStringLiteral("x")), QStringLiteral("00"));
}

QTEST_APPLESS_MAIN(TestTimeConversion)
#include "tst_timeconversion.moc"
