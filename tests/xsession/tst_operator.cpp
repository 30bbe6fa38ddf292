// An operator's session with the real program, end to end: a short game running to its end,
// Stopp, Reset, Pause and "weiter", minimising, staying above another window, the spin limit
// message and switching the clock off.

#include "xsession.h"

using namespace xsession;

namespace {

/// A banner covers the bar: red, with light-yellow writing on it.
bool showsBanner(const QImage &client, const QRect &bar)
{
    const QRect inside = layout::inner(bar, 2);
    const auto writing = [](QRgb p) { return qRed(p) > 220 && qGreen(p) > 220 && qBlue(p) > 100; };
    return shareOf(client, inside, colours::red) > 0.6 && share(client, inside, writing) > 0.01;
}

/// The bar is filled from the left in `fill`, and its right end still shows `empty`.
bool filledFromLeft(const QImage &client, const QRect &bar, const QColor &fill, const QColor &empty)
{
    const QRect inside = layout::inner(bar, 3);
    const int y = inside.center().y();
    return near(client.pixel(inside.left() + 2, y), fill) && near(client.pixel(inside.right() - 2, y), empty);
}

/// Window ids come from xprop in hex and from xdotool in decimal.
bool sameWindow(const QString &hex, const QString &decimal)
{
    bool ok = false;
    return hex.toULongLong(&ok, 0) == decimal.toULongLong() && ok;
}

} // namespace

class OperatorTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup() { m_session.saveScreenshotIfFailed(QStringLiteral("tst_operator")); }

    void shortGameRunsToItsEnd();
    void stoppClearsTheDisplay();
    void resetClearsTheEntry();
    void pauseHoldsTheTime();
    void minimisedTitleShowsRemainingTime();
    void staysAboveAnotherWindow();
    void spinUpAtLimitShowsMessage();
    void uhrAusEndsTheProgram();

private:
    QImage grab(const QRect &client) const { return m_app->grab(client); }
    QImage face(const QRect &button) const { return grab(layout::inner(button, 4)); }
    double ink(const QRect &button) const { return captionInk(face(button)); }
    /// Whether a digit box or entry field shows what it showed right after start-up.
    bool asAtStart(const QRect &box) const { return sameDigits(grab(box), m_start.copy(box)); }
    bool press(const QRect &button) const
    {
        return m_app->click(button.center()) && m_app->moveTo(layout::background);
    }

    Session m_session;
    std::unique_ptr<ClockApp> m_app;
    QImage m_start; ///< the client area right after start-up
};

void OperatorTest::initTestCase()
{
    QString error;
    QVERIFY2(m_session.start(&error), qPrintable(error));
    m_app = std::make_unique<ClockApp>(m_session);
    QVERIFY2(m_app->start(&error), qPrintable(error));
    QVERIFY(m_app->waitUntilShown());
    QVERIFY(m_app->moveTo(layout::background));
    m_start = m_app->grab();
}

void OperatorTest::shortGameRunsToItsEnd()
{
    const double startDisabled = ink(layout::cmdStart);
    QVERIFY(m_app->typeInto(layout::txtMin, QStringLiteral("00")));
    QVERIFY(m_app->typeInto(layout::txtSek, QStringLiteral("03")));
    QVERIFY(m_app->typeInto(layout::txtStd, QStringLiteral("00")));
    QVERIFY(m_app->moveTo(layout::background));

    // Start is enabled now (black caption instead of grey); pressed, it reads "Stopp".
    QVERIFY(waitFor([&] { return ink(layout::cmdStart) > startDisabled * 1.5 + 10; }, 2000));
    const QImage startCaption = face(layout::cmdStart);
    QVERIFY(press(layout::cmdStart));
    QVERIFY(waitFor([&] { return !sameCaption(face(layout::cmdStart), startCaption); }, 2000));

    // First second: half of the first half and a third of the game have gone, in yellow
    // (30 s or less left); the remaining seconds turn red.
    QVERIFY(waitFor(
        [&] {
            const QImage client = m_app->grab();
            return filledFromLeft(client, layout::pnlHalbzeit1, colours::yellow, colours::grey)
                && filledFromLeft(client, layout::pnlZeit, colours::yellow, colours::navy)
                && shareOf(client, layout::inner(layout::lblSek), colours::red, 40) > 0.02;
        },
        2500));
    QVERIFY(clockTitle.match(m_app->title()).hasMatch());

    // After three seconds all three banners are up, nothing remains and three seconds have gone.
    QVERIFY(waitFor(
        [&] {
            const QImage client = m_app->grab();
            return showsBanner(client, layout::pnlHalbzeit1) && showsBanner(client, layout::pnlHalbzeit2)
                && showsBanner(client, layout::pnlZeit);
        },
        4000));
    for (const QRect &box : { layout::lblStd, layout::lblMin, layout::lblSek, layout::lblMinAb })
        QVERIFY(asAtStart(box));
    QVERIFY(!asAtStart(layout::lblSekAb));

    // The clock has stopped by itself: the display stays as it is.
    const QImage elapsed = grab(layout::lblSekAb);
    QTest::qWait(1500);
    QVERIFY(sameDigits(grab(layout::lblSekAb), elapsed));
    QVERIFY(showsBanner(m_app->grab(), layout::pnlZeit));
}

