// An operator's session with the real program, end to end: entering a game
// time, a short game running to its end, Stopp, Reset, Pause and "weiter",
// the spin limit message, minimising, staying above another window, and
// switching the clock off.

#include "xsession.h"

#include <QtTest>

#include <memory>

using namespace xsession;

namespace {

/// Share of the light-yellow banner text among the pixels of an area.
double bannerTextShare(const QImage &image, const QRect &area)
{
    return share(image, area, [](QRgb p) { return qRed(p) > 220 && qGreen(p) > 220 && qBlue(p) > 100; });
}

/// A banner covers the bar: red, with light-yellow writing on it.
bool showsBanner(const QImage &shot, const QRect &bar)
{
    const QRect inside = layout::inner(bar, 2);
    return shareOf(shot, inside, colours::red) > 0.6 && bannerTextShare(shot, inside) > 0.01;
}

/// The bar is filled from the left in `fill`, and its right end still shows `empty`.
bool filledFromLeft(const QImage &shot, const QRect &bar, const QColor &fill, const QColor &empty)
{
    const QRect inside = layout::inner(bar, 3);
    const int y = inside.center().y();
    return near(shot.pixel(inside.left() + 2, y), fill) && near(shot.pixel(inside.right() - 2, y), empty);
}

} // namespace

class OperatorTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void cleanupTestCase();

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
    double ink(const QRect &button) const { return captionInk(grab(layout::inner(button, 4))); }

    Session m_session;
    std::unique_ptr<ClockApp> m_app;
    /// What the digit boxes and buttons look like right after start-up.
    QHash<QString, QImage> m_initial;
};

void OperatorTest::initTestCase()
{
    QString error;
    QVERIFY2(m_session.start(&error), qPrintable(error));
    m_app = std::make_unique<ClockApp>(m_session);
    QVERIFY2(m_app->start(&error), qPrintable(error));
    QVERIFY(m_app->waitUntilShown());
    QVERIFY(m_app->moveTo(layout::background));

    const QImage shot = m_session.screenshot();
    const QPoint origin = m_app->clientRect().topLeft();
    const QList<QPair<QString, QRect>> elements = {
        { QStringLiteral("lblStdAb"), layout::lblStdAb },
        { QStringLiteral("lblMinAb"), layout::lblMinAb },
        { QStringLiteral("lblSekAb"), layout::lblSekAb },
        { QStringLiteral("lblStd"), layout::lblStd },
        { QStringLiteral("lblMin"), layout::lblMin },
        { QStringLiteral("lblSek"), layout::lblSek },
        { QStringLiteral("txtMin"), layout::txtMin },
        { QStringLiteral("txtSek"), layout::txtSek },
        { QStringLiteral("cmdStart"), layout::cmdStart },
    };
    for (const auto &[name, rect] : elements)
        m_initial.insert(name, shot.copy(rect.translated(origin)));
}

void OperatorTest::cleanup()
{
    m_session.saveScreenshotIfFailed(QStringLiteral("tst_operator"));
}

void OperatorTest::cleanupTestCase()
{
    m_app.reset();
    m_session.stop();
}

