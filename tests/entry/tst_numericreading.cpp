// Reading the entry fields' texts as numbers, and the digit check at Start.

#include "entry/numericreading.h"

#include <QTest>

class TestNumericReading : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void zahlenwert_data();
    void zahlenwert();
    void istNumerisch_data();
    void istNumerisch();
};

void TestNumericReading::zahlenwert_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");

    QTest::newRow("two digits") << QStringLiteral("12") << 12.0;
    QTest::newRow("leading zero") << QStringLiteral("07") << 7.0;
    QTest::newRow("number then letter") << QStringLiteral("5a") << 5.0;
    QTest::newRow("letter then number") << QStringLiteral("a5") << 0.0;
    QTest::newRow("empty") << QString() << 0.0;
    QTest::newRow("negative") << QStringLiteral("-5") << -5.0;
    QTest::newRow("point first") << QStringLiteral(".5") << 0.5;
    QTest::newRow("point last") << QStringLiteral("1.") << 1.0;
    QTest::newRow("blanks around") << QStringLiteral(" 7 ") << 7.0;
    QTest::newRow("blank between digits") << QStringLiteral("1 2") << 12.0;
    QTest::newRow("only blanks") << QStringLiteral("  ") << 0.0;
    QTest::newRow("tab and digit") << QStringLiteral("\t9") << 9.0;
    QTest::newRow("minus alone") << QStringLiteral("-") << 0.0;
    QTest::newRow("plus sign") << QStringLiteral("+3") << 3.0;
    QTest::newRow("comma alone") << QStringLiteral(",") << 0.0;
    QTest::newRow("comma is no separator") << QStringLiteral("1,5") << 1.0;
    QTest::newRow("point alone") << QStringLiteral(".") << 0.0;
    QTest::newRow("negative fraction") << QStringLiteral("-.5") << -0.5;
    QTest::newRow("two points") << QStringLiteral("1.2.3") << 1.2;
}

void TestNumericReading::zahlenwert()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(Zahlenwert(text), value);
}

void TestNumericReading::istNumerisch_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("numeric");

    QTest::newRow("two digits") << QStringLiteral("12") << true;
    QTest::newRow("one digit") << QStringLiteral("7") << true;
    QTest::newRow("empty counts as zero") << QString() << true;
    QTest::newRow("digit then letter") << QStringLiteral("5a") << false;
    QTest::newRow("letter then digit") << QStringLiteral("a5") << false;
    QTest::newRow("minus") << QStringLiteral("-5") << false;
    QTest::newRow("point") << QStringLiteral(".5") << false;
    QTest::newRow("blank") << QStringLiteral(" 5") << false;
    QTest::newRow("plus") << QStringLiteral("+3") << false;
    QTest::newRow("non-ASCII digit") << QString(QChar(0x0665)) << false;
}

void TestNumericReading::istNumerisch()
{
    QFETCH(QString, text);
    QFETCH(bool, numeric);
    QCOMPARE(IstNumerisch(text), numeric);
}

QTEST_GUILESS_MAIN(TestNumericReading)
#include "tst_numericreading.moc"
