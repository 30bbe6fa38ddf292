// The hover tracker: one MouseIn and one MouseOut per pass over a control,
// and the window's command buttons lighting up while the pointer is on them.

#include "shell/cmouseinout.h"
#include "shell/facebutton.h"
#include "shell/velorandwindow.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

class TestMouseInOut : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void bounds_data();
    void bounds();
    void realPointerAcrossNeighbours();
    void windowAnswers_data();
    void windowAnswers();
};

void TestMouseInOut::bounds_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<bool>("inside");
    // A control 65 wide and 36 high.
    QTest::newRow("top left corner") << 0.0 << 0.0 << true;
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

void TestMouseInOut::realPointerAcrossNeighbours()
{
    QWidget window;
    auto *layout = new QHBoxLayout(&window);
    layout->setContentsMargins(20, 20, 20, 20);
    layout->setSpacing(0);
    QStringList seen;
    cMouseInOut trackers[2];
    for (int i = 0; i < 2; ++i) {
        auto *button = new QPushButton(&window);
        button->setObjectName(QString::number(i));
        layout->addWidget(button);
        trackers[i].attach(button);
        connect(&trackers[i], &cMouseInOut::MouseIn, this,
            [&seen](QWidget *w) { seen << u'+' + w->objectName(); });
        connect(&trackers[i], &cMouseInOut::MouseOut, this,
            [&seen](QWidget *w) { seen << u'-' + w->objectName(); });
    }
    window.resize(260, 80);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    // Over both buttons and back, in small steps: from the margin across the
    // first straight onto the second, and off it into the other margin.
    const int y = window.height() / 2;
    for (int x = 5; x < window.width(); x += 7)
        QTest::mouseMove(&window, QPoint(x, y));
    for (int x = window.width() - 5; x > 0; x -= 7)
        QTest::mouseMove(&window, QPoint(x, y));
    QTRY_COMPARE(seen.join(u' '), QStringLiteral("+0 -0 +1 -1 +1 -1 +0 -0"));
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

void TestMouseInOut::windowAnswers()
{
    QFETCH(QString, button);
    QFETCH(QColor, face);
    VelorandWindow window;
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *command = window.findChild<FaceButton *>(button);
    auto *tracker = window.findChild<cMouseInOut *>(button + QStringLiteral("InOut"));
    QVERIFY(command && tracker && tracker->control() == command);

    tracker->pointerAt(command->width() / 2.0, command->height() / 2.0);
    QVERIFY(command->font().bold());
    QCOMPARE(command->faceColor(), face);
    tracker->pointerAt(command->width() + 1.0, 0);
    QVERIFY(!command->font().bold());
    QCOMPARE(command->faceColor(), QColor(212, 208, 200));
}

QTEST_MAIN(TestMouseInOut)
#include "tst_mouseinout.moc"