void OperatorTest::shortGameRunsToItsEnd()
{
    const double startDisabled = ink(layout::cmdStart);
    QVERIFY(m_app->typeInto(layout::txtMin, QStringLiteral("00")));
    QVERIFY(m_app->typeInto(layout::txtSek, QStringLiteral("03")));
    QVERIFY(m_app->typeInto(layout::txtStd, QStringLiteral("00")));
    QVERIFY(m_app->moveTo(layout::background));

    // Start is enabled now: its caption is drawn in black instead of grey.
    QVERIFY(waitFor([&] { return ink(layout::cmdStart) > startDisabled * 1.5 + 10; }, 2000));
    const QImage startCaption = grab(layout::inner(layout::cmdStart, 4));
    QVERIFY(m_app->click(layout::cmdStart.center()));
    QVERIFY(m_app->moveTo(layout::background));
    // The caption turns to "Stopp".
    QVERIFY(
        waitFor([&] { return !sameCaption(grab(layout::inner(layout::cmdStart, 4)), startCaption); }, 2000));

    // First second: half of the first half and a third of the game have gone, both in yellow
    // (30 s or less left); the remaining seconds turn red.
    QVERIFY(waitFor(
        [&] {
            const QImage shot = grab(QRect(QPoint(), layout::clientSize));
            return filledFromLeft(shot, layout::pnlHalbzeit1, colours::yellow, colours::grey)
                && filledFromLeft(shot, layout::pnlZeit, colours::yellow, colours::navy)
                && shareOf(shot, layout::inner(layout::lblSek), colours::red, 40) > 0.02;
        },
        2500));
    QVERIFY(clockTitle.match(m_app->title()).hasMatch());

    // After three seconds all three banners are up.
    QVERIFY(waitFor(
        [&] {
            const QImage shot = grab(QRect(QPoint(), layout::clientSize));
            return showsBanner(shot, layout::pnlHalbzeit1) && showsBanner(shot, layout::pnlHalbzeit2)
                && showsBanner(shot, layout::pnlZeit);
        },
        4000));
    // Nothing remains; three seconds have gone.
    QVERIFY(sameDigits(grab(layout::lblStd), m_initial.value(QStringLiteral("lblStd"))));
    QVERIFY(sameDigits(grab(layout::lblMin), m_initial.value(QStringLiteral("lblMin"))));
    QVERIFY(sameDigits(grab(layout::lblSek), m_initial.value(QStringLiteral("lblSek"))));
    QVERIFY(sameDigits(grab(layout::lblMinAb), m_initial.value(QStringLiteral("lblMinAb"))));
    QVERIFY(!sameDigits(grab(layout::lblSekAb), m_initial.value(QStringLiteral("lblSekAb"))));

    // The clock has stopped by itself: the display stays as it is.
    const QImage elapsed = grab(layout::lblSekAb);
    QTest::qWait(1500);
    QVERIFY(sameDigits(grab(layout::lblSekAb), elapsed));
    QVERIFY(showsBanner(grab(QRect(QPoint(), layout::clientSize)), layout::pnlZeit));
}

void OperatorTest::stoppClearsTheDisplay()
{
    QVERIFY(m_app->click(layout::cmdStart.center()));
    QVERIFY(m_app->moveTo(layout::background));
    QVERIFY(waitFor(
        [&] {
            const QImage shot = grab(QRect(QPoint(), layout::clientSize));
            return shareOf(shot, layout::inner(layout::pnlZeit), colours::navy) > 0.95
                && shareOf(shot, layout::inner(layout::pnlHalbzeit1), colours::grey) > 0.95
                && shareOf(shot, layout::inner(layout::pnlHalbzeit2), colours::grey) > 0.95;
        },
        2000));
    for (const QString &name :
        { QStringLiteral("lblStdAb"), QStringLiteral("lblMinAb"), QStringLiteral("lblSekAb") }) {
        const QRect box = name == QStringLiteral("lblStdAb") ? layout::lblStdAb
            : name == QStringLiteral("lblMinAb")             ? layout::lblMinAb
                                                             : layout::lblSekAb;
        QVERIFY2(sameDigits(grab(box), m_initial.value(name)), qPrintable(name));
    }
    QVERIFY(sameDigits(grab(layout::lblSek), m_initial.value(QStringLiteral("lblSek"))));
    // The entered time stays.
    QVERIFY(!sameDigits(grab(layout::txtSek), m_initial.value(QStringLiteral("txtSek"))));
}

void OperatorTest::resetClearsTheEntry()
{
    const double startEnabled = ink(layout::cmdStart);
    QVERIFY(m_app->click(layout::cmdReset.center()));
    QVERIFY(m_app->moveTo(layout::background));
    QVERIFY(waitFor(
        [&] { return sameDigits(grab(layout::txtSek), m_initial.value(QStringLiteral("txtSek"))); }, 2000));
    QVERIFY(sameDigits(grab(layout::txtMin), m_initial.value(QStringLiteral("txtMin"))));
    // With nothing entered, Start is disabled again.
    QVERIFY(waitFor([&] { return ink(layout::cmdStart) < startEnabled * 0.7; }, 2000));
}