void OperatorTest::stoppClearsTheDisplay()
{
    QVERIFY(press(layout::cmdStart));
    QVERIFY(waitFor([&] { return barsEmpty(m_app->grab()); }, 2000));
    for (const QRect &box : { layout::lblStdAb, layout::lblMinAb, layout::lblSekAb, layout::lblSek })
        QVERIFY(asAtStart(box));
    QVERIFY(!asAtStart(layout::txtSek)); // the entered time stays
}

void OperatorTest::resetClearsTheEntry()
{
    const double startEnabled = ink(layout::cmdStart);
    QVERIFY(press(layout::cmdReset));
    QVERIFY(waitFor([&] { return asAtStart(layout::txtSek); }, 2000));
    QVERIFY(asAtStart(layout::txtMin));
    // With nothing entered, Start is disabled again.
    QVERIFY(waitFor([&] { return ink(layout::cmdStart) < startEnabled * 0.7; }, 2000));
}

void OperatorTest::pauseHoldsTheTime()
{
    QVERIFY(m_app->typeInto(layout::txtMin, QStringLiteral("01")));
    QVERIFY(m_app->moveTo(layout::background));
    QVERIFY(waitFor([&] { return ink(layout::cmdStart) > 20; }, 2000));
    QVERIFY(press(layout::cmdStart));
    QVERIFY(waitFor([&] { return !asAtStart(layout::lblSek); }, 2500)); // the game runs

    // Pause puts up the banner, reads "weiter" and holds the time.
    const QImage pauseCaption = face(layout::cmdPause);
    QVERIFY(press(layout::cmdPause));
    QVERIFY(waitFor([&] { return showsBanner(m_app->grab(), layout::pnlZeit); }, 2000));
    QVERIFY(!sameCaption(face(layout::cmdPause), pauseCaption));
    const QImage remaining = grab(layout::lblSek);
    const QImage elapsed = grab(layout::lblSekAb);
    QTest::qWait(2200);
    QVERIFY(sameDigits(grab(layout::lblSek), remaining));
    QVERIFY(sameDigits(grab(layout::lblSekAb), elapsed));

    // "weiter" takes the banner away and the time goes on from where it stood.
    QVERIFY(press(layout::cmdPause));
    QVERIFY(waitFor(
        [&] { return shareOf(m_app->grab(), layout::inner(layout::pnlZeit), colours::red) < 0.05; }, 2000));
    QVERIFY(waitFor([&] { return !sameDigits(grab(layout::lblSek), remaining); }, 2500));
    QVERIFY(sameCaption(face(layout::cmdPause), pauseCaption));
}

void OperatorTest::minimisedTitleShowsRemainingTime()
{
    // Right press on the background, then the first item (Minimieren) with the keyboard.
    const QPoint pointer = m_app->toScreen(layout::background);
    QVERIFY(m_session.click(pointer, 3));
    QVERIFY(!m_app->waitForPopup(pointer).isEmpty());
    QVERIFY(m_session.key(QStringLiteral("Down")) && m_session.key(QStringLiteral("Return")));
    QVERIFY(waitFor([&] { return m_app->isHidden(); }, 3000));

    // The one-minute game of the previous test still runs; the title counts it down.
    const int remaining = m_app->waitForTitle(remainingTitle);
    QVERIFY2(remaining > 0 && remaining < 60, qPrintable(m_app->title()));
    QCOMPARE(m_app->waitForTitle(remainingTitle, [&](int s) { return s == remaining - 1; }), remaining - 1);

    QVERIFY(m_session.xdotool({ QStringLiteral("windowactivate"), m_app->windowId() }));
    QVERIFY(m_app->waitUntilShown());
    QVERIFY(m_app->waitForTitle(clockTitle) >= 0);
}

