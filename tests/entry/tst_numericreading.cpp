// Reading the entry fields' texts as numbers, and the digit check at Start.

#include "entry/numericreading.h"

#include <QTest>

class TestNumericReading : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void reading_data();
    void reading();
};

void TestNumericReading::reading_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("numeric");

    QTest::newRow("two digits") << QStringLiteral("12") << 12.0 << true;
    QTest::newRow("leading zero") << QStringLiteral("07") << 7.0 << true;
    QTest::newRow("number then letter") << QStringLiteral("5a") << 5.0 << false;
    QTest::newRow("letter then number") << QStringLiteral("a5") << 0.0 << false;
    QTest::newRow("empty") << QString() << 0.0 << true;
    QTest::newRow("negative") << QStringLiteral("-5") << -5.0 << false;
    QTest::newRow("point first") << QStringLiteral(".5") << 0.5 << false;
    QTest::newRow("point last") << QStringLiteral("1.") << 1.0 << false;
    QTest::newRow("tab before") << QStringLiteral("\t7") << 7.0 << false;
    QTest::newRow("blank between digits") << QStringLiteral("1 2") << 12.0 << false;
    QTest::newRow("minus alone") << QStringLiteral("-") << 0.0 << false;
    QTest::newRow("comma is no separator") << QStringLiteral("1,5") << 1.0 << false;
    QTest::newRow("two points") << QStringLiteral("1.2.3") << 1.2 << false;
    QTest::newRow("only the first two checked") << QStringLiteral("12a") << 12.0 << true;
    QTest::newRow("non-ASCII digit") << QString(QChar(0x0665)) << 0.0 << false;
}

void TestNumericReading::reading()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QFETCH(bool, numeric);
    QCOMPARE(Zahlenwert(text), value);
    QCOMPARE(IstNumerisch(text), numeric);
}

QTEST_GUILESS_MAIN(TestNumericReading)
#include "tst_numericreading.moc"
