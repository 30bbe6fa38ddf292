// Whole games on the operator window: what the labels, bars and banners
// show tick by tick, Start, Stopp, Pause, Reset, the spin buttons, the
// title, and commands given while ticks are overdue.
#include "clock/signal.h"
#include "windowfixture.h"

#include <QPushButton>
#include <QSignalSpy>

namespace {

QString bar(const BarDisplay &b)
{
    const QChar colour = b.rgb == Signal::rgb(Signal::Colour::Green) ? u'G'
        : b.rgb == Signal::rgb(Signal::Colour::Yellow)               ? u'Y'
        : b.rgb == Signal::rgb(Signal::Colour::Red)                  ? u'R'
                                                                     : u'?';
    return QString::number(b.percent) + colour + (b.bannerVisible ? u"!"_qs : QString());
}

} // namespace

class TestGame : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { f.open(); }
    void ticks_data();
    void ticks();
    void startBoundsTheFields_data();
    void startBoundsTheFields();
    void refusedStart_data();
    void refusedStart();
    void pauseStoppReset();
    void loweredGameTimeFreezesTheDisplay();
    void spinButtons_data();
    void spinButtons();
    void commandsMeetOverdueTicks_data();
    void commandsMeetOverdueTicks();
    void titles();

private:
    QPushButton *button(const char *name) const { return f.el<QPushButton>(name); }
    WindowFixture f;
};

void TestGame::ticks_data()
{
    // Per tick: remaining, elapsed, the bars (percent, colour, "!" under a banner), the seconds' colour.
    QTest::addColumn<QStringList>("entered");
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("one second") << QStringList { u"00"_qs, u"00"_qs, u"01"_qs }
                                << QStringList { u"1 00:00:00 00:00:01 100R! 0R! 0R! R"_qs };
    QTest::newRow("five seconds") << QStringList { u"00"_qs, u"00"_qs, u"05"_qs }
                                  << QStringList { u"1 00:00:04 00:00:01 50Y 0R 20Y R"_qs,
                                         u"2 00:00:03 00:00:02 100R! 0R 40Y R"_qs,
                                         u"3 00:00:02 00:00:03 100R! 50Y 60Y R"_qs,
                                         u"4 00:00:01 00:00:04 100R! 100Y 80Y R"_qs,
                                         u"5 00:00:00 00:00:05 100R! 100R! 80R! R"_qs };
    QTest::newRow("eight seconds: halves round to even")
        << QStringList { u"0"_qs, u"0"_qs, u"8"_qs }
        << QStringList { u"1 00:00:07 00:00:01 25Y 0R 12Y R"_qs, u"3 00:00:05 00:00:03 75Y 0R 38Y R"_qs };
    QTest::newRow("61 seconds") << QStringList { u"00"_qs, u"01"_qs, u"01"_qs }
                                << QStringList { u"1 00:01:00 00:00:01 3Y 0R 2G Y"_qs,
                                       u"30 00:00:31 00:00:30 100R! 0R 49G Y"_qs,
                                       u"31 00:00:30 00:00:31 100R! 3Y 51Y R"_qs,
                                       u"61 00:00:00 00:01:01 100R! 100R! 98R! R"_qs };
    QTest::newRow("an hour and a second")
        << QStringList { u"1"_qs, u"0"_qs, u"1"_qs } << QStringList { u"1 01:00:00 00:00:01 0G 0R 0G Y"_qs };
}

