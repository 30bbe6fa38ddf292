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

/// " name", or " (name)" for a disabled @p w.
QString bracketed(const QWidget *w, const QString &name)
{
    return w->isEnabled() ? u' ' + name : QStringLiteral(" (") + name + u')';
}

} // namespace

// What the window adds to the tick's bookkeeping (tested tick by tick in tst_tick): Start,
// Stopp, Pause, Reset and the title. The ticks come from calling Timer1_Timer() or the game
// timer's wake(); the game timer runs on a clock that only the test moves.
class TestGameFlow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void startBoundsTheFields_data();
    void startBoundsTheFields();
    void rejectedStart_data();
    void rejectedStart();
    void wholeGame();
    void pauseResumeAndStopp();
    void loweredGameTimeFreezesTheDisplay();
    void titles();

private:
    template <typename T> T *el(const char *name) const
    {
        T *found = m_window->findChild<T *>(QString::fromLatin1(name));
        if (!found)
            qFatal("no element %s", name);
        return found;
    }
    GameTimer *timer1() const { return el<GameTimer>("Timer1"); }
    template <typename T> QStringList texts(std::initializer_list<const char *> names) const
    {
        QStringList result;
        for (const char *name : names)
            result << el<T>(name)->text();
        return result;
    }
    QString remaining() const { return texts<QLabel>({ "lblStd", "lblMin", "lblSek" }).join(u':'); }
    QString elapsed() const { return texts<QLabel>({ "lblStdAb", "lblMinAb", "lblSekAb" }).join(u':'); }
    QStringList fields() const { return texts<QLineEdit>({ "txtStd", "txtMin", "txtSek" }); }
    /// The banners over the three bars, "-" for a hidden one.
    QString banners() const
    {
        QStringList shown;
        for (const char *name : { "pnlHalbzeit1Text", "pnlHalbzeit2Text", "pnlZeitText" })
            shown << (el<TextPanel>(name)->isHidden() ? QStringLiteral("-") : el<TextPanel>(name)->text());
        return shown.join(QStringLiteral(" | "));
    }
    /// Start's caption, then Pause (its caption), Reset and the spin buttons, each in brackets
    /// while disabled, and whether the game timer runs: "Stopp Pause (Reset) (Std) (Min) (sek) running".
    QString controls() const
    {
        const auto *pause = el<FaceButton>("cmdPause");
        QString c = el<FaceButton>("cmdStart")->text() + bracketed(pause, pause->text())
            + bracketed(el<FaceButton>("cmdReset"), QStringLiteral("Reset"));
        for (const char *spin : { "spnStd", "spnMin", "spnsek" })
            c += bracketed(el<SpinButton>(spin), QString::fromLatin1(spin + 3));
        return c + (timer1()->isActive() ? QStringLiteral(" running") : QStringLiteral(" stopped"));
    }
    void start(const QStringList &entered)
    {
        el<QLineEdit>("txtStd")->setText(entered[0]);
        el<QLineEdit>("txtMin")->setText(entered[1]);
        el<QLineEdit>("txtSek")->setText(entered[2]);
        m_window->cmdStart_Click();
    }

    std::unique_ptr<VelorandWindow> m_window;
    qint64 m_now = 0; // milliseconds
    QTime m_timeOfDay;
};

void TestGameFlow::init()
{
    m_window = std::make_unique<VelorandWindow>();
    timer1()->setClock([this] { return m_now * 1000 * 1000; });
    m_window->setTimeOfDaySource([this] { return m_timeOfDay; });
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
    QTest::newRow("empty fields") << l("", "", "5") << l("0", "0", "5") << 5;
    QTest::newRow("leading zero kept") << l("05", "00", "00") << l("05", "00", "00") << 18000;
}

