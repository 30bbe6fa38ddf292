// The hall view: which screen it takes, that it shows what the operator window shows at every
// step of a game, and that its digits fill the screen.

#include "core/clock/gametimer.h"
#include "hall/hallview.h"
#include "hall/screenchoice.h"
#include "seen.h"
#include "shell/appsetup.h"
#include "shell/velorandwindow.h"

#include <QtTest>

class TstHall : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { prepareApplication(); }

    void screenChoice()
    {
        // Per row: the screens (L laptop, B a projector beside it, M one mirroring the laptop, T a TV beside
        // B; "-" none), the operator's screen, at "start" or after a "change", the number asked for at start
        // or the view's screen after a change; then the screen chosen (-1 none) and "full" or "window".
        const QStringList table { u"LB 0 start 0: 1 full"_qs, u"LMT 0 start 0: 2 full"_qs,
            u"LB -1 start 0: 0 full"_qs, u"LB 0 start 1: 0 window"_qs, u"LB 0 start 2: 1 full"_qs,
            u"LM 0 start 2: 1 window"_qs, u"LB 0 start 3: -1 window"_qs, u"LB 0 change 0: 1 full"_qs,
            u"LBT 0 change 2: 2 full"_qs, u"LBT 0 change -1: 1 full"_qs, u"LB 0 change 2: 1 full"_qs,
            u"L 0 change -1: 0 window"_qs, u"- 0 change -1: -1 window"_qs };
        const QHash<QChar, QRect> rects { { u'L', { 0, 0, 1280, 800 } }, { u'B', { 1280, 0, 1920, 1080 } },
            { u'M', { 0, 0, 1920, 1080 } }, { u'T', { 3200, 0, 1920, 1080 } } };
        for (const QString &row : table) {
            const QString asked = row.section(u':', 0, 0);
            const QStringList in = asked.split(u' ');
            QList<QRect> screens;
            const QString letters = QString(in[0]).remove(u'-'); // kept: remove() returns a reference into it
            for (const QChar letter : letters)
                screens << rects[letter];
            const auto choose = in[2] == u"start"_qs ? &ScreenChoice::atStart : &ScreenChoice::afterChange;
            const ScreenChoice chosen = choose(screens, in[1].toInt(), in[3].toInt());
            QCOMPARE(asked + u": "_qs + QString::number(chosen.screen)
                    + (chosen.fullScreen ? u" full"_qs : u" window"_qs),
                row);
        }
    }

    void followsTheOperatorAtAChangeOfScreens()
    {
        VelorandWindow window;
        window.show();
        window.windowHandle()->setScreen(QGuiApplication::screens().first());
        HallView hall;
        QVERIFY(hall.open(&window, 0)); // the view takes the other screen
        QScreen *const before = hall.screen();
        window.windowHandle()->setScreen(before); // taken over to the hall's screen
        emit qApp->screenAdded(before); // as a screen plugged in would; the offscreen platform adds none
        QTRY_VERIFY(hall.screen() != before);
        QVERIFY(hall.isFullScreen());
        hall.close(); // by hand: it stays closed at the next change, though the operator took its screen
        window.windowHandle()->setScreen(hall.screen());
        emit qApp->screenAdded(before), QCoreApplication::processEvents();
        QVERIFY(!hall.isVisible());
    }

    void game_data()
    {
        QTest::addColumn<QString>("fields");
        QTest::addColumn<int>("ticks");
        QTest::addColumn<int>("pauseAt"); // Pause and weiter after this tick
        QTest::addColumn<int>("asked"); // the offscreen platform lists the projector first
        QTest::addColumn<QString>("shown"); // at the end: the time, the view's screen, whether full-screen
        QTest::newRow("4 s on screen 0, no operator") << u"0 0 4"_qs << 4 << 2 << 0 << u"00:00 Beamer 1"_qs;
        QTest::newRow("62 s on the operator's screen, a window")
            << u"0 1 2"_qs << 62 << 40 << 2 << u"00:00 Laptop 0"_qs;
        QTest::newRow("an hour on screen 1") << u"1 0 2"_qs << 2 << 1 << 1 << u"1:00:00 Beamer 1"_qs;
    }
    void game()
    {
        QFETCH(QString, fields);
        QFETCH(int, ticks);
        QFETCH(int, pauseAt);
        QFETCH(int, asked);
        VelorandWindow window;
        window.findChild<GameTimer *>(QStringLiteral("Timer1"))->setClock([] { return qint64(0); });
        window.show();
        HallView hall;
        hall.showDisplay(window.displayState());
        connect(&window, &VelorandWindow::displayChanged, &hall, &HallView::showDisplay);
        QVERIFY(hall.open(&window, asked));
        QCOMPARE(hall.objectName(), QStringLiteral("frmZuschauer"));
        enterFields(window, fields);
        for (int tick = 0; tick <= ticks; ++tick)
            for (int step = 0; step < (tick == pauseAt ? 3 : 1); ++step) { // Start or the tick; Pause, weiter
                step ? window.cmdPause_Click() : tick ? window.Timer1_Timer() : window.cmdStart_Click();
                QCOMPARE(seenOn(hall, true), seenOn(window, false));
            }
        auto *rest = hall.findChild<QLabel *>(QStringLiteral("lblZuschauerRest"));
        QCOMPARE(hall.findChild<QLabel *>(u"lblZuschauerZeit"_qs)->text(), u"Gesamtspielzeit"_qs);
        QTEST(QStringLiteral("%1 %2 %3").arg(rest->text(), hall.screen()->name()).arg(hall.isFullScreen()),
            "shown");
        // A frame only on a window, placed in the top right corner.
        QCOMPARE(hall.windowFlags().testFlag(Qt::FramelessWindowHint), hall.isFullScreen());
        QVERIFY(hall.isFullScreen()
            || hall.geometry().topRight() == hall.screen()->availableGeometry().topRight());
        // The picture: every bar inside the view, the digits filling it, none cut off, the red seconds,
        // captions.
        QVERIFY(looksAs(hall, u"hall-%1s.png"_qs.arg(ticks), __FILE__));
    }
};

QTEST_MAIN(TstHall)
#include "tst_hall.moc"