void TestGame::ticks()
{
    QFETCH(QStringList, entered);
    QFETCH(QStringList, rows);
    f.enter(entered[0], entered[1], entered[2]);
    f.w()->cmdStart_Click();
    QSignalSpy published(f.w(), &VelorandWindow::displayChanged);
    int tick = 0;
    for (const QString &row : rows) {
        const int at = row.section(u' ', 0, 0).toInt();
        while (tick < at) {
            f.pass(1000);
            ++tick;
            QCOMPARE(published.count(), tick); // each tick is published once, when it happens
        }
        const DisplayState d = f.w()->displayState();
        QCOMPARE(published.last().first().value<DisplayState>(), d);
        const QString seen
            = QStringLiteral("%1 %2 %3 %4 %5 %6 %7")
                  .arg(tick)
                  .arg(f.remaining(), f.elapsed(), bar(d.halbzeit1), bar(d.halbzeit2), bar(d.zeit))
                  .arg(d.secondsRed ? u"R"_qs : u"Y"_qs);
        QCOMPARE(seen, row);
    }
    const DisplayState d = f.w()->displayState();
    const bool over = f.remaining() == u"00:00:00"_qs;
    QCOMPARE(f.timer()->isActive(), !over);
    QCOMPARE(button("cmdPause")->isEnabled(), !over); // a finished game cannot be resumed
    QCOMPARE(d.zeit.banner, over ? Signal::gameOver() : QString(u"Spielzeit"_qs));
    if (d.halbzeit1.bannerVisible)
        QCOMPARE(d.halbzeit1.banner, Signal::firstHalfOver());
    if (d.halbzeit2.bannerVisible)
        QCOMPARE(d.halbzeit2.banner, Signal::secondHalfOver());
}

void TestGame::startBoundsTheFields_data()
{
    QTest::addColumn<QStringList>("entered");
    QTest::addColumn<QString>("bounded");
    QTest::newRow("above every limit") << QStringList { u"99"_qs, u"99"_qs, u"99"_qs } << u"24 59 59"_qs;
    QTest::newRow("just above") << QStringList { u"25"_qs, u"60"_qs, u"60"_qs } << u"24 59 59"_qs;
    QTest::newRow("at the limits") << QStringList { u"24"_qs, u"59"_qs, u"59"_qs } << u"24 59 59"_qs;
    QTest::newRow("empty fields") << QStringList { QString(), u"1"_qs, QString() } << u"0 1 0"_qs;
}

void TestGame::startBoundsTheFields()
{
    QFETCH(QStringList, entered);
    QFETCH(QString, bounded);
    f.enter(entered[0], entered[1], entered[2]);
    f.w()->cmdStart_Click();
    QCOMPARE(f.fields(), bounded);
    QCOMPARE(f.remaining(), bounded.replace(u' ', u':'));
    QCOMPARE(button("cmdStart")->text(), u"Stopp"_qs);
    QVERIFY(f.timer()->isActive());
    QVERIFY(f.messages.isEmpty());
}

void TestGame::refusedStart_data()
{
    QTest::addColumn<QStringList>("entered");
    QTest::addColumn<QString>("after");
    QTest::newRow("letter in the minutes") << QStringList { u"1"_qs, u"1a"_qs, u"5"_qs } << u"1 0 5"_qs;
    QTest::newRow("point in the seconds") << QStringList { u"1"_qs, u"2"_qs, u"2."_qs } << u"1 2 0"_qs;
    QTest::newRow("blank before the hours") << QStringList { u" 1"_qs, u"x"_qs, u"5"_qs } << u"0 x 5"_qs;
}

void TestGame::refusedStart()
{
    QFETCH(QStringList, entered);
    f.enter(entered[0], entered[1], entered[2]);
    const DisplayState before = f.w()->displayState();
    f.w()->cmdStart_Click();
    QCOMPARE(f.messages, QStringList { u"Es sind nur numerische Werte erlaubt"_qs });
    QTEST(f.fields(), "after"); // only the first failing field is reset
    QCOMPARE(f.w()->displayState(), before);
    QCOMPARE(button("cmdStart")->text(), u"Start"_qs);
    QVERIFY(!f.timer()->isActive());
    QVERIFY(!button("cmdPause")->isEnabled());
}