void OperatorTest::staysAboveAnotherWindow()
{
    QProcess cover;
    dieWithParent(cover);
    cover.setProcessEnvironment(m_session.environment());
    cover.start(QStringLiteral("xmessage"),
        QStringLiteral("-geometry 600x500+0+0 -name cover cover").split(QLatin1Char(' ')));
    const auto cleanupCover = qScopeGuard([&cover] { stopProcess(cover); });
    QStringList ids;
    QVERIFY(
        waitFor([&] { return !(ids = m_session.findWindows(QStringLiteral("^cover$"))).isEmpty(); }, 5000));
    const QString coverId = ids.first();
    QVERIFY(m_session.xdotool({ QStringLiteral("windowactivate"), coverId }));
    QVERIFY(waitFor(
        [&] {
            const QStringList active = m_session.property(QString(), QStringLiteral("_NET_ACTIVE_WINDOW"));
            return !active.isEmpty() && sameWindow(active.first(), coverId);
        },
        3000));

    // The active window overlaps the clock, which is drawn on top all the same.
    QVERIFY(
        m_session.windowRect(coverId).contains(layout::lblStdAb.translated(m_app->clientRect().topLeft())));
    QVERIFY(m_app->waitUntilShown(2000));
    // In the window manager's stacking order, bottom to top, the clock comes after the cover.
    const QStringList stacking = m_session.property(QString(), QStringLiteral("_NET_CLIENT_LIST_STACKING"));
    qsizetype clockIndex = -1, coverIndex = -1;
    for (qsizetype i = 0; i < stacking.size(); ++i) {
        clockIndex = sameWindow(stacking[i], m_app->windowId()) ? i : clockIndex;
        coverIndex = sameWindow(stacking[i], coverId) ? i : coverIndex;
    }
    QVERIFY2(coverIndex >= 0 && clockIndex > coverIndex, qPrintable(stacking.join(QLatin1Char(' '))));
}

void OperatorTest::spinUpAtLimitShowsMessage()
{
    // Stopp first: the spin buttons work only while no game runs.
    QVERIFY(m_app->click(layout::cmdStart.center()));
    QVERIFY(m_app->typeInto(layout::txtMin, QStringLiteral("59")));
    const double uhrAusDisabled = ink(layout::cmdUhrAus);

    // The up arrow at 59 minutes brings up a message box titled "Velorand"; Return closes it.
    QVERIFY(m_app->click(
        QPoint(layout::spnMin.center().x(), layout::spnMin.top() + layout::spnMin.height() / 4)));
    QStringList boxes;
    QVERIFY(waitFor(
        [&] { return !(boxes = m_session.findWindows(QStringLiteral("^Velorand$"))).isEmpty(); }, 3000));
    QVERIFY(boxes.first() != m_app->windowId());
    QVERIFY(m_session.xdotool({ QStringLiteral("windowactivate"), boxes.first() }));
    QVERIFY(m_session.key(QStringLiteral("Return")));
    QVERIFY(waitFor([&] { return m_session.findWindows(QStringLiteral("^Velorand$")).isEmpty(); }, 3000));
    QVERIFY(m_app->process().state() == QProcess::Running);

    // With 59 minutes entered "Uhr aus" is disabled; Reset clears the entry and enables it.
    QVERIFY(press(layout::cmdReset));
    QVERIFY(waitFor([&] { return asAtStart(layout::txtMin); }, 2000));
    QVERIFY(waitFor([&] { return ink(layout::cmdUhrAus) > uhrAusDisabled * 1.5 + 10; }, 2000));
}

void OperatorTest::uhrAusEndsTheProgram()
{
    QVERIFY(m_app->click(layout::cmdUhrAus.center()));
    QVERIFY(m_app->exitedCleanly(5000));
}

QTEST_MAIN(OperatorTest)
#include "tst_operator.moc"
