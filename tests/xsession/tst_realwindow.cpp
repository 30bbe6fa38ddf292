// The real program in a real window under Xvfb and openbox: start-up look and title, dragging,
// the popup menu, hover feedback on "Uhr aus" and closing during a game.

#include "xsession.h"

using namespace xsession;

class RealWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QString error;
        QVERIFY2(m_session.start(&error), qPrintable(error));
    }
    void cleanup() { m_session.saveScreenshotIfFailed(QStringLiteral("tst_realwindow")); }

    void startUp();
    void leftDrag_data();
    void leftDrag();
    void rightPress_data();
    void rightPress();
    void hoverOverUhrAus();
    void closeFromMenuDuringGame();

private:
    Session m_session;
    std::unique_ptr<ClockApp> m_app;
};

void RealWindowTest::startUp()
{
    m_app = std::make_unique<ClockApp>(m_session);
    QString error;
    QVERIFY2(m_app->start(&error), qPrintable(error));

    // At first the title is the bare one, unless the clock has already filled in the time of day.
    const QString first = m_app->title();
    QVERIFY2(plainTitle.match(first).hasMatch() || clockTitle.match(first).hasMatch(), qPrintable(first));
    const int shown = m_app->waitForTitle(clockTitle);
    const int distance = qAbs(shown - QTime::currentTime().msecsSinceStartOfDay() / 1000) % 86400;
    QVERIFY2(shown >= 0 && qMin(distance, 86400 - distance) <= 3, qPrintable(m_app->title()));

    QCOMPARE(m_app->clientRect().size(), layout::clientSize);
    QVERIFY2(m_app->netWmState().contains(QStringLiteral("_NET_WM_STATE_ABOVE")),
        qPrintable(m_app->netWmState().join(QLatin1Char(' '))));

    const QImage client = m_app->grab();
    for (const QRect &box : { layout::lblStdAb, layout::lblMinAb, layout::lblSekAb, layout::lblStd,
             layout::lblMin, layout::lblSek, layout::txtMin, layout::txtSek }) {
        // Black, with "00" drawn on it.
        QVERIFY2(shareOf(client, layout::inner(box), colours::black, 20) > 0.5, "digit box not black");
        QVERIFY2(shareOf(client, layout::inner(box), colours::black, 89) < 0.95, "digit box empty");
    }
    QVERIFY(barsEmpty(client));

    // On request (screenshot.sh), keep a picture of the window for the documentation.
    const QString picture = qEnvironmentVariable("VELORAND_SCREENSHOT");
    if (!picture.isEmpty())
        QVERIFY(m_session.screenshot().copy(m_app->frameRect()).save(picture));
}

void RealWindowTest::leftDrag_data()
{
    QTest::addColumn<QPoint>("press");
    QTest::addColumn<bool>("moves");
    QTest::newRow("gap left of the groups") << layout::background << true;
    QTest::newRow("gap beside the buttons") << layout::backgroundRight << true;
    QTest::newRow("Frame1") << layout::frame1Background << true;
    QTest::newRow("Frame2") << layout::frame2Background << true;
    QTest::newRow("Frame3") << layout::frame3Background << true;
    QTest::newRow("elapsed hours") << layout::lblStdAb.center() << false;
    QTest::newRow("remaining seconds") << layout::lblSek.center() << false;
    QTest::newRow("whole-game bar") << layout::pnlZeit.center() << false;
    QTest::newRow("time entry group") << layout::fraZeiteingabe << false;
}

void RealWindowTest::leftDrag()
{
    QFETCH(QPoint, press);
    QFETCH(bool, moves);
    QVERIFY(m_app);
    const QPoint before = m_app->clientRect().topLeft();
    const QPoint offset(70, 45);
    QVERIFY(m_session.drag(before + press, offset));
    if (!moves) {
        QTest::qWait(400); // a move would follow the pointer at once
        QCOMPARE(m_app->clientRect().topLeft(), before);
        return;
    }
    const auto movesTo = [&](QPoint target) {
        return waitFor([&] { return (m_app->clientRect().topLeft() - target).manhattanLength() <= 4; }, 2000);
    };
    QVERIFY2(movesTo(before + offset),
        qPrintable(QStringLiteral("at %1,%2").arg(m_app->clientRect().x()).arg(m_app->clientRect().y())));
    // And back again, from the same place in the window.
    QVERIFY(m_session.drag(before + offset + press, -offset));
    QVERIFY(movesTo(before));
}

void RealWindowTest::rightPress_data()
{
    QTest::addColumn<QPoint>("press");
    QTest::addColumn<bool>("opensMenu");
    QTest::newRow("time entry group") << layout::fraZeiteingabe << false;
    QTest::newRow("remaining time group") << layout::fraZeit << false;
    QTest::newRow("background") << layout::background << true;
    QTest::newRow("Frame2") << layout::frame2Background << true;
}

void RealWindowTest::rightPress()
{
    QFETCH(QPoint, press);
    QFETCH(bool, opensMenu);
    QVERIFY(m_app);
    const QPoint pointer = m_app->toScreen(press);
    QVERIFY(m_session.click(pointer, 3));
    QCOMPARE(!m_app->waitForPopup(pointer, opensMenu ? 3000 : 800).isEmpty(), opensMenu);
    if (opensMenu) {
        QVERIFY(m_session.key(QStringLiteral("Escape")));
        QVERIFY(waitFor([&] { return m_app->waitForPopup(pointer, 0).isEmpty(); }, 2000));
    }
    QVERIFY(!m_app->isHidden());
}

void RealWindowTest::hoverOverUhrAus()
{
    QVERIFY(m_app);
    const QRect face = layout::inner(layout::cmdUhrAus, 4);
    QVERIFY(m_app->moveTo(layout::background));
    const double normalInk = captionInk(m_app->grab(face));
    QVERIFY(normalInk > 20);

    // On the button the face turns red and the caption bold (clearly more ink); off it, back again.
    QImage shown;
    const auto faceTurns = [&](const QColor &colour, int tolerance) {
        return waitFor([&] { return shareOf(shown = m_app->grab(face), {}, colour, tolerance) > 0.5; }, 2000);
    };
    QVERIFY(m_app->moveTo(layout::cmdUhrAus.center()));
    QVERIFY(faceTurns(colours::red, 12));
    QVERIFY2(captionInk(shown) > normalInk * 1.2, qPrintable(QString::number(captionInk(shown) / normalInk)));
    QVERIFY(m_app->moveTo(layout::background));
    QVERIFY(faceTurns(colours::face, 3));
    QVERIFY2(captionInk(shown) < normalInk * 1.1, qPrintable(QString::number(captionInk(shown) / normalInk)));
}

void RealWindowTest::closeFromMenuDuringGame()
{
    QVERIFY(m_app);
    QVERIFY(m_app->typeInto(layout::txtSek, QStringLiteral("40")));
    QVERIFY(m_app->click(layout::cmdStart.center()));
    QVERIFY(waitFor([&] { return !barsEmpty(m_app->grab()); }, 3000));
    // Schliessen asks nothing, even while a game runs.
    QVERIFY(m_app->chooseFromMenu(layout::backgroundRight, 1));
    QVERIFY(m_app->exitedCleanly(5000));
}

QTEST_MAIN(RealWindowTest)
#include "tst_realwindow.moc"