void OperatorTest::pauseHoldsTheTime()
{
    QVERIFY(m_app->typeInto(layout::txtMin, QStringLiteral("01")));
    QVERIFY(m_app->moveTo(layout::background));
    QVERIFY(waitFor([&] { return ink(layout::cmdStart) > 20; }, 2000));
    QVERIFY(m_app->click(layout::cmdStart.center()));
    QVERIFY(m_app->moveTo(layout::background));

    // The game runs: the remaining seconds leave "00".
    QVERIFY(waitFor(
        [&] { return !sameDigits(grab(layout::lblSek), m_initial.value(QStringLiteral("lblSek"))); }, 2500));
    const QImage pauseCaption = grab(layout::inner(layout::cmdPause, 4));
    QVERIFY(m_app->click(layout::cmdPause.center()));
    QVERIFY(m_app->moveTo(layout::background));
    QVERIFY(waitFor(
        [&] { return showsBanner(grab(QRect(QPoint(), layout::clientSize)), layout::pnlZeit); }, 2000));
    // The caption reads "weiter" now.
    QVERIFY(!sameCaption(grab(layout::inner(layout::cmdPause, 4)), pauseCaption));

    // While interrupted, the time stands still.
    const QImage remaining = grab(layout::lblSek);
    const QImage elapsed = grab(layout::lblSekAb);
    QTest::qWait(2200);
    QVERIFY(sameDigits(grab(layout::lblSek), remaining));
    QVERIFY(sameDigits(grab(layout::lblSekAb), elapsed));

    // "weiter" takes the banner away and the time goes on from where it stood.
    QVERIFY(m_app->click(layout::cmdPause.center()));
    QVERIFY(m_app->moveTo(layout::background));
    QVERIFY(waitFor(
        [&] {
            const QImage shot = grab(QRect(QPoint(), layout::clientSize));
            return shareOf(shot, layout::inner(layout::pnlZeit), colours::red) < 0.05;
        },
        2000));
    QVERIFY(waitFor([&] { return !sameDigits(grab(layout::lblSek), remaining); }, 2500));
    QVERIFY(sameCaption(grab(layout::inner(layout::cmdPause, 4)), pauseCaption));
}

void OperatorTest::minimisedTitleShowsRemainingTime()
{
    // Right press on the window background, then the first item chosen with the keyboard.
    const QPoint pointer = m_app->toScreen(layout::background);
    QVERIFY(m_session.click(pointer, 3));
    QVERIFY(!m_app->waitForPopup(pointer).isEmpty());
    QVERIFY(m_session.key(QStringLiteral("Down")));
    QVERIFY(m_session.key(QStringLiteral("Return")));
    QVERIFY(waitFor([&] { return m_app->isHidden(); }, 3000));

    // The one-minute game of the previous test is still running.
    QRegularExpressionMatch match;
    QVERIFY(waitFor(
        [&] {
            match = remainingTitle.match(m_app->title());
            return match.hasMatch();
        },
        2500));
    const int remaining = secondsOf(match);
    QVERIFY2(remaining > 0 && remaining < 60, qPrintable(match.captured(0)));
    QVERIFY(waitFor(
        [&] {
            match = remainingTitle.match(m_app->title());
            return match.hasMatch() && secondsOf(match) == remaining - 1;
        },
        2500));

    QVERIFY(m_session.xdotool({ QStringLiteral("windowactivate"), m_app->windowId() }));
    QVERIFY(m_app->waitUntilShown());
    QVERIFY(waitFor([&] { return clockTitle.match(m_app->title()).hasMatch(); }, 2500));
}

