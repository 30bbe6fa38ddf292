// The operator window as the operator sees it: every element in place, the
// colours on screen, whole games tick by tick, Start, Stopp, Pause, Reset,
// the spin buttons, the title, commands given while ticks are overdue, the
// hover feedback, the keyboard focus and Qt's own texts in German. The game
// timer runs on a clock that only the test moves; message boxes are recorded.
#include "clock/gametimer.h"
#include "shell/appsetup.h"
#include "shell/cmouseinout.h"
#include "shell/facebutton.h"
#include "shell/spinbutton.h"
#include "shell/velorandwindow.h"

#include <QApplication>
#include <QEnterEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <memory>

class WindowFixture
{
public:
    void open()
    {
        m_window = std::make_unique<VelorandWindow>();
        now = 0;
        messages.clear();
        timer()->setClock([this] { return now; });
        m_window->setModalRunner([this](QMessageBox &box) { messages << box.text(); });
    }
    VelorandWindow *w() const { return m_window.get(); }
    template <typename T = QWidget> T *el(const char *name) const
    {
        T *found = m_window->findChild<T *>(QString::fromLatin1(name));
        return found ? found : (qFatal("no element %s", name), nullptr);
    }
    GameTimer *timer() const { return el<GameTimer>("Timer1"); }
    /// The texts of three elements, "txt" or "lbl" + "Std", "Min", "Sek" + @p suffix.
    QString texts(const char *prefix, const char *suffix = "", QChar between = u':') const
    {
        QStringList three;
        for (const char *unit : { "Std", "Min", "Sek" })
            three << el(QByteArray(prefix).append(unit).append(suffix))->property("text").toString();
        return three.join(between);
    }
    void enter(const QString &fields) const
    {
        const QStringList three = fields.split(u' ');
        el<QLineEdit>("txtStd")->setText(three[0]);
        el<QLineEdit>("txtMin")->setText(three[1]);
        el<QLineEdit>("txtSek")->setText(three[2]);
    }
    /// Moves the clock on by @p ms and lets the game timer deliver every tick that is due.
    void pass(qint64 ms)
    {
        now += ms * 1000 * 1000;
        timer()->catchUp();
    }
    QString fields() const { return texts("txt", "", u' '); }
    /// The commands as the operator sees them: captions, "-" before a disabled one, the game timer.
    QString controls() const
    {
        QStringList seen;
        for (const char *name : { "cmdStart", "cmdPause", "cmdReset", "cmdUhrAus", "spnsek" })
            seen << (el(name)->isEnabled() ? u""_qs : u"-"_qs) + el(name)->property("text").toString();
        return seen.join(u' ') + (timer()->isActive() ? u" running"_qs : u" off"_qs);
    }
    QString remaining() const { return texts("lbl"); }
    QString elapsed() const { return texts("lbl", "Ab"); }

    qint64 now = 0;
    QStringList messages;

private:
    std::unique_ptr<VelorandWindow> m_window;
};

namespace {

QString bar(const BarDisplay &b)
{
    const QHash<quint32, QChar> colours { { 0x00ff00, u'G' }, { 0xffff00, u'Y' }, { 0xff0000, u'R' } };
    return QString::number(b.percent) + colours.value(b.rgb, u'?') + (b.bannerVisible ? u"!"_qs : QString());
}

QColor pixel(const QImage &image, const QWidget *widget, double x, double y)
{
    const QPoint at
        = widget->mapTo(widget->window(), QPoint(int(widget->width() * x), int(widget->height() * y)));
    return image.pixelColor(at);
}

bool holds(const QImage &image, const QWidget *widget, const QColor &colour)
{
    const QRect area(widget->mapTo(widget->window(), QPoint()), widget->size());
    const QImage part = image.copy(area);
    return std::any_of(reinterpret_cast<const QRgb *>(part.constBits()),
        reinterpret_cast<const QRgb *>(part.constBits()) + part.width() * part.height(),
        [&](QRgb p) { return p == colour.rgb(); });
}

} // namespace

class TestWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(prepareApplication()); }
    void init() { f.open(); }
    void elementsAndLayout();
    void hover();
    void keyboardFocus();
    void popupMenuAndGermanTexts();
    void ticks_data();
    void ticks();
    void start_data();
    void start();
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

void TestWindow::elementsAndLayout()
{
    QCOMPARE(f.w()->size(), QSize(425, 393));
    QCOMPARE(f.w()->windowTitle(), u" Velorand"_qs);
    QVERIFY(f.w()->windowFlags() & Qt::WindowStaysOnTopHint);
    const QString names
        = u"frmVelorand fraZeiteingabe Frame1 fraZeit Frame2 Frame3 txtStd txtMin txtSek spnStd spnMin "
          u"spnsek "
          "lblStdAb lblMinAb lblSekAb lblStd lblMin lblSek pnlHalbzeit1 pnlHalbzeit2 pnlZeit "
          "pnlHalbzeit1Text "
          "pnlHalbzeit2Text pnlZeitText lbl1Halbzeit lbl2Halbzeit lblGesamtspielzeit cmdStart cmdPause "
          "cmdReset "
          "cmdUhrAus Line1 Line2 Line3 Line4 Label1 Label2 Label3 Label5 Label6 Label7 Label8 Label9 Label10"_qs;
    for (const QString &name : names.split(u' '))
        QVERIFY2(f.w()->objectName() == name || f.w()->findChild<QWidget *>(name), qPrintable(name));
    // Every element inside its group, none over another, every caption fits.
    for (const QWidget *w : f.w()->findChildren<QWidget *>()) {
        const QWidget *parent = w->isWindow() ? w : w->parentWidget();
        QVERIFY2(w->isWindow() || parent->rect().contains(w->geometry()), qPrintable(w->objectName()));
        for (const QWidget *sibling : parent->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            QVERIFY2(sibling == w || sibling->isWindow() || !sibling->geometry().intersects(w->geometry()),
                qPrintable(w->objectName() + u" overlaps "_qs + sibling->objectName()));
        if (qobject_cast<const QLabel *>(w) || qobject_cast<const QPushButton *>(w))
            QVERIFY2(w->fontMetrics().horizontalAdvance(w->property("text").toString()) <= w->width(),
                qPrintable(w->objectName()));
    }
    QCOMPARE(f.el<QLineEdit>("txtStd")->maxLength(), 2);
}

void TestWindow::hover()
{
    const QList<std::pair<const char *, QColor>> faces { { "cmdStart", QColor(0, 255, 0) },
        { "cmdPause", QColor(255, 255, 0) }, { "cmdReset", QColor(255, 127, 127) },
        { "cmdUhrAus", QColor(255, 0, 0) } };
    QEnterEvent enter(QPointF(3, 3), QPointF(3, 3), QPointF(3, 3));
    QEvent leave(QEvent::Leave);
    f.w()->show();
    for (const auto &[name, face] : faces) {
        auto *button = f.el<FaceButton>(name);
        const bool enabled = button->isEnabled(); // only "Uhr aus" at start: the others do not light up
        QApplication::sendEvent(button, &enter);
        QCOMPARE(button->faceColor(), enabled ? face : QColor());
        QCOMPARE(button->font().bold(), enabled);
        button->setEnabled(true);
        QApplication::sendEvent(button, &enter);
        QVERIFY(holds(f.w()->grab().toImage(), button, face) && button->font().bold());
        QApplication::sendEvent(button, &leave);
        QVERIFY(holds(f.w()->grab().toImage(), button, QColor(212, 208, 200)) && !button->font().bold());
    }
}

void TestWindow::keyboardFocus()
{
    f.w()->show();
    QVERIFY(QTest::qWaitForWindowActive(f.w()));
    auto *seconds = f.el<QLineEdit>("txtSek");
    seconds->setFocus();
    QTest::keyClicks(seconds, u"5"_qs);
    QCOMPARE(seconds->text(), u"5"_qs);
    QTest::mouseClick(f.el("spnsek"), Qt::LeftButton, {}, QPoint(5, 5)); // up to 6
    QTest::mouseClick(f.el("cmdStart"), Qt::LeftButton);
    QCOMPARE(f.el<QPushButton>("cmdStart")->text(), u"Stopp"_qs);
    QVERIFY(seconds->hasFocus()); // neither the arrows nor the button took the focus
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QCOMPARE(f.el<QPushButton>("cmdStart")->text(), u"Stopp"_qs); // the stray key stopped nothing
    QCOMPARE(f.w()->clockState().Spielzeit, 6);
    // Tabbed to an arrow, then Start by mouse: the arrow goes off, and its field gets the focus back.
    f.w()->cmdStart_Click();
    f.el("spnMin")->setFocus();
    QTest::mouseClick(f.el("cmdStart"), Qt::LeftButton);
    QVERIFY(f.el("txtMin")->hasFocus());
    f.w()->cmdStart_Click();
    // Tab still reaches the buttons, and Space on purpose works.
    f.el("spnStd")->setEnabled(true);
    f.el("spnStd")->setFocus();
    QTest::keyClick(f.el("spnStd"), Qt::Key_Tab);
    QVERIFY(f.el("cmdStart")->hasFocus());
    QTest::keyClick(f.el("cmdStart"), Qt::Key_Space);
    QCOMPARE(f.el<QPushButton>("cmdStart")->text(), u"Stopp"_qs);
    // A field that gets the focus selects its whole text.
    f.el("txtMin")->setFocus();
    QCOMPARE(f.el<QLineEdit>("txtMin")->selectedText(), u"00"_qs);
}

void TestWindow::popupMenuAndGermanTexts()
{
    f.w()->show();
    auto *menu = f.el<QMenu>("Menu");
    f.w()->Frame2_MouseDown(Qt::RightButton);
    QTRY_VERIFY(menu->isVisible());
    QStringList items;
    for (const QAction *action : menu->actions())
        items << action->text();
    QCOMPARE(items, QStringList({ u"Minimieren"_qs, u"Schliessen"_qs }));
    menu->hide();
    f.w()->Form_MouseDown(Qt::MiddleButton);
    QVERIFY(!menu->isVisible());
    // Qt's own edit menu of a field speaks German too.
    std::unique_ptr<QMenu> edit(f.el<QLineEdit>("txtStd")->createStandardContextMenu());
    QVERIFY(edit->actions().first()->text().contains(u"Rückgängig"_qs));
    // Closing is never refused.
    f.w()->cmdUhrAus_Click();
    QVERIFY(!f.w()->isVisible());
}

void TestWindow::ticks_data()
{
    // Per tick: remaining, elapsed, the bars (percent, colour, "!" under a banner), the seconds' colour.
    QTest::addColumn<QString>("entered");
    QTest::addColumn<QString>("rows");
    QTest::newRow("one second") << u"00 00 01"_qs << u"1 00:00:00 00:00:01 100R! 0R! 0R! R"_qs;
    QTest::newRow("five seconds")
        << u"00 00 05"_qs
        << u"1 00:00:04 00:00:01 50Y 0R 20Y R|2 00:00:03 00:00:02 100R! 0R 40Y R|"
           "3 00:00:02 00:00:03 100R! 50Y 60Y R|4 00:00:01 00:00:04 100R! 100Y 80Y R|"
           "5 00:00:00 00:00:05 100R! 100R! 80R! R"_qs;
    QTest::newRow("eight seconds: halves round to even")
        << u"0 0 8"_qs << u"1 00:00:07 00:00:01 25Y 0R 12Y R|3 00:00:05 00:00:03 75Y 0R 38Y R"_qs;
    QTest::newRow("61 seconds")
        << u"00 01 01"_qs
        << u"1 00:01:00 00:00:01 3Y 0R 2G Y|30 00:00:31 00:00:30 100R! 0R 49G Y|"
           "31 00:00:30 00:00:31 100R! 3Y 51Y R|61 00:00:00 00:01:01 100R! 100R! 98R! R"_qs;
    QTest::newRow("an hour and a second") << u"1 0 1"_qs << u"1 01:00:00 00:00:01 0G 0R 0G Y"_qs;
}

void TestWindow::ticks()
{
    QFETCH(QString, entered);
    QFETCH(QString, rows);
    f.w()->show();
    f.enter(entered);
    f.w()->cmdStart_Click();
    QSignalSpy published(f.w(), &VelorandWindow::displayChanged);
    int tick = 0;
    for (const QString &row : rows.split(u'|')) {
        const int at = row.section(u' ', 0, 0).toInt();
        while (tick < at) {
            f.pass(1000);
            ++tick;
            QCOMPARE(published.count(), tick); // each tick is published once, when it happens
        }
        const DisplayState d = f.w()->displayState();
        QCOMPARE(published.last().first().value<DisplayState>(), d);
        const QString seen = QStringLiteral("%1 %2 %3 %4 %5 %6 %7")
                                 .arg(tick)
                                 .arg(f.remaining(), f.elapsed(), bar(d.halbzeit1), bar(d.halbzeit2),
                                     bar(d.zeit), d.secondsRed ? u"R"_qs : u"Y"_qs);
        QCOMPARE(seen, row);
        // On screen: each bar filled up to its percent in its colour, a banner in red, the digits' colours.
        const QImage shot = f.w()->grab().toImage();
        const char *bars[] = { "pnlHalbzeit1", "pnlHalbzeit2", "pnlZeit" };
        for (int i = 0; i < 3; ++i) {
            const BarDisplay &b = i == 0 ? d.halbzeit1 : i == 1 ? d.halbzeit2 : d.zeit;
            const QColor inside
                = pixel(shot, f.el(bars[i]), b.bannerVisible ? 0.02 : (b.percent - 2) / 100.0, 0.5);
            const QColor beyond = pixel(shot, f.el(bars[i]), (b.percent + 2) / 100.0, 0.5);
            QCOMPARE(inside.rgb() & 0xffffff,
                b.bannerVisible     ? 0xff0000
                    : b.percent > 2 ? b.rgb
                                    : inside.rgb() & 0xffffff);
            QVERIFY(b.bannerVisible || b.percent > 97
                || beyond == (i == 2 ? QColor(0, 0, 128) : QColor(128, 128, 128)));
        }
        QVERIFY(holds(shot, f.el("lblSek"), d.secondsRed ? QColor(255, 0, 0) : QColor(255, 255, 0)));
        QVERIFY(holds(shot, f.el("lblSekAb"), QColor(255, 0, 0))
            && holds(shot, f.el("lblMin"), QColor(255, 255, 0)));
    }
    const DisplayState d = f.w()->displayState();
    const bool over = f.remaining() == u"00:00:00"_qs;
    // A finished game cannot be resumed.
    QCOMPARE(f.controls(),
        over ? u"Stopp -Pause -Reset -Uhr aus - off"_qs : u"Stopp Pause -Reset -Uhr aus - running"_qs);
    QCOMPARE(d.zeit.banner, over ? u"Die Spielzeit ist abgelaufen !"_qs : QString(u"Spielzeit"_qs));
    QVERIFY(!d.halbzeit1.bannerVisible || d.halbzeit1.banner == u"Die 1. Halbzeit ist abgelaufen !"_qs);
    QVERIFY(!d.halbzeit2.bannerVisible || d.halbzeit2.banner == u"Die 2. Halbzeit ist abgelaufen !"_qs);
}

void TestWindow::start_data()
{
    QTest::addColumn<QString>("entered");
    QTest::addColumn<QString>("after"); // the fields after Start
    QTest::addColumn<bool>("refused"); // "Es sind nur numerische Werte erlaubt"
    QTest::newRow("above every limit") << u"99 99 99"_qs << u"24 59 59"_qs << false;
    QTest::newRow("just above") << u"25 60 60"_qs << u"24 59 59"_qs << false;
    QTest::newRow("at the limits") << u"24 59 59"_qs << u"24 59 59"_qs << false;
    QTest::newRow("empty fields") << u" 1 "_qs << u"0 1 0"_qs << false;
    QTest::newRow("letter in the minutes") << u"1 1a 5"_qs << u"1 0 5"_qs << true; // only that field is reset
    QTest::newRow("point in the seconds") << u"1 2 2."_qs << u"1 2 0"_qs << true;
    QTest::newRow("letter in the hours") << u"x y 5"_qs << u"0 y 5"_qs << true;
}

void TestWindow::start()
{
    QFETCH(QString, entered);
    QFETCH(QString, after);
    QFETCH(bool, refused);
    f.enter(entered);
    const DisplayState before = f.w()->displayState();
    f.w()->cmdStart_Click();
    QCOMPARE(f.fields(), after);
    QCOMPARE(f.messages.size(), int(refused));
    QVERIFY(!refused || f.messages.first() == u"Es sind nur numerische Werte erlaubt"_qs);
    QCOMPARE(f.remaining(),
        refused ? before.lblStd + u':' + before.lblMin + u':' + before.lblSek : after.replace(u' ', u':'));
    QCOMPARE(f.controls(),
        refused ? u"Start -Pause -Reset -Uhr aus  off"_qs : u"Stopp Pause -Reset -Uhr aus - running"_qs);
}

void TestWindow::pauseStoppReset()
{
    f.enter(u"00 00 05"_qs);
    f.w()->cmdStart_Click();
    f.pass(1400);
    QCOMPARE(f.controls(), u"Stopp Pause -Reset -Uhr aus - running"_qs);
    f.w()->cmdPause_Click();
    QCOMPARE(f.controls(), u"Stopp weiter -Reset -Uhr aus - off"_qs);
    QVERIFY(f.w()->displayState().paused && f.w()->displayState().zeit.bannerVisible);
    QCOMPARE(f.w()->displayState().zeit.banner, u"Spielzeit unterbrochen !"_qs);
    f.pass(5000); // paused: nothing moves
    f.w()->cmdPause_Click(); // on again, with the 600 ms left of the second
    QVERIFY(!f.w()->displayState().zeit.bannerVisible);
    f.pass(599);
    QCOMPARE(f.elapsed(), u"00:00:01"_qs);
    f.pass(1);
    QCOMPARE(f.elapsed(), u"00:00:02"_qs);
    f.w()->cmdPause_Click();
    f.w()->cmdStart_Click(); // Stopp: display cleared, the entry kept
    const DisplayState d = f.w()->displayState();
    const DisplayState cleared {
        .secondsRed = d.secondsRed, .halbzeit1 = d.halbzeit1, .halbzeit2 = d.halbzeit2, .zeit = d.zeit
    };
    QCOMPARE(d, cleared);
    for (const BarDisplay &b : { d.halbzeit1, d.halbzeit2, d.zeit })
        QVERIFY(b.percent == 0 && !b.bannerVisible);
    QCOMPARE(f.controls(), u"Start -Pause Reset Uhr aus  off"_qs);
    QCOMPARE(f.fields() + QString::number(f.w()->clockState().Zeitzähler), u"00 00 050"_qs);
    f.w()->cmdReset_Click();
    QCOMPARE(f.fields() + QString::number(f.w()->clockState().Spielzeit), u"00 00 000"_qs);
    QCOMPARE(f.controls(), u"-Start -Pause Reset Uhr aus  off"_qs);
}

void TestWindow::loweredGameTimeFreezesTheDisplay()
{
    f.enter(u"00 00 10"_qs);
    f.w()->cmdStart_Click();
    f.pass(3000);
    f.el<QLineEdit>("txtSek")->setText(u"02"_qs);
    QCOMPARE(f.w()->clockState().Spielzeit, 2);
    f.pass(5000);
    QCOMPARE(f.remaining(), u"00:00:07"_qs);
    QVERIFY(f.timer()->isActive());
}

void TestWindow::spinButtons_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("up");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("message");
    QTest::newRow("hours up") << u"Std"_qs << u"23"_qs << true << u"24"_qs << QString();
    QTest::newRow("hours at the limit") << u"Std"_qs << u"24"_qs << true << u"24"_qs << QString();
    QTest::newRow("minutes at the limit")
        << u"Min"_qs << u"59"_qs << true << u"59"_qs << u"Die Eingabe ist auf 59 Minuten begrenzt !"_qs;
    QTest::newRow("seconds at the limit")
        << u"Sek"_qs << u"59"_qs << true << u"59"_qs << u"Die Eingabe ist auf 59 Sekunden begrenzt !"_qs;
    QTest::newRow("minutes down") << u"Min"_qs << u"10"_qs << false << u"09"_qs << QString();
    QTest::newRow("seconds down") << u"Sek"_qs << u"1"_qs << false << u"00"_qs << QString();
    QTest::newRow("hours at zero") << u"Std"_qs << u"00"_qs << false << u"00"_qs << QString();
    QTest::newRow("hours above the limit") << u"Std"_qs << u"99"_qs << true << u"99"_qs << QString();
    QTest::newRow("negative") << u"Min"_qs << u"-5"_qs << true << u"-0"_qs << QString(); // "-04", cut to two
    QTest::newRow("letters") << u"Sek"_qs << u"ab"_qs << true << u"01"_qs << QString();
    QTest::newRow("half down") << u"Sek"_qs << u".5"_qs << false << u"00"_qs << QString();
}