void TestGame::pauseStoppReset()
{
    f.enter(u"00"_qs, u"00"_qs, u"05"_qs);
    f.w()->cmdStart_Click();
    QVERIFY(!button("cmdReset")->isEnabled());
    QVERIFY(!f.el("spnsek")->isEnabled());
    f.pass(1000);
    f.pass(400);
    f.w()->cmdPause_Click();
    DisplayState d = f.w()->displayState();
    QVERIFY(d.paused && d.zeit.bannerVisible);
    QCOMPARE(d.zeit.banner, Signal::gameInterrupted());
    QCOMPARE(button("cmdPause")->text(), u"weiter"_qs);
    f.pass(5000); // paused: nothing moves
    QCOMPARE(f.elapsed(), u"00:00:01"_qs);
    f.w()->cmdPause_Click(); // on again, with the 600 ms left of the second
    QVERIFY(!f.w()->displayState().zeit.bannerVisible);
    f.pass(599);
    QCOMPARE(f.elapsed(), u"00:00:01"_qs);
    f.pass(1);
    QCOMPARE(f.elapsed(), u"00:00:02"_qs);
    f.w()->cmdPause_Click();
    f.w()->cmdStart_Click(); // Stopp: display cleared, the entry kept
    d = f.w()->displayState();
    const DisplayState cleared {
        .secondsRed = d.secondsRed, .halbzeit1 = d.halbzeit1, .halbzeit2 = d.halbzeit2, .zeit = d.zeit
    };
    QCOMPARE(d, cleared);
    for (const BarDisplay &b : { d.halbzeit1, d.halbzeit2, d.zeit })
        QVERIFY(b.percent == 0 && !b.bannerVisible);
    QCOMPARE(button("cmdPause")->text(), u"Pause"_qs);
    QVERIFY(!button("cmdPause")->isEnabled());
    QVERIFY(button("cmdReset")->isEnabled() && f.el("spnsek")->isEnabled());
    QVERIFY(!f.timer()->isActive());
    QCOMPARE(f.fields(), u"00 00 05"_qs);
    QCOMPARE(f.w()->clockState().Zeitzähler, 0);
    f.w()->cmdReset_Click();
    QCOMPARE(f.fields(), u"00 00 00"_qs);
    QCOMPARE(f.w()->clockState().Spielzeit, 0);
    QVERIFY(!button("cmdStart")->isEnabled());
    QVERIFY(button("cmdUhrAus")->isEnabled());
}

void TestGame::loweredGameTimeFreezesTheDisplay()
{
    f.enter(u"00"_qs, u"00"_qs, u"10"_qs);
    f.w()->cmdStart_Click();
    f.pass(3000);
    f.el<QLineEdit>("txtSek")->setText(u"02"_qs);
    QCOMPARE(f.w()->clockState().Spielzeit, 2);
    f.pass(5000);
    QCOMPARE(f.remaining(), u"00:00:07"_qs);
    QVERIFY(f.timer()->isActive());
}

void TestGame::spinButtons_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("up");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("message");
    QTest::newRow("hours up") << u"txtStd"_qs << u"23"_qs << true << u"24"_qs << QString();
    QTest::newRow("hours at the limit") << u"txtStd"_qs << u"24"_qs << true << u"24"_qs << QString();
    QTest::newRow("minutes at the limit")
        << u"txtMin"_qs << u"59"_qs << true << u"59"_qs << u"Die Eingabe ist auf 59 Minuten begrenzt !"_qs;
    QTest::newRow("seconds at the limit")
        << u"txtSek"_qs << u"59"_qs << true << u"59"_qs << u"Die Eingabe ist auf 59 Sekunden begrenzt !"_qs;
    QTest::newRow("minutes down") << u"txtMin"_qs << u"10"_qs << false << u"09"_qs << QString();
    QTest::newRow("seconds down") << u"txtSek"_qs << u"1"_qs << false << u"00"_qs << QString();
    QTest::newRow("hours at zero") << u"txtStd"_qs << u"00"_qs << false << u"00"_qs << QString();
}

