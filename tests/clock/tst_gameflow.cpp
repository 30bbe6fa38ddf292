#include "clock/gametimer.h"
#include "modalcloser.h"
#include "shell/facebutton.h"
#include "shell/floodpanel.h"
#include "shell/spinbutton.h"
#include "shell/textpanel.h"
#include "shell/velorandwindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <memory>

namespace {

QStringList l(const char *hours, const char *minutes, const char *seconds)
{
    return { QString::fromLatin1(hours), QString::fromLatin1(minutes), QString::fromLatin1(seconds) };
}

} // namespace

// Start, Stopp, Pause, Reset and the title on the real window. The ticks are
// driven by calling Timer1_Timer(); the game timer runs on a clock that only
// the test moves, so no real tick interferes.
class TestGameFlow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void startBoundsTheFields_data();
    void startBoundsTheFields();
    void rejectedStartChangesNothing_data();
    void rejectedStartChangesNothing();
    void wholeGame_data();
    void wholeGame();
    void finishedGameCannotBeResumed();
    void pauseAndResume();
    void stoppWhileInterrupted();
    void resetClearsTheEntry();
    void loweredGameTimeFreezesTheDisplay();
    void minimisedTitleShowsRemainingTime();
    void titleClock_data();
    void titleClock();

private:
    template <typename T> T *el(const char *name) const
    {
        T *found = m_window->findChild<T *>(QString::fromLatin1(name));
        if (!found)
            qFatal("no element %s", name);
        return found;
    }
    QLineEdit *field(const char *name) const { return el<QLineEdit>(name); }
    QString label(const char *name) const { return el<QLabel>(name)->text(); }
    int percent(const char *name) const { return el<FloodPanel>(name)->floodPercent(); }
    bool shown(const char *name) const { return !el<TextPanel>(name)->isHidden(); }
    FaceButton *button(const char *name) const { return el<FaceButton>(name); }
    GameTimer *timer1() const { return el<GameTimer>("Timer1"); }
    QString remaining() const { return label("lblStd") + u':' + label("lblMin") + u':' + label("lblSek"); }
    QString elapsed() const
    {
        return label("lblStdAb") + u':' + label("lblMinAb") + u':' + label("lblSekAb");
    }
    bool spinsEnabled() const
    {
        return el<SpinButton>("spnStd")->isEnabled() && el<SpinButton>("spnMin")->isEnabled()
            && el<SpinButton>("spnsek")->isEnabled();
    }
    void enter(const QString &std, const QString &min, const QString &sek)
    {
        field("txtStd")->setText(std);
        field("txtMin")->setText(min);
        field("txtSek")->setText(sek);
    }
    void startGame(const QString &sek)
    {
        enter(QStringLiteral("00"), QStringLiteral("00"), sek);
        m_window->cmdStart_Click();
        QVERIFY(timer1()->isActive());
    }
    void ticks(int n)
    {
        for (int i = 0; i < n; ++i)
            m_window->Timer1_Timer();
    }

    std::unique_ptr<VelorandWindow> m_window;
    qint64 m_now = 0;
};

void TestGameFlow::init()
{
    m_window = std::make_unique<VelorandWindow>();
    m_now = 0;
    timer1()->setClock([this] { return m_now * 1000 * 1000; }); // milliseconds to the timer's nanoseconds
}

void TestGameFlow::cleanup()
{
    m_window.reset();
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
}

void TestGameFlow::startBoundsTheFields_data()
{
    QTest::addColumn<QStringList>("entered");
    QTest::addColumn<QStringList>("bounded");
    QTest::addColumn<qint32>("spielzeit");

    QTest::newRow("above the limits") << l("30", "75", "60") << l("24", "59", "59") << 89999;
    QTest::newRow("at the limits") << l("24", "59", "59") << l("24", "59", "59") << 89999;
    QTest::newRow("empty fields") << l("", "", "5") << l("0", "0", "5") << 5;
    QTest::newRow("leading zero kept") << l("05", "00", "00") << l("05", "00", "00") << 18000;
    QTest::newRow("single digits") << l("1", "2", "3") << l("1", "2", "3") << 3723;
}

