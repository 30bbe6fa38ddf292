// The operator window as the operator sees it: every element in place, the
// colors on screen, whole games tick by tick, Start, Stopp, Pause, Reset,
// the spin buttons, the title, commands given while ticks are overdue, the
// hover feedback, the keyboard focus and Qt's own texts in German. The game
// timer runs on a clock that only the test moves; message boxes are recorded.
#include "core/clock/gametimer.h"
#include "seen.h"
#include "shell/appsetup.h"
#include "shell/velorandwindow.h"
#include "widgets/facebutton.h"
#include "widgets/spinbutton.h"

#include <QtTest>
#include <memory>

namespace {

QString bar(const BarDisplay &b)
{
    const QHash<quint32, QChar> colors { { 0x00ff00, u'G' }, { 0xffff00, u'Y' }, { 0xff0000, u'R' } };
    return QString::number(b.percent) + colors.value(b.rgb, u'?') + (b.bannerVisible ? u"!"_qs : QString());
}

QColor pixel(const QImage &image, const QWidget *at, double x, double y)
{
    return image.pixelColor(at->mapTo(at->window(), QPoint(at->width() * x, at->height() * y)));
}

} // namespace

class TestWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A steady text cursor, the same in every picture.
    void initTestCase() { prepareApplication(), QApplication::setCursorFlashTime(0); }
    void init()
    {
        m_window = std::make_unique<VelorandWindow>();
        now = 0, messages.clear();
        timer()->setClock([this] { return now; });
        m_window->setModalRunner([this](QMessageBox &box) {
            messages << box.objectName() + u' ' + box.windowTitle() + u": "_qs + box.text();
        });
    }
    void elementsAndLayout()
    {
        // The size, the faces and the colors are in the pictures (looks).
        QVERIFY(!w()->windowIcon().pixmap(32).isNull());
        const QString names
            = u"frmVelorand fraZeiteingabe Frame1 fraZeit Frame2 Frame3 txtStd txtMin txtSek spnStd spnMin "
              "spnsek lblStdAb lblMinAb lblSekAb lblStd lblMin lblSek pnlHalbzeit1 pnlHalbzeit2 pnlZeit "
              "pnlHalbzeit1Text pnlHalbzeit2Text pnlZeitText lbl1Halbzeit lbl2Halbzeit lblGesamtspielzeit "
              "cmdStart cmdPause cmdReset cmdUhrAus Line1 Line2 Line3 Line4 Label1 Label2 Label3 Label5 "
              "Label6 Label7 Label8 Label9 Label10 Timer1 Timer2 Menu Minimieren Schliessen cmdStartInOut "
              "cmdPauseInOut cmdResetInOut cmdUhrAusInOut"_qs;
        for (const QString &name : names.split(u' '))
            QVERIFY2(w()->objectName() == name || w()->findChild<QObject *>(name), qPrintable(name));
        // The hint, the menu's captions, then the focus order as Tab runs through it (the groups' titles and
        // the faces are in the pictures: looks).
        QStringList captions { el("fraZeiteingabe")->toolTip(), el("Menu")->property("text").toString(),
            el<QAction>("Minimieren")->text(), el<QAction>("Schliessen")->text() };
        w()->show();
        QWidget *at = el("txtStd");
        do // the enabled elements that Tab reaches, in the window's focus chain
            captions << (at->focusPolicy() & Qt::TabFocus && at->isEnabled() ? at->objectName() : QString());
        while ((at = at->nextInFocusChain()) != el("txtStd"));
        QCOMPARE(captions.join(u' ').simplified(),
            u"Zum Schließen rechtsklicken. Menu Minimieren Schliessen txtStd txtMin txtSek "
            "spnsek spnMin spnStd cmdUhrAus"_qs);
    }
    void hover_data()
    {
        QTest::addColumn<QColor>("face"); // lit under the pointer; the rows are named after their buttons
        QTest::newRow("cmdStart") << QColor(0, 255, 0);
        QTest::newRow("cmdPause") << QColor(255, 255, 0);
        QTest::newRow("cmdReset") << QColor(255, 127, 127);
        QTest::newRow("cmdUhrAus") << QColor(255, 0, 0);
    }
    void hover()
    {
        QFETCH(QColor, face);
        QEnterEvent enter(QPointF(0, 0), QPointF(0, 0), QPointF(0, 0)); // the edge counts as inside
        w()->show();
        auto *button = el<FaceButton>(QTest::currentDataTag());
        const bool enabled = button->isEnabled(); // only "Uhr aus" at start: the others do not light up
        QApplication::sendEvent(button, &enter);
        QCOMPARE(std::pair(button->faceColor(), button->font().bold()),
            std::pair(enabled ? face : QColor(), enabled));
        QEnterEvent corner(QPointF(button->width(), button->height()), {}, {}); // the far edge too
        button->setEnabled(true), QApplication::sendEvent(button, &corner);
        QCOMPARE(pixel(onScreen(*w()), button, 0.1, 0.5), face); // on the face, left of the caption
        button->setStyle(relief.get()); // a style that draws buttons in relief keeps it round the face
        QCOMPARE(pixel(onScreen(*w()), button, 0, 0), QColor(Qt::white));
        // Dragged off with the button held: the moves still come, the leave only at the release.
        QMouseEvent away(
            QEvent::MouseMove, QPointF(button->width() + 1, 0), QPointF(), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(button, &away);
        QCOMPARE(pixel(onScreen(*w()), button, 0.1, 0.5), QColor(212, 208, 200));
        QVERIFY(!button->font().bold());
        QSignalSpy faceChanged(el<FaceButton>("cmdUhrAus"), &FaceButton::faceColorChanged);
        // Taken down with a button lit: the window's handlers are gone with it.
        QApplication::sendEvent(el("cmdUhrAus"), &enter), m_window.reset();
        QCOMPARE(faceChanged.count(), 1); // lit, and nothing after
    }
    void keyboardFocus()
    {
        w()->show();
        QVERIFY(QTest::qWaitForWindowActive(w()));
        auto *seconds = el<QLineEdit>("txtSek");
        seconds->setFocus(), QTest::keyClicks(seconds, u"5"_qs);
        // A click in a focused field moves the cursor.
        QTest::mouseClick(seconds, Qt::LeftButton, {}, QPoint(2, 5)), QTest::keyClicks(seconds, u"1"_qs);
        QTest::mousePress(el("spnsek"), Qt::LeftButton, {}, QPoint(5, 5)); // 15 up to 16
        const QImage held = onScreen(*w()); // the held arrow sunk in, the other raised
        QVERIFY(pixel(held, el("spnsek"), 0, 0).lightness() < 200);
        QCOMPARE(pixel(held, el("spnsek"), 0, 0.5), QColor(Qt::white));
        QVERIFY(pixel(held, el("spnsek"), 0.5, 0.75).lightness() < 128);
        QTest::mouseRelease(el("spnsek"), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(pixel(onScreen(*w()), el("spnsek"), 0, 0), QColor(Qt::white)); // raised again
        QTest::mouseClick(el("cmdStart"), Qt::LeftButton);
        QVERIFY(seconds->hasFocus()); // neither the arrows nor the button took the focus
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QCOMPARE(controls() + QString::number(w()->clockState().Spielzeit),
            u"Stopp Pause -Reset -Uhr aus - running16"_qs);
        // Tabbed to an arrow, then Start by mouse: the arrow goes off, and its field gets the focus back.
        w()->cmdStart_Click(), el("spnMin")->setFocus();
        QTest::mouseClick(el("cmdStart"), Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget()->property("selectedText"), u"00"_qs); // txtMin, selected
        for (const char *field : { "txtSek", "txtStd" }) { // each field selects its text on the focus
            el(field)->setFocus(Qt::OtherFocusReason), QCoreApplication::processEvents();
            QCOMPARE(el(field)->property("selectedText"), el(field)->property("text"));
        }
    }
    void popupMenuAndGermanTexts()
    {
        w()->show();
        for (const char *frame : { "Frame1", "Frame2", "Frame3" }) { // on each group's background
            QTest::mouseClick(el(frame), Qt::RightButton, {}, QPoint(4, 40));
            QTRY_VERIFY(el("Menu")->isVisible());
            el("Menu")->hide();
        }
        // Qt's own edit menu of a field speaks German too.
        std::unique_ptr<QMenu> edit(el<QLineEdit>("txtStd")->createStandardContextMenu());
        QVERIFY(edit->actions().first()->text().contains(u"Rückgängig"_qs));
        el<QAction>("Schliessen")->trigger(); // closing is never refused
        QVERIFY(!w()->isVisible());
    }
    void ticks_data()
    {
        // Per tick: remaining, elapsed, the bars (percent, color, "!" under a banner), the seconds' color.
        QTest::addColumn<QString>("entered");
        QTest::addColumn<QString>("rows");
        QTest::newRow("one second") << u"00 00 01"_qs << u"1 00:00:00 00:00:01 100R! 0R! 0R! R"_qs;
        QTest::newRow("five seconds")
            << u"00 00 05"_qs
            << u"1 00:00:04 00:00:01 50Y 0R 20Y R|2 00:00:03 00:00:02 100R! 0R 40Y R|"
               "3 00:00:02 00:00:03 100R! 50Y 60Y R|4 00:00:01 00:00:04 100R! 100Y 80Y R|"
               "5 00:00:00 00:00:05 100R! 100R! 80R! R"_qs;
        QTest::newRow("two seconds: halves of one")
            << u"0 0 2"_qs << u"1 00:00:01 00:00:01 100R! 0R 50Y R|2 00:00:00 00:00:02 100R! 100R! 50R! R"_qs;
        QTest::newRow("eight seconds: halves round to even")
            << u"0 0 8"_qs << u"1 00:00:07 00:00:01 25Y 0R 12Y R|3 00:00:05 00:00:03 75Y 0R 38Y R"_qs;
        QTest::newRow("an hour played") << u"1 0 2"_qs << u"3601 00:00:01 01:00:01 100R! 100Y 100Y R"_qs;
        QTest::newRow("61 seconds")
            << u"00 01 01"_qs
            << u"1 00:01:00 00:00:01 3Y 0R 2G Y|30 00:00:31 00:00:30 100R! 0R 49G Y|"
               "31 00:00:30 00:00:31 100R! 3Y 51Y R|61 00:00:00 00:01:01 100R! 100R! 98R! R"_qs;
    }
    void ticks()
    {
        QFETCH(QString, entered);
        QFETCH(QString, rows);
        w()->show();
        startGame(entered);
        QSignalSpy published(w(), &VelorandWindow::displayChanged);
        int tick = 0;
        for (const QString &row : rows.split(u'|')) {
            while (tick < row.section(u' ', 0, 0).toInt()) {
                pass(1000);
                QCOMPARE(published.count(), ++tick); // each tick is published once, when it happens
            }
            const DisplayState d = w()->displayState(); // what the other views are sent: tst_hall, tst_web
            QCOMPARE(QStringList({ QString::number(tick), remaining(), elapsed(), bar(d.halbzeit1),
                         bar(d.halbzeit2), bar(d.zeit), d.secondsRed ? u"R"_qs : u"Y"_qs }),
                row.split(u' '));
            // A restart at this moment, or long after the end, shows the same.
            VelorandWindow resumed;
            resumed.findChild<GameTimer *>(u"Timer1"_qs)->setClock([this] { return now; });
            enterFields(resumed, entered);
            const bool ended = remaining() == u"00:00:00"_qs;
            resumed.resumeGame(tick * 1000LL + (ended ? 90000 : 400), false);
            QCOMPARE(resumed.displayState(), d);
            QCOMPARE(resumed.elapsedMs(), tick * 1000LL + (ended ? 0 : 400)); // the next tick in 600 ms
        }
        // Then it cannot be resumed; the banners' texts: looks.
        const bool over = remaining() == u"00:00:00"_qs;
        QCOMPARE(controls(),
            over ? u"Stopp -Pause -Reset -Uhr aus - off"_qs : u"Stopp Pause -Reset -Uhr aus - running"_qs);
    }
    void looks_data()
    {
        QTest::addColumn<int>("seconds"); // of a 5 s game run before the picture is taken; -1: not started
        QTest::addColumn<QString>("picture");
        QTest::newRow("before a game") << -1 << u"window-idle.png"_qs;
        QTest::newRow("3 s into 5 s, the first half over") << 3 << u"window-running.png"_qs;
        QTest::newRow("the game over") << 5 << u"window-over.png"_qs;
    }
    void looks()
    {
        QFETCH(int, seconds);
        QFETCH(QString, picture);
        onScreen(*w()); // painted second by second as the game goes, not drawn anew for the picture
        enterFields(*w(), u"0 0 5"_qs);
        if (seconds >= 0)
            w()->cmdStart_Click();
        for (int second = 0; second < seconds; ++second)
            pass(1000), onScreen(*w());
        QVERIFY(looksAs(*w(), picture, __FILE__));
    }
    void start_data()
    {
        QTest::addColumn<QString>("entered");
        QTest::addColumn<QString>("after"); // the fields after Start
        QTest::addColumn<bool>("refused"); // "Es sind nur numerische Werte erlaubt"
        QTest::newRow("just above") << u"25 60 60"_qs << u"24 59 59"_qs << false;
        QTest::newRow("at the limits") << u"24 59 59"_qs << u"24 59 59"_qs << false;
        QTest::newRow("empty fields") << u" 1 "_qs << u"0 1 0"_qs << false;
        // A refused field alone is reset.
        QTest::newRow("letter in the minutes") << u"1 1a 5"_qs << u"1 0 5"_qs << true;
        QTest::newRow("point in the seconds") << u"1 2 2."_qs << u"1 2 0"_qs << true;
        QTest::newRow("letter in the hours") << u"x y 5"_qs << u"0 y 5"_qs << true;
    }
    void start()
    {
        QFETCH(QString, entered);
        QFETCH(QString, after);
        QFETCH(bool, refused);
        enterFields(*w(), entered);
        const QString before = remaining();
        w()->cmdStart_Click();
        QCOMPARE(fields(), after);
        QCOMPARE(messages.join(u'\n'),
            refused ? u"msgFalscheEingaben Falsche Eingaben.: Es sind nur numerische Werte erlaubt"_qs
                    : QString());
        QCOMPARE(remaining(), refused ? before : after.replace(u' ', u':'));
        QCOMPARE(controls(),
            refused ? u"Start -Pause -Reset -Uhr aus  off"_qs : u"Stopp Pause -Reset -Uhr aus - running"_qs);
    }
    void pauseStoppReset()
    {
        startGame(u"00 00 05"_qs);
        pass(1400);
        QTest::mouseClick(el("cmdPause"), Qt::LeftButton);
        QCOMPARE(controls(), u"Stopp weiter -Reset -Uhr aus - off"_qs);
        QCOMPARE(bar(w()->displayState().zeit) + w()->displayState().zeit.banner,
            u"20Y!Spielzeit unterbrochen !"_qs);
        pass(5000); // paused: nothing moves
        w()->cmdPause_Click(); // on again, with the 600 ms left of the second; the banner hidden, emptied
        QCOMPARE(bar(w()->displayState().zeit) + w()->displayState().zeit.banner, u"20Y"_qs);
        pass(599);
        QCOMPARE(elapsed(), u"00:00:01"_qs);
        pass(1);
        QCOMPARE(elapsed(), u"00:00:02"_qs);
        w()->cmdPause_Click(), w()->cmdStart_Click(); // paused, then Stopp: display cleared, the entry kept
        const DisplayState d = w()->displayState();
        DisplayState cleared;
        std::tie(cleared.secondsRed, cleared.halbzeit1, cleared.halbzeit2, cleared.zeit, cleared.txtStd,
            cleared.txtMin, cleared.txtSek, cleared.enabled)
            = std::tie(
                d.secondsRed, d.halbzeit1, d.halbzeit2, d.zeit, d.txtStd, d.txtMin, d.txtSek, d.enabled);
        QCOMPARE(d, cleared);
        QCOMPARE(bar(d.halbzeit1) + bar(d.halbzeit2) + bar(d.zeit), u"0R0R0Y"_qs); // emptied, no banner
        QCOMPARE(controls() + fields() + QString::number(w()->clockState().Zeitzähler),
            u"Start -Pause Reset Uhr aus  off00 00 050"_qs);
        w()->cmdStart_Click(); // a new game: no Reset while it runs ("Uhr aus" stays as Stopp left it)
        QCOMPARE(controls(), u"Stopp Pause -Reset Uhr aus - running"_qs);
        pass(2000); // on counts that Stopp set back to zero
        QCOMPARE(bar(w()->displayState().halbzeit1) + bar(w()->displayState().halbzeit2), u"100R!0R"_qs);
        w()->cmdStart_Click();
        QTest::mouseClick(el("cmdReset"), Qt::LeftButton);
        QCOMPARE(controls() + fields() + QString::number(w()->clockState().Spielzeit),
            u"-Start -Pause Reset Uhr aus  off00 00 000"_qs);
    }
    void spinButtons_data()
    {
        QTest::addColumn<QString>("step"); // field, its text, up or down
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("messages"); // the message boxes shown, one a line
        QTest::newRow("hours up") << u"Std 23 up"_qs << u"24"_qs << QString();
        QTest::newRow("hours at the limit") << u"Std 24 up"_qs << u"24"_qs << QString();
        const QString limit = u"msgGrenze Velorand: Die Eingabe ist auf 59 %1 begrenzt !"_qs;
        QTest::newRow("minutes at the limit") << u"Min 59 up"_qs << u"59"_qs << limit.arg(u"Minuten"_qs);
        QTest::newRow("seconds at the limit") << u"Sek 59 up"_qs << u"59"_qs << limit.arg(u"Sekunden"_qs);
        QTest::newRow("minutes down") << u"Min 10 down"_qs << u"09"_qs << QString();
        QTest::newRow("hours down") << u"Std 10 down"_qs << u"09"_qs << QString();
        QTest::newRow("hours above the limit") << u"Std 99 up"_qs << u"99"_qs << QString();
        QTest::newRow("negative") << u"Min -5 up"_qs << u"-0"_qs << QString(); // "-04", cut to two
        QTest::newRow("letters") << u"Sek ab up"_qs << u"01"_qs << QString();
        QTest::newRow("half down") << u"Sek .5 down"_qs << u"00"_qs << QString();
        QTest::newRow("down to zero") << u"Sek 01 down"_qs << u"00"_qs << QString();
        QTest::newRow("at zero") << u"Min 00 down"_qs << u"00"_qs << QString();
    }
    void spinButtons()
    {
        QFETCH(QString, step);
        QFETCH(QString, after);
        const QStringList parts = step.split(u' ');
        auto *edit = w()->findChild<QLineEdit *>(u"txt"_qs + parts[0]);
        edit->setText(parts[1]);
        auto *spin = w()->findChild<SpinButton *>(u"spn"_qs + (parts[0] == u"Sek"_qs ? u"sek"_qs : parts[0]));
        QTest::keyClick(spin, parts[2] == u"up"_qs ? Qt::Key_Up : Qt::Key_Down); // on the arrow Tab reached
        QCOMPARE(edit->text(), after);
        QTEST(messages.join(u'\n'), "messages");
        // Start follows the field, "Uhr aus" the other way.
        QCOMPARE(controls().startsWith(u'-') && !controls().contains(u"-Uhr"_qs), !after.toInt());
    }
    void heldArrowRepeatsUntilReleased()
    {
        w()->show();
        auto *arrows = el("spnsek");
        const auto moved = [this] { return el("txtSek")->property("text").toInt() - 30; };
        // At the limit a message box opens, and the release goes to the button that closes it: no repeat, and
        // the arrow raised again.
        w()->setModalRunner(
            [&](QMessageBox &box) { messages << box.text(), QTest::mouseRelease(&box, Qt::LeftButton); });
        enterFields(*w(), u"0 0 59"_qs);
        QTest::mousePress(arrows, Qt::LeftButton, {}, QPoint(1, 1));
        QTest::qWait(SpinButton::repeatDelay * 2);
        QCOMPARE(std::pair(messages.size(), pixel(onScreen(*w()), arrows, 0, 0)),
            std::pair(qsizetype(1), QColor(Qt::white)));
        for (const int direction : { 1, -1 }) { // the upper arrow, then the lower one
            enterFields(*w(), u"0 0 30"_qs);
            // Next to the middle.
            const QPoint point(arrows->width() / 2, arrows->height() / 2 - 1 - direction);
            QTest::mousePress(arrows, Qt::LeftButton, {}, point);
            QTRY_VERIFY(moved() * direction >= 3); // one step at the press, then repeats while held
            direction > 0 ? QTest::mouseRelease(arrows, Qt::LeftButton, {}, point) // or Start disables it
                          : w()->cmdStart_Click();
            const int released = moved();
            QTest::qWait(300);
            QCOMPARE(moved(), released);
        }
    }
    void commandsMeetOverdueTicks_data()
    {
        // The machine was held up from 10.3 s to 15.3 s of a game; then a command comes.
        QTest::addColumn<QString>("entered");
        QTest::addColumn<int>("command"); // 0 Pause, 1 field, 2/5 spin down/up, 3 Stopp, 4 Uhr aus, 6 close
        QTest::addColumn<QString>("elapsed");
        QTest::addColumn<bool>("paused");
        QTest::newRow("pause") << u"00 00 99"_qs << 0 << u"00:00:15"_qs << true;
        QTest::newRow("pause after the end") << u"00 00 12"_qs << 0 << u"00:00:12"_qs << false;
        // Lowered below the time played: the display stands still a second later, the game goes on.
        QTest::newRow("game time lowered") << u"00 00 99"_qs << 1 << u"00:00:15"_qs << false;
        QTest::newRow("spin step") << u"00 00 99"_qs << 2 << u"00:00:15"_qs << false;
        QTest::newRow("stopp after the end") << u"00 00 12"_qs << 3 << u"00:00:00"_qs << false;
        QTest::newRow("uhr aus") << u"00 00 99"_qs << 4 << u"00:00:15"_qs << false;
        QTest::newRow("spin up at the limit") << u"00 59 99"_qs << 5 << u"00:00:15"_qs << false;
        QTest::newRow("schliessen") << u"00 00 99"_qs << 6 << u"00:00:15"_qs << false;
    }
    void commandsMeetOverdueTicks()
    {
        QFETCH(QString, entered);
        QFETCH(int, command);
        startGame(entered);
        pass(10000);
        now += 5300LL * 1000 * 1000;
        QSignalSpy published(w(), &VelorandWindow::displayChanged);
        const std::function<void()> commands[] { [&] { w()->cmdPause_Click(); },
            [&] { el<QLineEdit>("txtSek")->setText(u"02"_qs), pass(1000); }, [&] { w()->spnStd_SpinDown(); },
            [&] { w()->cmdStart_Click(); }, [&] { w()->cmdUhrAus_Click(); }, [&] { w()->spnMin_SpinUp(); },
            [&] { w()->Schliessen_Click(); } };
        commands[command]();
        QTEST(elapsed(), "elapsed");
        QTEST(w()->displayState().paused, "paused");
        const auto ended = [](const QList<QVariant> &state) {
            return state.first().value<DisplayState>().zeit.banner == u"Die Spielzeit ist abgelaufen !"_qs;
        };
        const bool over = entered.endsWith(u"12"_qs); // ticks first; a game not over runs on unless paused
        QCOMPARE(std::pair(std::any_of(published.cbegin(), published.cend(), ended), timer()->isActive()),
            std::pair(over, !over && !w()->displayState().paused));
    }
    void titles()
    {
        w()->show();
        QCOMPARE(w()->windowTitle(), u" Velorand : "_qs);
        w()->setTimeOfDaySource([] { return QTime(9, 5, 3); }), w()->Timer2_Timer();
        const QString clock = u" Velorand :  [09:05:03]"_qs;
        QCOMPARE(w()->windowTitle(), clock);
        startGame(u"00 00 05"_qs);
        el<QAction>("Minimieren")->trigger();
        w()->setTimeOfDaySource([] { return QTime(9, 5, 4); }), w()->Timer2_Timer();
        QCOMPARE(w()->windowTitle(), clock); // neither minimising nor the clock writes it now
        pass(1000);
        QCOMPARE(w()->windowTitle(), u"00:00:04"_qs); // the tick does
        w()->showNormal(); // restored: the plain title at once
        QCOMPARE(w()->windowTitle(), u" Velorand : "_qs);
    }

private:
    VelorandWindow *w() const { return m_window.get(); }
    template <typename T = QWidget> T *el(const char *name) const
    {
        T *found = m_window->findChild<T *>(QString::fromLatin1(name));
        return found ? found : (qFatal("no element %s", name), nullptr);
    }
    GameTimer *timer() const { return el<GameTimer>("Timer1"); }
    /// The texts of three elements: @p prefix + "Std", "Min", "Sek" + @p suffix.
    QString texts(const char *prefix, const char *suffix = "", QChar between = u':') const
    {
        QStringList three;
        for (const char *unit : { "Std", "Min", "Sek" })
            three << el(QByteArray(prefix).append(unit).append(suffix))->property("text").toString();
        return three.join(between);
    }
    /// Enters @p fields ("hours minutes seconds") and clicks Start.
    void startGame(const QString &fields) const { enterFields(*w(), fields), w()->cmdStart_Click(); }
    /// Moves the clock on by @p ms and lets the game timer deliver every tick that is due.
    void pass(qint64 ms) { now += ms * 1000 * 1000, timer()->catchUp(); }
    QString fields() const { return texts("txt", "", u' '); }
    QString remaining() const { return texts("lbl"); }
    QString elapsed() const { return texts("lbl", "Ab"); }
    /// The commands as the operator sees them: captions, "-" before a disabled one, the game timer.
    QString controls() const
    {
        QStringList seen;
        for (const char *name : { "cmdStart", "cmdPause", "cmdReset", "cmdUhrAus" })
            seen << (el(name)->isEnabled() ? u""_qs : u"-"_qs) + el(name)->property("text").toString();
        // The three arrows go together: "-" when all are disabled, "?" when they differ.
        const int arrows = el("spnStd")->isEnabled() + el("spnMin")->isEnabled() + el("spnsek")->isEnabled();
        seen << (arrows == 3 ? u""_qs : arrows ? u"?"_qs : u"-"_qs);
        return seen.join(u' ') + (timer()->isActive() ? u" running"_qs : u" off"_qs);
    }

    const std::unique_ptr<QStyle> relief { QStyleFactory::create(u"Windows"_qs) };
    std::unique_ptr<VelorandWindow> m_window;
    qint64 now = 0;
    QStringList messages;
};

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
