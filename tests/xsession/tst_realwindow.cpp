// The real program in a real window: start-up look, title, dragging, the popup
// menu, minimising, hover feedback and closing, under Xvfb with openbox.

#include "xsession.h"

#include <QTime>
#include <QtTest>

#include <memory>

using namespace xsession;

namespace {

/// Distance between two times of day in seconds, across midnight.
int clockDistance(int a, int b)
{
    const int d = qAbs(a - b) % 86400;
    return qMin(d, 86400 - d);
}

} // namespace

class RealWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void cleanupTestCase();

    void startUp();
    void leftDragOnBackgroundMovesWindow_data();
    void leftDragOnBackgroundMovesWindow();
    void leftDragOnElementsDoesNotMoveWindow_data();
    void leftDragOnElementsDoesNotMoveWindow();
    void rightPressOnTimeGroupsOpensNothing_data();
    void rightPressOnTimeGroupsOpensNothing();
    void hoverOverUhrAus();
    void minimiseFromMenuDuringGame();
    void closeFromMenuDuringGame();

private:
    Session m_session;
    std::unique_ptr<ClockApp> m_app;
};

void RealWindowTest::initTestCase()
{
    QString error;
    QVERIFY2(m_session.start(&error), qPrintable(error));
}

void RealWindowTest::cleanup()
{
    m_session.saveScreenshotIfFailed(QStringLiteral("tst_realwindow"));
}

void RealWindowTest::cleanupTestCase()
{
    m_app.reset();
    m_session.stop();
}

void RealWindowTest::startUp()
{
    m_app = std::make_unique<ClockApp>(m_session);
    QString error;
    QVERIFY2(m_app->start(&error), qPrintable(error));

    // Right after it appears the title is the bare one, or the clock has already filled it in.
    const QString first = m_app->title();
    QVERIFY2(plainTitle.match(first).hasMatch() || clockTitle.match(first).hasMatch(), qPrintable(first));

    // Within about a second the title shows the time of day.
    QRegularExpressionMatch match;
    QVERIFY(waitFor(
        [&] {
            match = clockTitle.match(m_app->title());
            return match.hasMatch();
        },
        2500));
    const int now = QTime::currentTime().msecsSinceStartOfDay() / 1000;
    QVERIFY2(clockDistance(secondsOf(match), now) <= 3, qPrintable(match.captured(0)));

    const QRect client = m_app->clientRect();
    QCOMPARE(client.size(), layout::clientSize);
    QVERIFY2(m_app->netWmState().contains(QStringLiteral("_NET_WM_STATE_ABOVE")),
        qPrintable(m_app->netWmState().join(QLatin1Char(' '))));

    const QImage shot = m_session.screenshot();
    const QPoint origin = client.topLeft();
    for (const QRect &box : { layout::lblStdAb, layout::lblMinAb, layout::lblSekAb, layout::lblStd,
             layout::lblMin, layout::lblSek, layout::txtMin, layout::txtSek }) {
        const QRect inside = layout::inner(box).translated(origin);
        QVERIFY2(shareOf(shot, inside, colours::black, 20) > 0.5, "digit box not black");
        // "00" is drawn on it.
        QVERIFY2(share(shot, inside, [](QRgb p) { return !isDark(p); }) > 0.05, "digit box empty");
    }
    QVERIFY(shareOf(shot, layout::inner(layout::pnlZeit).translated(origin), colours::navy) > 0.95);
    QVERIFY(shareOf(shot, layout::inner(layout::pnlHalbzeit1).translated(origin), colours::grey) > 0.95);
    QVERIFY(shareOf(shot, layout::inner(layout::pnlHalbzeit2).translated(origin), colours::grey) > 0.95);

    // On request, keep a picture of the window for the documentation.
    const QString picture = qEnvironmentVariable("VELORAND_SCREENSHOT");
    if (!picture.isEmpty())
        QVERIFY(shot.copy(m_app->frameRect()).save(picture));
}

void RealWindowTest::leftDragOnBackgroundMovesWindow_data()
{
    QTest::addColumn<QPoint>("press");
    QTest::newRow("gap left of the groups") << layout::background;
    QTest::newRow("gap beside the buttons") << layout::backgroundRight;
    QTest::newRow("Frame1") << layout::frame1Background;
    QTest::newRow("Frame2") << layout::frame2Background;
    QTest::newRow("Frame3") << layout::frame3Background;
}

void RealWindowTest::leftDragOnBackgroundMovesWindow()
{
    QFETCH(QPoint, press);
    QVERIFY(m_app);
    const auto closeTo = [](QPoint a, QPoint b) { return (a - b).manhattanLength() <= 4; };

    const QPoint before = m_app->clientRect().topLeft();
    const QPoint offset(70, 45);
    QVERIFY(m_session.drag(before + press, offset));
    QPoint after;
    const bool moved = waitFor(
        [&] {
            after = m_app->clientRect().topLeft();
            return closeTo(after, before + offset);
        },
        2000);
    QVERIFY2(moved,
        qPrintable(QStringLiteral("from %1,%2 to %3,%4")
                       .arg(before.x())
                       .arg(before.y())
                       .arg(after.x())
                       .arg(after.y())));

    // And back again, from the same place in the window.
    QVERIFY(m_session.drag(after + press, -offset));
    QVERIFY(waitFor([&] { return closeTo(m_app->clientRect().topLeft(), before); }, 2000));
}