void TestGame::spinButtons()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(bool, up);
    QFETCH(QString, message);
    auto *edit = f.w()->findChild<QLineEdit *>(field);
    edit->setText(text);
    using Step = void (VelorandWindow::*)();
    const QMap<QString, std::pair<Step, Step>> steps {
        { u"txtStd"_qs, { &VelorandWindow::spnStd_SpinUp, &VelorandWindow::spnStd_SpinDown } },
        { u"txtMin"_qs, { &VelorandWindow::spnMin_SpinUp, &VelorandWindow::spnMin_SpinDown } },
        { u"txtSek"_qs, { &VelorandWindow::spnsek_SpinUp, &VelorandWindow::spnsek_SpinDown } },
    };
    (f.w()->*(up ? steps[field].first : steps[field].second))();
    QTEST(edit->text(), "after");
    QCOMPARE(f.messages, message.isEmpty() ? QStringList() : QStringList { message });
    // The step ran the change handling: Start follows the fields.
    const bool someTime = f.w()->clockState().Spielzeit > 0;
    QCOMPARE(button("cmdStart")->isEnabled(), someTime);
    QCOMPARE(button("cmdUhrAus")->isEnabled(), !someTime);
}

void TestGame::commandsMeetOverdueTicks_data()
{
    // The machine was held up from 10.3 s to 15.3 s of a game; then a command comes.
    QTest::addColumn<QString>("seconds");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("elapsed");
    QTest::addColumn<bool>("paused");
    QTest::newRow("pause") << u"99"_qs << u"pause"_qs << u"00:00:15"_qs << true;
    QTest::newRow("pause after the end") << u"12"_qs << u"pause"_qs << u"00:00:12"_qs << false;
    QTest::newRow("field change") << u"99"_qs << u"field"_qs << u"00:00:15"_qs << false;
    QTest::newRow("spin step") << u"99"_qs << u"spin"_qs << u"00:00:15"_qs << false;
    QTest::newRow("stopp after the end") << u"12"_qs << u"stopp"_qs << u"00:00:00"_qs << false;
}

void TestGame::commandsMeetOverdueTicks()
{
    QFETCH(QString, seconds);
    QFETCH(QString, command);
    f.enter(u"00"_qs, u"00"_qs, seconds);
    f.w()->cmdStart_Click();
    for (int i = 0; i < 10; ++i)
        f.pass(1000);
    f.now += 5300LL * 1000 * 1000;
    QSignalSpy published(f.w(), &VelorandWindow::displayChanged);
    if (command == u"pause"_qs)
        f.w()->cmdPause_Click();
    else if (command == u"field"_qs)
        f.el<QLineEdit>("txtStd")->setText(u"0"_qs);
    else if (command == u"spin"_qs)
        f.w()->spnStd_SpinDown();
    else
        f.w()->cmdStart_Click();
    QTEST(f.elapsed(), "elapsed");
    QTEST(f.w()->displayState().paused, "paused");
    bool endShown = false; // the ticks came first
    for (const QList<QVariant> &state : published)
        endShown |= state.first().value<DisplayState>().zeit.banner == Signal::gameOver();
    QCOMPARE(endShown, seconds == u"12"_qs);
}

void TestGame::titles()
{
    f.w()->show();
    QCOMPARE(f.w()->windowTitle(), u" Velorand : "_qs);
    f.w()->setTimeOfDaySource([] { return QTime(9, 5, 3); });
    f.w()->Timer2_Timer();
    QCOMPARE(f.w()->windowTitle(), u" Velorand :  [09:05:03]"_qs);
    f.enter(u"00"_qs, u"00"_qs, u"05"_qs);
    f.w()->cmdStart_Click();
    f.w()->Minimieren_Click();
    QCOMPARE(f.w()->windowTitle(), u" Velorand :  [09:05:03]"_qs); // minimising writes nothing
    f.w()->setTimeOfDaySource([] { return QTime(9, 5, 4); });
    f.w()->Timer2_Timer();
    QCOMPARE(f.w()->windowTitle(), u" Velorand :  [09:05:03]"_qs); // nor does the clock while minimised
    f.pass(1000);
    QCOMPARE(f.w()->windowTitle(), u"00:00:04"_qs); // the tick does
    f.w()->showNormal();
    QCOMPARE(f.w()->windowTitle(), u" Velorand : "_qs);
    f.pass(1000);
    QCOMPARE(f.w()->windowTitle(), u" Velorand : "_qs);
}

QTEST_MAIN(TestGame)
#include "tst_game.moc"