void TestGameFlow::startBoundsTheFields()
{
    QFETCH(QStringList, entered);
    QFETCH(QStringList, bounded);
    QFETCH(qint32, spielzeit);

    enter(entered[0], entered[1], entered[2]);
    QVERIFY(button("cmdStart")->isEnabled());
    m_window->cmdStart_Click();

    QCOMPARE(
        QStringList({ field("txtStd")->text(), field("txtMin")->text(), field("txtSek")->text() }), bounded);
    // Until the first tick the labels show the texts as entered, unpadded.
    QCOMPARE(QStringList({ label("lblStd"), label("lblMin"), label("lblSek") }), bounded);
    const ClockState &s = m_window->clockState();
    QCOMPARE(QStringList({ s.Stunden, s.Minuten, s.Sekunden }), bounded);
    QCOMPARE(s.Spielzeit, spielzeit);
    QCOMPARE(button("cmdStart")->text(), QStringLiteral("Stopp"));
    QVERIFY(button("cmdPause")->isEnabled());
    QVERIFY(!button("cmdReset")->isEnabled());
    QVERIFY(!el<SpinButton>("spnStd")->isEnabled() && !el<SpinButton>("spnMin")->isEnabled()
        && !el<SpinButton>("spnsek")->isEnabled());
    QVERIFY(timer1()->isActive());
    QCOMPARE(timer1()->msUntilNextTick(), 1000);
}

void TestGameFlow::rejectedStartChangesNothing_data()
{
    QTest::addColumn<QStringList>("entered");
    QTest::addColumn<int>("failing");
    QTest::addColumn<bool>("afterAGame");

    QTest::newRow("letter in minutes") << l("01", "1a", "00") << 1 << false;
    QTest::newRow("sign in minutes") << l("00", "-5", "10") << 1 << false;
    QTest::newRow("decimal point in minutes") << l("00", "2.", "10") << 1 << false;
    QTest::newRow("blank in minutes") << l("00", "3 ", "10") << 1 << false;
    QTest::newRow("letter in seconds") << l("00", "10", "5a") << 2 << false;
    QTest::newRow("hours fail first") << l("x", "1a", "10") << 0 << false;
    QTest::newRow("after a game") << l("00", "1a", "10") << 1 << true;
}

void TestGameFlow::rejectedStartChangesNothing()
{
    QFETCH(QStringList, entered);
    QFETCH(int, failing);
    QFETCH(bool, afterAGame);

    if (afterAGame) {
        startGame(QStringLiteral("10"));
        ticks(3);
        m_window->cmdStart_Click();
    }
    const bool resetEnabled = button("cmdReset")->isEnabled();
    enter(entered[0], entered[1], entered[2]);

    ModalCloser closer;
    closer.start();
    m_window->cmdStart_Click();
    closer.stop();

    QCOMPARE(closer.count(), 1);
    const SeenModalBox box = closer.last();
    QCOMPARE(box.objectName, QStringLiteral("msgFalscheEingaben"));
    QCOMPARE(box.windowTitle, QStringLiteral("Falsche Eingaben."));
    QCOMPARE(box.text, QStringLiteral("Es sind nur numerische Werte erlaubt"));
    QCOMPARE(box.icon, QMessageBox::Information);

    // Only the field that failed is cleared.
    QStringList expected = entered;
    expected[failing] = QStringLiteral("0");
    QCOMPARE(
        QStringList({ field("txtStd")->text(), field("txtMin")->text(), field("txtSek")->text() }), expected);
    QCOMPARE(button("cmdStart")->text(), QStringLiteral("Start"));
    QVERIFY(!button("cmdPause")->isEnabled());
    QCOMPARE(button("cmdReset")->isEnabled(), resetEnabled);
    QVERIFY(spinsEnabled());
    QVERIFY(!timer1()->isActive());
    QCOMPARE(remaining(), QStringLiteral("00:00:00"));
}

void TestGameFlow::wholeGame_data()
{
    QTest::addColumn<QStringList>("entered");
    QTest::addColumn<int>("seconds");

    QTest::newRow("2 s") << l("0", "0", "2") << 2;
    QTest::newRow("1 min 5 s") << l("0", "1", "5") << 65;
    QTest::newRow("1 h") << l("1", "00", "00") << 3600;
}

