// The hall view: which screen it takes, that it shows what the operator window shows at every
// step of a game, and that its digits fill the screen.

#include "core/clock/gametimer.h"
#include "seen.h"
#include "shell/appsetup.h"
#include "hall/screenchoice.h"
#include "hall/hallview.h"
#include "shell/velorandwindow.h"

#include <QtTest>
#include <QtWidgets>

class TstHall : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { prepareApplication(); }

    void screenChoice()
    {
        // L laptop, B a projector beside it, M one mirroring the laptop, T a TV beside B. At start
        // "asked" is the number asked for, after a change the view's screen.
        const QHash<char, QRect> rects { { 'L', { 0, 0, 1280, 800 } }, { 'B', { 1280, 0, 1920, 1080 } },
            { 'M', { 0, 0, 1920, 1080 } }, { 'T', { 3200, 0, 1920, 1080 } } };
        const std::tuple<const char *, int, bool, int, ScreenChoice> cases[]
            = { { "LB", 0, true, 0, { 1, true } }, { "LMT", 0, true, 0, { 2, true } },
                  { "LB", -1, true, 0, { 0, true } }, { "LB", 0, true, 1, { 0, false } },
                  { "LB", 0, true, 2, { 1, true } }, { "LM", 0, true, 2, { 1, false } },
                  { "LB", 0, true, 3, {} }, { "LB", 0, false, 0, { 1, true } },
                  { "LBT", 0, false, 2, { 2, true } }, { "LBT", 0, false, -1, { 1, true } },
                  { "LB", 0, false, 2, { 1, true } }, { "L", 0, false, -1, { 0, false } },
                  { "", 0, false, -1, {} } };
        for (const auto &[letters, operatorScreen, atStart, asked, expected] : cases) {
            QList<QRect> screens;
            for (const char *letter = letters; *letter; ++letter)
                screens << rects[*letter];
            const ScreenChoice choice = atStart ? ScreenChoice::atStart(screens, operatorScreen, asked)
                                                : ScreenChoice::afterChange(screens, operatorScreen, asked);
            QVERIFY2(choice == expected, letters);
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
        QTRY_VERIFY(hall.screen() != before && hall.isFullScreen());
    }

    void game()
    {
        // Fields, ticks, Pause and weiter after this tick, the screen asked for (the offscreen platform
        // lists the projector first); what the view shows at the end, where, and whether full-screen.
        const std::tuple<const char *, int, int, int, const char *> cases[]
            = { { "0 0 4", 4, 2, 0, "00:00 Beamer 1" }, { "0 1 2", 62, 40, 2, "00:00 Laptop 0" },
                  { "1 0 2", 2, 1, 1, "1:00:00 Beamer 1" } };
        for (const auto &[fields, ticks, pauseAt, asked, shown] : cases) {
            VelorandWindow window;
            window.findChild<GameTimer *>(QStringLiteral("Timer1"))->setClock([] { return qint64(0); });
            window.show();
            HallView hall;
            hall.showDisplay(window.displayState());
            connect(&window, &VelorandWindow::displayChanged, &hall, &HallView::showDisplay);
            QVERIFY(hall.open(&window, asked) && !hall.testAttribute(Qt::WA_QuitOnClose));
            QCOMPARE(hall.objectName(), QStringLiteral("frmZuschauer"));
            for (int i = 0; i < 3; ++i) // txtStd, txtMin, txtSek
                window.findChildren<QLineEdit *>()[i]->setText(QString::fromLatin1(fields).split(u' ')[i]);
            for (int tick = 0; tick <= ticks; ++tick) {
                tick ? window.Timer1_Timer() : window.cmdStart_Click();
                QCOMPARE(seenOn(hall, true), seenOn(window, false));
                for (int press = 0; press < (tick == pauseAt ? 2 : 0); ++press) { // Pause, weiter
                    window.cmdPause_Click();
                    QCOMPARE(seenOn(hall, true), seenOn(window, false));
                }
            }
            auto *rest = hall.findChild<QLabel *>(QStringLiteral("lblZuschauerRest"));
            const auto *caption = hall.findChild<QLabel *>(QStringLiteral("lblZuschauerZeit"));
            QVERIFY(caption->text() == u"Gesamtspielzeit"_qs
                && caption->fontInfo().pixelSize() > hall.height() / 40);
            QCOMPARE(
                QStringLiteral("%1 %2 %3").arg(rest->text(), hall.screen()->name()).arg(hall.isFullScreen()),
                QLatin1String(shown));
            QCOMPARE(hall.size(), hall.isFullScreen() ? QSize(1920, 1080) : HallView::windowSize);
            // The rows and columns that hold digit pixels, and the red ones.
            const QImage shot = hall.grab().toImage();
            const QRect ink = inkOf(shot, rest, [](QColor p) { return p.lightness() > 60; });
            const QRect red = inkOf(shot, rest, [](QColor p) { return p.red() > 200 && p.green() < 40; });
            QVERIFY2(ink.height() >= 0.40 * hall.height(), qPrintable(QString::number(ink.height())));
            QVERIFY(ink.left() > 0 && ink.right() < rest->width() - 1); // none cut off
            QCOMPARE(!red.isNull() && red.left() > ink.center().x(), rest->property("secondsRed").toBool());
            window.cmdStart_Click(); // Stopp
            QCOMPARE(seenOn(hall, true), seenOn(window, false));
        }
    }
};

QTEST_MAIN(TstHall)
#include "tst_hall.moc"