void TestWindow::spinButtons()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(bool, up);
    QFETCH(QString, message);
    auto *edit = f.w()->findChild<QLineEdit *>(u"txt"_qs + field);
    edit->setText(text);
    auto *spin = f.w()->findChild<SpinButton *>(u"spn"_qs + (field == u"Sek"_qs ? u"sek"_qs : field));
    up ? emit spin->SpinUp() : emit spin->SpinDown();
    QTEST(edit->text(), "after");
    QCOMPARE(f.messages, message.isEmpty() ? QStringList() : QStringList { message });
    // The step ran the change handling: Start follows the fields.
    QCOMPARE(f.controls().startsWith(u'-'), f.w()->clockState().Spielzeit == 0);
}

void TestWindow::commandsMeetOverdueTicks_data()
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

void TestWindow::commandsMeetOverdueTicks()
{
    QFETCH(QString, seconds);
    QFETCH(QString, command);
    f.enter(u"00 00 "_qs + seconds);
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
        endShown |= state.first().value<DisplayState>().zeit.banner == u"Die Spielzeit ist abgelaufen !"_qs;
    QCOMPARE(endShown, seconds == u"12"_qs);
}

void TestWindow::titles()
{
    f.w()->show();
    QCOMPARE(f.w()->windowTitle(), u" Velorand : "_qs);
    f.w()->setTimeOfDaySource([] { return QTime(9, 5, 3); });
    f.w()->Timer2_Timer();
    const QString clock = u" Velorand :  [09:05:03]"_qs;
    QCOMPARE(f.w()->windowTitle(), clock);
    f.enter(u"00 00 05"_qs);
    f.w()->cmdStart_Click();
    f.w()->Minimieren_Click();
    f.w()->setTimeOfDaySource([] { return QTime(9, 5, 4); });
    f.w()->Timer2_Timer();
    QCOMPARE(f.w()->windowTitle(), clock); // neither minimising nor the clock writes it now
    f.pass(1000);
    QCOMPARE(f.w()->windowTitle(), u"00:00:04"_qs); // the tick does
    f.w()->showNormal();
    f.pass(1000);
    QCOMPARE(f.w()->windowTitle(), u" Velorand : "_qs);
}

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