void TestGameFlow::wholeGame()
{
    QFETCH(QStringList, entered);
    QFETCH(int, seconds);

    enter(entered[0], entered[1], entered[2]);
    for (int round = 0; round < 2; ++round) { // Stopp keeps the entry, so the same game runs again
        m_window->cmdStart_Click();
        for (int t = 1; t <= seconds; ++t) {
            QVERIFY(timer1()->isActive());
            m_window->Timer1_Timer();
            QCOMPARE(remaining(), QTime(0, 0).addSecs(seconds - t).toString(QStringLiteral("HH:mm:ss")));
            QCOMPARE(elapsed(), QTime(0, 0).addSecs(t).toString(QStringLiteral("HH:mm:ss")));
        }
        QVERIFY(!timer1()->isActive());
        QVERIFY(!button("cmdPause")->isEnabled());
        QCOMPARE(button("cmdStart")->text(), QStringLiteral("Stopp"));
        QCOMPARE(
            el<TextPanel>("pnlHalbzeit1Text")->text(), QStringLiteral("Die 1. Halbzeit ist abgelaufen !"));
        QCOMPARE(
            el<TextPanel>("pnlHalbzeit2Text")->text(), QStringLiteral("Die 2. Halbzeit ist abgelaufen !"));
        QCOMPARE(el<TextPanel>("pnlZeitText")->text(), QStringLiteral("Die Spielzeit ist abgelaufen !"));
        QVERIFY(shown("pnlHalbzeit1Text") && shown("pnlHalbzeit2Text") && shown("pnlZeitText"));
        QCOMPARE(percent("pnlHalbzeit1"), 100);
        QCOMPARE(percent("pnlHalbzeit2"), 100);
        QCOMPARE(el<FloodPanel>("pnlZeit")->floodColor(), QColor(255, 0, 0));

        m_window->cmdStart_Click(); // Stopp
        QCOMPARE(remaining(), QStringLiteral("00:00:00"));
        QCOMPARE(elapsed(), QStringLiteral("00:00:00"));
        QVERIFY(!shown("pnlHalbzeit1Text") && !shown("pnlHalbzeit2Text") && !shown("pnlZeitText"));
        QCOMPARE(percent("pnlHalbzeit1") + percent("pnlHalbzeit2") + percent("pnlZeit"), 0);
        QCOMPARE(m_window->clockState().Zeitzähler, 0);
        QCOMPARE(m_window->clockState().Spielzeit, seconds);
        QVERIFY(button("cmdReset")->isEnabled() && button("cmdUhrAus")->isEnabled());
        QVERIFY(spinsEnabled());
    }
}

void TestGameFlow::finishedGameCannotBeResumed()
{
    startGame(QStringLiteral("3"));
    ticks(3);
    QVERIFY(!timer1()->isActive());
    m_window->cmdPause_Click();
    QVERIFY(!timer1()->isActive());
    QCOMPARE(button("cmdPause")->text(), QStringLiteral("Pause"));
    QVERIFY(shown("pnlZeitText"));
    QCOMPARE(el<TextPanel>("pnlZeitText")->text(), QStringLiteral("Die Spielzeit ist abgelaufen !"));
}

void TestGameFlow::pauseAndResume()
{
    startGame(QStringLiteral("10"));
    // Here the game timer itself delivers the ticks, to check the schedule across the pause.
    for (m_now = 1000; m_now <= 5000; m_now += 1000)
        timer1()->wake();
    QCOMPARE(remaining(), QStringLiteral("00:00:05"));
    m_now = 5400;

    m_window->cmdPause_Click();
    QVERIFY(!timer1()->isActive());
    QCOMPARE(button("cmdPause")->text(), QStringLiteral("weiter"));
    QVERIFY(shown("pnlZeitText"));
    QCOMPARE(el<TextPanel>("pnlZeitText")->text(), QStringLiteral("Spielzeit unterbrochen !"));
    QVERIFY(shown("pnlHalbzeit1Text")); // the first half is over and stays announced
    QCOMPARE(remaining(), QStringLiteral("00:00:05"));

    m_now = 60000;
    m_window->cmdPause_Click();
    QVERIFY(timer1()->isActive());
    QCOMPARE(button("cmdPause")->text(), QStringLiteral("Pause"));
    QVERIFY(!shown("pnlZeitText"));
    QCOMPARE(el<TextPanel>("pnlZeitText")->text(), QString());
    QVERIFY(shown("pnlHalbzeit1Text"));
    QCOMPARE(timer1()->msUntilNextTick(), 600); // the rest of the interrupted second
    m_now = 60599;
    timer1()->wake();
    QCOMPARE(remaining(), QStringLiteral("00:00:05"));
    m_now = 60600;
    timer1()->wake();
    QCOMPARE(remaining(), QStringLiteral("00:00:04"));
    QCOMPARE(elapsed(), QStringLiteral("00:00:06"));
}