void OperatorTest::staysAboveAnotherWindow()
{
    QProcess cover;
    dieWithParent(cover);
    cover.setProcessEnvironment(m_session.environment());
    cover.start(QStringLiteral("xmessage"),
        { QStringLiteral("-geometry"), QStringLiteral("600x500+0+0"), QStringLiteral("-name"),
            QStringLiteral("cover"), QStringLiteral("cover") });
    QVERIFY(cover.waitForStarted(5000));
    const auto cleanupCover = qScopeGuard([&cover] { stopProcess(cover); });

    QStringList ids;
    QVERIFY(waitFor(
        [&] {
            ids = m_session.findWindows(QStringLiteral("^cover$"));
            return !ids.isEmpty();
        },
        5000));
    const QString coverId = ids.first();
    QVERIFY(m_session.xdotool({ QStringLiteral("windowactivate"), coverId }));
    const auto activeWindow = [&] {
        const QStringList active = m_session.property(QString(), QStringLiteral("_NET_ACTIVE_WINDOW"));
        return active.isEmpty() ? QString() : active.first();
    };
    const auto sameWindow = [](const QString &hex, const QString &decimal) {
        bool ok = false;
        return hex.toULongLong(&ok, 0) == decimal.toULongLong() && ok;
    };
    QVERIFY2(waitFor([&] { return sameWindow(activeWindow(), coverId); }, 3000),
        qPrintable(activeWindow() + QLatin1Char(' ') + coverId));

    // The other window overlaps the clock, which stays on top all the same.
    const QRect coverRect = m_session.windowRect(coverId);
    const QRect clock = m_app->clientRect();
    QVERIFY(coverRect.intersects(clock));
    QVERIFY(coverRect.contains(m_app->toScreen(layout::lblStdAb)));
    QVERIFY(waitFor(
        [&] {
            const QImage shot = m_session.screenshot();
            return shareOf(
                       shot, layout::inner(layout::lblStdAb).translated(clock.topLeft()), colours::black, 20)
                > 0.5
                && shareOf(
                       shot, layout::inner(layout::lblStd).translated(clock.topLeft()), colours::black, 20)
                > 0.5;
        },
        2000));

    // The window manager's stacking order, bottom to top, has the clock above.
    const QStringList stacking = m_session.property(QString(), QStringLiteral("_NET_CLIENT_LIST_STACKING"));
    qsizetype clockIndex = -1;
    qsizetype coverIndex = -1;
    for (qsizetype i = 0; i < stacking.size(); ++i) {
        if (sameWindow(stacking[i], m_app->windowId()))
            clockIndex = i;
        if (sameWindow(stacking[i], coverId))
            coverIndex = i;
    }
    QVERIFY2(clockIndex >= 0 && coverIndex >= 0, qPrintable(stacking.join(QLatin1Char(' '))));
    QVERIFY(clockIndex > coverIndex);
}

void OperatorTest::spinUpAtLimitShowsMessage()
{
    // Stopp first: the spin buttons work only while no game runs.
    QVERIFY(m_app->click(layout::cmdStart.center()));
    QVERIFY(m_app->typeInto(layout::txtMin, QStringLiteral("59")));
    const double uhrAusDisabled = ink(layout::cmdUhrAus);

    const QRect spin = layout::spnMin;
    QVERIFY(m_app->click(QPoint(spin.center().x(), spin.top() + spin.height() / 4)));
    QStringList boxes;
    QVERIFY(waitFor(
        [&] {
            boxes = m_session.findWindows(QStringLiteral("^Velorand$"));
            return !boxes.isEmpty();
        },
        3000));
    const QString box = boxes.first();
    QVERIFY(box != m_app->windowId());
    QVERIFY(m_session.xdotool({ QStringLiteral("windowactivate"), box }));
    QVERIFY(m_session.key(QStringLiteral("Return")));
    QVERIFY(waitFor([&] { return m_session.findWindows(QStringLiteral("^Velorand$")).isEmpty(); }, 3000));
    QVERIFY(m_app->process().state() == QProcess::Running);

    // With 59 minutes entered, "Uhr aus" is still disabled; Reset clears the entry and enables it.
    QVERIFY(m_app->moveTo(layout::background));
    QVERIFY(m_app->click(layout::cmdReset.center()));
    QVERIFY(m_app->moveTo(layout::background));
    QVERIFY(waitFor(
        [&] { return sameDigits(grab(layout::txtMin), m_initial.value(QStringLiteral("txtMin"))); }, 2000));
    QVERIFY(waitFor([&] { return ink(layout::cmdUhrAus) > uhrAusDisabled * 1.5 + 10; }, 2000));
}

void OperatorTest::uhrAusEndsTheProgram()
{
    QVERIFY(m_app->click(layout::cmdUhrAus.center()));
    QVERIFY(m_app->exitedCleanly(5000));
}

QTEST_MAIN(OperatorTest)
#include "tst_operator.moc"
