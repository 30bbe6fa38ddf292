// The hover tracker: one MouseIn and one MouseOut per pass over a control,
// and the window's command buttons lighting up while the pointer is on them.

#include "shell/cmouseinout.h"
#include "shell/facebutton.h"
#include "shell/velorandwindow.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <memory>

class TestMouseInOut : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void bounds_data();
    void bounds();
    void onePerPass_data();
    void onePerPass();
    void realPointerAcrossNeighbours();
    void windowAnswers_data();
    void windowAnswers();
    void realPointerOverUhrAus();
};

void TestMouseInOut::bounds_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<bool>("inside");
    // A control 65 wide and 36 high.
    QTest::newRow("top left corner") << 0.0 << 0.0 << true;
    QTest::newRow("middle") << 30.0 << 18.0 << true;
    QTest::newRow("right edge") << 65.0 << 10.0 << true;
    QTest::newRow("bottom edge") << 10.0 << 36.0 << true;
    QTest::newRow("bottom right corner") << 65.0 << 36.0 << true;
    QTest::newRow("just right of it") << 65.5 << 10.0 << false;
    QTest::newRow("just below it") << 10.0 << 36.5 << false;
    QTest::newRow("just left of it") << -0.5 << 10.0 << false;
    QTest::newRow("just above it") << 10.0 << -0.5 << false;
}

void TestMouseInOut::bounds()
{
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(bool, inside);
    QCOMPARE(CheckMouseInOut(x, y, 65, 36), inside);

    QWidget control;
    control.resize(65, 36);
    cMouseInOut tracker;
    tracker.attach(&control);
    QSignalSpy in(&tracker, &cMouseInOut::MouseIn);
    tracker.pointerAt(x, y);
    QCOMPARE(in.count(), inside ? 1 : 0);
}

void TestMouseInOut::onePerPass_data()
{
    QTest::addColumn<int>("movesInside");
    QTest::newRow("one move") << 1;
    QTest::newRow("a few moves") << 5;
    QTest::newRow("many moves") << 200;
}

void TestMouseInOut::onePerPass()
{
    QFETCH(int, movesInside);
    QWidget control;
    control.resize(100, 30);
    cMouseInOut tracker;
    tracker.attach(&control);
    QSignalSpy in(&tracker, &cMouseInOut::MouseIn);
    QSignalSpy out(&tracker, &cMouseInOut::MouseOut);

    for (int pass = 1; pass <= 2; ++pass) {
        tracker.pointerAt(-3, 10);
        for (int i = 0; i < movesInside; ++i)
            tracker.pointerAt(100.0 * i / movesInside, 15);
        QCOMPARE(in.count(), pass);
        QCOMPARE(out.count(), pass - 1);
        tracker.pointerAt(104, 15);
        tracker.pointerAt(120, 15);
        tracker.pointerLeft();
        QCOMPARE(in.count(), pass);
        QCOMPARE(out.count(), pass);
    }
    QCOMPARE(in.first().first().value<QWidget *>(), &control);
    QCOMPARE(out.first().first().value<QWidget *>(), &control);
}

void TestMouseInOut::realPointerAcrossNeighbours()
{
    QWidget window;
    auto *layout = new QHBoxLayout(&window);
    layout->setContentsMargins(20, 20, 20, 20);
    layout->setSpacing(0);
    auto *first = new QPushButton(QStringLiteral("first"), &window);
    auto *second = new QPushButton(QStringLiteral("second"), &window);
    first->setObjectName(QStringLiteral("first"));
    second->setObjectName(QStringLiteral("second"));
    layout->addWidget(first);
    layout->addWidget(second);
    window.resize(260, 80);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    cMouseInOut firstTracker, secondTracker;
    firstTracker.attach(first);
    secondTracker.attach(second);
    QStringList seen;
    for (cMouseInOut *tracker : { &firstTracker, &secondTracker }) {
        connect(tracker, &cMouseInOut::MouseIn, this,
            [&seen](QWidget *w) { seen << QStringLiteral("in ") + w->objectName(); });
        connect(tracker, &cMouseInOut::MouseOut, this,
            [&seen](QWidget *w) { seen << QStringLiteral("out ") + w->objectName(); });
    }

    // From the window's margin across the first button straight onto the second.
    const int y = window.height() / 2;
    QTest::mouseMove(&window, QPoint(5, y));
    for (int x = first->x(); x < second->x() + second->width() / 2; x += 7)
        QTest::mouseMove(&window, QPoint(x, y));
    QTRY_COMPARE(seen,
        QStringList(
            { QStringLiteral("in first"), QStringLiteral("out first"), QStringLiteral("in second") }));
    QTest::mouseMove(&window, QPoint(window.width() - 5, y));
    QTRY_COMPARE(seen.size(), 4);
    QCOMPARE(seen.last(), QStringLiteral("out second"));
}

void TestMouseInOut::windowAnswers_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QColor>("face");
    QTest::newRow("Start green") << "cmdStart" << QColor(0, 255, 0);
    QTest::newRow("Pause yellow") << "cmdPause" << QColor(255, 255, 0);
    QTest::newRow("Reset light red") << "cmdReset" << QColor(255, 127, 127);
    QTest::newRow("Uhr aus red") << "cmdUhrAus" << QColor(255, 0, 0);
}

namespace {

/// The share of @p widget's pixels drawn in @p colour.
double shareOf(QWidget *widget, const QColor &colour)
{
    const QImage image = widget->grab().toImage();
    qsizetype hits = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            hits += image.pixelColor(x, y) == colour;
    return double(hits) / (image.width() * image.height());
}

} // namespace

void TestMouseInOut::windowAnswers()
{
    QFETCH(QString, button);
    QFETCH(QColor, face);
    VelorandWindow window;
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *command = window.findChild<FaceButton *>(button);
    auto *tracker = window.findChild<cMouseInOut *>(button + QStringLiteral("InOut"));
    QVERIFY(command && tracker);
    QCOMPARE(tracker->control(), command);
    const QColor grey(212, 208, 200);

    tracker->pointerAt(command->width() / 2.0, command->height() / 2.0);
    QVERIFY(command->fontBold());
    QVERIFY(command->font().bold());
    QCOMPARE(command->faceColor(), face);
    QVERIFY2(shareOf(command, face) > 0.5, "the face colour does not show");

    tracker->pointerAt(command->width() + 1.0, 0);
    QVERIFY(!command->fontBold());
    QCOMPARE(command->faceColor(), grey);
    QVERIFY2(shareOf(command, grey) > 0.5, "the grey face does not show");
    QCOMPARE(shareOf(command, face), 0.0);
}

void TestMouseInOut::realPointerOverUhrAus()
{
    VelorandWindow window;
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *button = window.findChild<FaceButton *>(QStringLiteral("cmdUhrAus"));
    QVERIFY(button->isEnabled());
    QTest::mouseMove(&window, QPoint(2, 2));
    QTest::mouseMove(button, QPoint(5, 5));
    QTest::mouseMove(button, QPoint(30, 20));
    QTRY_VERIFY(button->fontBold());
    QCOMPARE(button->faceColor(), QColor(255, 0, 0));
    QTest::mouseMove(&window, QPoint(2, 2));
    QTRY_VERIFY(!button->fontBold());
    QCOMPARE(button->faceColor(), QColor(212, 208, 200));
}

QTEST_MAIN(TestMouseInOut)
#include "tst_mouseinout.moc"