void TestGameFlow::stoppWhileInterrupted()
{
    startGame(QStringLiteral("10"));
    ticks(2);
    m_window->cmdPause_Click();
    m_window->cmdStart_Click();
    QCOMPARE(button("cmdPause")->text(), QStringLiteral("Pause"));
    QVERIFY(!button("cmdPause")->isEnabled());
    QVERIFY(!shown("pnlZeitText"));
    QVERIFY(!timer1()->isActive());

    m_window->cmdStart_Click();
    QVERIFY(timer1()->isActive());
    ticks(1);
    QCOMPARE(remaining(), QStringLiteral("00:00:09")); // counts from the beginning again
    m_window->cmdPause_Click();
    QCOMPARE(button("cmdPause")->text(), QStringLiteral("weiter"));
    QVERIFY(!timer1()->isActive());
}

void TestGameFlow::resetClearsTheEntry()
{
    enter(QStringLiteral("01"), QStringLiteral("30"), QStringLiteral("00"));
    m_window->cmdStart_Click();
    ticks(2);
    m_window->cmdStart_Click();
    QVERIFY(button("cmdReset")->isEnabled());

    m_window->cmdReset_Click();
    QCOMPARE(field("txtStd")->text(), QStringLiteral("00"));
    QCOMPARE(field("txtMin")->text(), QStringLiteral("00"));
    QCOMPARE(field("txtSek")->text(), QStringLiteral("00"));
    QCOMPARE(remaining(), QStringLiteral("00:00:00"));
    QCOMPARE(m_window->clockState().Spielzeit, 0);
    QVERIFY(!button("cmdStart")->isEnabled());
    QVERIFY(button("cmdUhrAus")->isEnabled());
    QVERIFY(!timer1()->isActive());
}

void TestGameFlow::loweredGameTimeFreezesTheDisplay()
{
    startGame(QStringLiteral("10"));
    ticks(5);
    field("txtSek")->setText(QStringLiteral("3")); // the fields stay editable during a game
    QCOMPARE(m_window->clockState().Spielzeit, 3);
    ticks(4);
    QVERIFY(timer1()->isActive());
    QCOMPARE(remaining(), QStringLiteral("00:00:05"));
    QCOMPARE(elapsed(), QStringLiteral("00:00:05"));
    QCOMPARE(m_window->clockState().Zeitzähler, 9);
}

void TestGameFlow::minimisedTitleShowsRemainingTime()
{
    m_window->setTimeOfDaySource([] { return QTime(12, 0, 0); });
    enter(QStringLiteral("01"), QStringLiteral("30"), QStringLiteral("00"));
    m_window->cmdStart_Click();
    m_window->setWindowState(Qt::WindowMinimized);
    ticks(1);
    QCOMPARE(m_window->windowTitle(), QStringLiteral("01:29:59"));
    m_window->Timer2_Timer(); // the title clock leaves a minimised window alone
    QCOMPARE(m_window->windowTitle(), QStringLiteral("01:29:59"));

    m_window->setWindowState(Qt::WindowNoState);
    QCOMPARE(m_window->windowTitle(), QStringLiteral(" Velorand : "));
    ticks(1); // nor does the tick touch the title of a window on screen
    QCOMPARE(m_window->windowTitle(), QStringLiteral(" Velorand : "));
    m_window->Timer2_Timer();
    QCOMPARE(m_window->windowTitle(), QStringLiteral(" Velorand :  [12:00:00]"));
}

void TestGameFlow::titleClock_data()
{
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QString>("title");
    QTest::newRow("last second of the day") << QTime(23, 59, 59) << QStringLiteral(" Velorand :  [23:59:59]");
    QTest::newRow("midnight") << QTime(0, 0, 0) << QStringLiteral(" Velorand :  [00:00:00]");
    QTest::newRow("morning") << QTime(7, 5, 3) << QStringLiteral(" Velorand :  [07:05:03]");
    QTest::newRow("evening") << QTime(19, 0, 0) << QStringLiteral(" Velorand :  [19:00:00]");
}

void TestGameFlow::titleClock()
{
    QFETCH(QTime, time);
    m_window->setTimeOfDaySource([time] { return time; });
    m_window->Timer2_Timer();
    QTEST(m_window->windowTitle(), "title");
}

QTEST_MAIN(TestGameFlow)
#include "tst_gameflow.moc"