void TestGameFlow::startBoundsTheFields()
{
    QFETCH(QStringList, entered);
    QFETCH(QStringList, bounded);
    start(entered);

    QCOMPARE(fields(), bounded);
    // Until the first tick the labels show the texts as entered, unpadded.
    QCOMPARE(remaining(), bounded.join(u':'));
    const ClockState &s = m_window->clockState();
    QCOMPARE(QStringList({ s.Stunden, s.Minuten, s.Sekunden }), bounded);
    QTEST(s.Spielzeit, "spielzeit");
    QCOMPARE(controls(), QStringLiteral("Stopp Pause (Reset) (Std) (Min) (sek) running"));
    QCOMPARE(timer1()->msUntilNextTick(), 1000);
}

void TestGameFlow::rejectedStart_data()
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

void TestGameFlow::rejectedStart()
{
    QFETCH(QStringList, entered);
    QFETCH(int, failing);
    QFETCH(bool, afterAGame);
    if (afterAGame) {
        start(l("00", "00", "10"));
        m_window->Timer1_Timer();
        m_window->cmdStart_Click(); // Stopp
    }
    const QString before = controls();

    ModalCloser closer;
    closer.start();
    start(entered);
    closer.stop();

    QCOMPARE(closer.count(), 1);
    const SeenModalBox box = closer.last();
    QCOMPARE(box.objectName, QStringLiteral("msgFalscheEingaben"));
    QCOMPARE(box.windowTitle, QStringLiteral("Falsche Eingaben."));
    QCOMPARE(box.text, QStringLiteral("Es sind nur numerische Werte erlaubt"));
    QCOMPARE(box.icon, QMessageBox::Information);
    // Only the field that failed is corrected; nothing else changes.
    entered[failing] = QStringLiteral("0");
    QCOMPARE(fields(), entered);
    QCOMPARE(controls(), before);
}

void TestGameFlow::wholeGame()
{
    const QTime zero(0, 0);
    for (int round = 0; round < 2; ++round) { // Stopp keeps the entry, so the same game runs again
        start(l("0", "1", "5"));
        for (int t = 1; t <= 65; ++t) {
            QVERIFY(timer1()->isActive());
            m_window->Timer1_Timer();
            QCOMPARE(remaining(), zero.addSecs(65 - t).toString(QStringLiteral("HH:mm:ss")));
            QCOMPARE(elapsed(), zero.addSecs(t).toString(QStringLiteral("HH:mm:ss")));
        }
        m_window->cmdPause_Click(); // does nothing: a finished game cannot be resumed
        QCOMPARE(controls(), QStringLiteral("Stopp (Pause) (Reset) (Std) (Min) (sek) stopped"));
        QCOMPARE(banners(),
            QStringLiteral("Die 1. Halbzeit ist abgelaufen ! | Die 2. Halbzeit ist abgelaufen ! | "
                           "Die Spielzeit ist abgelaufen !"));
        QCOMPARE(el<FloodPanel>("pnlHalbzeit2")->floodPercent(), 100);
        QCOMPARE(el<FloodPanel>("pnlZeit")->floodColor(), QColor(255, 0, 0));
        QCOMPARE(el<QLabel>("lblSek")->palette().color(QPalette::WindowText), QColor(255, 0, 0));

        m_window->cmdStart_Click(); // Stopp
        QCOMPARE(remaining() + u' ' + elapsed(), QStringLiteral("00:00:00 00:00:00"));
        QCOMPARE(banners(), QStringLiteral("- | - | -"));
        for (const char *bar : { "pnlHalbzeit1", "pnlHalbzeit2", "pnlZeit" })
            QCOMPARE(el<FloodPanel>(bar)->floodPercent(), 0);
        QCOMPARE(controls(), QStringLiteral("Start (Pause) Reset Std Min sek stopped"));
        QVERIFY(el<FaceButton>("cmdUhrAus")->isEnabled());
    }

    m_window->cmdReset_Click(); // clears the entry
    QCOMPARE(fields(), l("00", "00", "00"));
    QCOMPARE(m_window->clockState().Spielzeit, 0);
    QVERIFY(!el<FaceButton>("cmdStart")->isEnabled());
    QVERIFY(el<FaceButton>("cmdUhrAus")->isEnabled());
}