void RealWindowTest::leftDragOnElementsDoesNotMoveWindow_data()
{
    QTest::addColumn<QPoint>("press");
    QTest::newRow("elapsed hours") << layout::lblStdAb.center();
    QTest::newRow("remaining seconds") << layout::lblSek.center();
    QTest::newRow("whole-game bar") << layout::pnlZeit.center();
    QTest::newRow("time entry group") << QPoint(128, 56);
}

void RealWindowTest::leftDragOnElementsDoesNotMoveWindow()
{
    QFETCH(QPoint, press);
    QVERIFY(m_app);
    const QPoint before = m_app->clientRect().topLeft();
    QVERIFY(m_session.drag(before + press, QPoint(70, 45)));
    // A move would follow the pointer at once; give it the time it would need.
    QTest::qWait(400);
    QCOMPARE(m_app->clientRect().topLeft(), before);
}

void RealWindowTest::rightPressOnTimeGroupsOpensNothing_data()
{
    QTest::addColumn<QPoint>("press");
    QTest::newRow("time entry group") << QPoint(128, 56);
    QTest::newRow("remaining time group") << QPoint(128, 198);
    // The same press on the background does open the menu; Escape closes it again.
    QTest::newRow("background") << layout::background;
}

void RealWindowTest::rightPressOnTimeGroupsOpensNothing()
{
    QFETCH(QPoint, press);
    QVERIFY(m_app);
    const QPoint pointer = m_app->toScreen(press);
    QVERIFY(m_session.click(pointer, 3));
    const bool opened = !m_app->waitForPopup(pointer, 800).isEmpty();
    const bool onBackground = press == layout::background;
    QCOMPARE(opened, onBackground);
    if (opened) {
        QVERIFY(m_session.key(QStringLiteral("Escape")));
        QVERIFY(waitFor([&] { return m_app->waitForPopup(pointer, 0).isEmpty(); }, 2000));
    }
    QVERIFY(!m_app->isHidden());
}

void RealWindowTest::hoverOverUhrAus()
{
    QVERIFY(m_app);
    const QRect button = layout::cmdUhrAus;
    const QRect face = layout::inner(button, 4);

    QVERIFY(m_app->moveTo(layout::background));
    const QImage normal = m_app->grab(face);
    const double normalInk = captionInk(normal);
    QVERIFY(normalInk > 20);

    QVERIFY(m_app->moveTo(button.center()));
    QImage hovered;
    QVERIFY(waitFor(
        [&] {
            hovered = m_app->grab(face);
            return shareOf(hovered, hovered.rect(), colours::red) > 0.5;
        },
        2000));
    // The caption turns bold: its strokes put down clearly more ink.
    const double boldInk = captionInk(hovered);
    QVERIFY2(boldInk > normalInk * 1.2, qPrintable(QStringLiteral("%1 vs %2").arg(boldInk).arg(normalInk)));

    QVERIFY(m_app->moveTo(layout::background));
    QImage left;
    QVERIFY(waitFor(
        [&] {
            left = m_app->grab(face);
            return shareOf(left, left.rect(), colours::face, 3) > 0.5;
        },
        2000));
    const double leftInk = captionInk(left);
    QVERIFY2(leftInk < normalInk * 1.1, qPrintable(QStringLiteral("%1 vs %2").arg(leftInk).arg(normalInk)));
}

void RealWindowTest::minimiseFromMenuDuringGame()
{
    QVERIFY(m_app);
    QVERIFY(m_app->typeInto(layout::txtSek, QStringLiteral("40")));
    QVERIFY(m_app->click(layout::cmdStart.center()));

    // After the first second the whole-game bar starts to fill in green from the left.
    QVERIFY(waitFor(
        [&] {
            const QImage bar = m_app->grab(layout::inner(layout::pnlZeit));
            return near(bar.pixel(1, bar.height() / 2), colours::green)
                && near(bar.pixel(bar.width() - 2, bar.height() / 2), colours::navy);
        },
        3000));

    QVERIFY(m_app->chooseFromMenu(layout::background, 0));
    QVERIFY(waitFor([&] { return m_app->isHidden(); }, 3000));

    // While minimised the title counts the remaining time down.
    QRegularExpressionMatch match;
    QVERIFY(waitFor(
        [&] {
            match = remainingTitle.match(m_app->title());
            return match.hasMatch();
        },
        2500));
    const int remaining = secondsOf(match);
    QVERIFY2(remaining > 0 && remaining < 40, qPrintable(match.captured(0)));
    QVERIFY(waitFor(
        [&] {
            match = remainingTitle.match(m_app->title());
            return match.hasMatch() && secondsOf(match) < remaining;
        },
        2500));

    QVERIFY(m_session.xdotool({ QStringLiteral("windowactivate"), m_app->windowId() }));
    QVERIFY(m_app->waitUntilShown());
    QVERIFY(waitFor(
        [&] {
            const QString title = m_app->title();
            return plainTitle.match(title).hasMatch() || clockTitle.match(title).hasMatch();
        },
        2000));
    QVERIFY(waitFor([&] { return clockTitle.match(m_app->title()).hasMatch(); }, 2500));
    QVERIFY(m_app->netWmState().contains(QStringLiteral("_NET_WM_STATE_ABOVE")));
}

void RealWindowTest::closeFromMenuDuringGame()
{
    QVERIFY(m_app);
    // The game of the previous test is still running; closing asks nothing.
    QVERIFY(m_app->process().state() == QProcess::Running);
    QVERIFY(m_app->chooseFromMenu(layout::backgroundRight, 1));
    QVERIFY(m_app->exitedCleanly(5000));
}

QTEST_MAIN(RealWindowTest)
#include "tst_realwindow.moc"