void TestGameFlow::pauseResumeAndStopp()
{
    start(l("00", "00", "10"));
    // Here the game timer itself delivers the ticks, to check the schedule across the pause.
    for (m_now = 1000; m_now <= 5000; m_now += 1000)
        timer1()->wake();
    QCOMPARE(remaining(), QStringLiteral("00:00:05"));

    m_now = 5400;
    m_window->cmdPause_Click();
    QCOMPARE(controls(), QStringLiteral("Stopp weiter (Reset) (Std) (Min) (sek) stopped"));
    QCOMPARE(banners(), QStringLiteral("Die 1. Halbzeit ist abgelaufen ! | - | Spielzeit unterbrochen !"));

    m_now = 60000;
    m_window->cmdPause_Click();
    QCOMPARE(controls(), QStringLiteral("Stopp Pause (Reset) (Std) (Min) (sek) running"));
    QCOMPARE(banners(), QStringLiteral("Die 1. Halbzeit ist abgelaufen ! | - | -"));
    QCOMPARE(timer1()->msUntilNextTick(), 600); // the rest of the interrupted second
    m_now = 60600;
    timer1()->wake();
    QCOMPARE(remaining() + u' ' + elapsed(), QStringLiteral("00:00:04 00:00:06"));

    // Stopp while interrupted: the next game starts afresh, with a Pause button that pauses.
    m_window->cmdPause_Click();
    m_window->cmdStart_Click();
    QCOMPARE(controls(), QStringLiteral("Start (Pause) Reset Std Min sek stopped"));
    QCOMPARE(banners(), QStringLiteral("- | - | -"));
    m_window->cmdStart_Click();
    m_window->Timer1_Timer();
    QCOMPARE(remaining(), QStringLiteral("00:00:09"));
    m_window->cmdPause_Click();
    QCOMPARE(controls(), QStringLiteral("Stopp weiter (Reset) (Std) (Min) (sek) stopped"));
}

void TestGameFlow::loweredGameTimeFreezesTheDisplay()
{
    start(l("00", "00", "10"));
    for (int t = 0; t < 9; ++t) {
        if (t == 5)
            el<QLineEdit>("txtSek")->setText(QStringLiteral("3")); // the fields stay editable
        m_window->Timer1_Timer();
    }
    QCOMPARE(remaining() + u' ' + elapsed(), QStringLiteral("00:00:05 00:00:05"));
    QCOMPARE(controls(), QStringLiteral("Stopp Pause (Reset) (Std) (Min) (sek) running"));
}

void TestGameFlow::titles()
{
    // Minimised, the window shows the remaining time, and the title clock leaves it alone.
    start(l("01", "30", "00"));
    m_window->setWindowState(Qt::WindowMinimized);
    m_window->Timer1_Timer();
    QCOMPARE(m_window->windowTitle(), QStringLiteral("01:29:59"));
    m_window->Timer2_Timer();
    QCOMPARE(m_window->windowTitle(), QStringLiteral("01:29:59"));

    // Restored, the plain title until the title clock fills it in; the tick leaves it alone.
    m_window->setWindowState(Qt::WindowNoState);
    QCOMPARE(m_window->windowTitle(), QStringLiteral(" Velorand : "));
    m_window->Timer1_Timer();
    QCOMPARE(m_window->windowTitle(), QStringLiteral(" Velorand : "));
    m_timeOfDay = QTime(0, 0, 0);
    m_window->Timer2_Timer();
    QCOMPARE(m_window->windowTitle(), QStringLiteral(" Velorand :  [00:00:00]"));
}

QTEST_MAIN(TestGameFlow)
#include "tst_gameflow.moc"
