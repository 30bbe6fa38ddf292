// The entry fields and spin buttons of the window: typing keeps the game
// time and the Start/"Uhr aus" buttons up to date, spinning steps a field
// within its limits.

#include "common/modalcloser.h"
#include "shell/spinbutton.h"
#include "shell/velorandwindow.h"

#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <memory>
#include <tuple>
#include <utility>

class TestEntryFields : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_window = std::make_unique<VelorandWindow>();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }
    void cleanup() { m_window.reset(); }

    void typing_data();
    void typing();
    void noThirdCharacter();
    void focusSelectsWholeText();
    void spinStep_data();
    void spinStep();
    void heldArrowRepeats();

private:
    QLineEdit *field(const QString &name) const { return m_window->findChild<QLineEdit *>(name); }
    /// Whether Start and "Uhr aus" are enabled.
    std::pair<bool, bool> buttons() const
    {
        return { m_window->findChild<QPushButton *>(QStringLiteral("cmdStart"))->isEnabled(),
            m_window->findChild<QPushButton *>(QStringLiteral("cmdUhrAus"))->isEnabled() };
    }
    static void type(QLineEdit *edit, const QString &text)
    {
        edit->selectAll();
        if (text.isEmpty())
            QTest::keyClick(edit, Qt::Key_Backspace);
        else
            QTest::keyClicks(edit, text);
    }
    std::unique_ptr<VelorandWindow> m_window;
};

void TestEntryFields::typing_data()
{
    QTest::addColumn<bool>("startBefore");
    QTest::addColumn<QString>("entry"); // hours:minutes:seconds as typed
    QTest::addColumn<int>("spielzeit");
    QTest::addColumn<bool>("startAfter");

    QTest::newRow("1:30:15") << false << "1:30:15" << 5415 << true;
    QTest::newRow("beyond the spin limits") << false << "13:2:99" << 47019 << true;
    QTest::newRow("number then letter") << false << "00:00:5a" << 5 << true;
    QTest::newRow("half a second") << false << "00:00:.5" << 0 << true;
    QTest::newRow("half a minute") << false << "00:.5:00" << 30 << true;
    QTest::newRow("letter then number") << true << "00:00:a5" << 0 << false;
    QTest::newRow("all emptied") << true << "::" << 0 << false;
    // Nothing above zero, yet not all zero: both buttons keep their state.
    QTest::newRow("negative, Start off") << false << "-5:00:00" << -18000 << false;
    QTest::newRow("negative, Start on") << true << "-5:00:00" << -18000 << true;
}

void TestEntryFields::typing()
{
    QFETCH(bool, startBefore);
    QFETCH(QString, entry);
    QFETCH(int, spielzeit);
    QFETCH(bool, startAfter);

    if (startBefore)
        type(field(QStringLiteral("txtSek")), QStringLiteral("1"));
    QCOMPARE(buttons(), std::pair(startBefore, !startBefore));
    const QStringList names = QStringLiteral("txtStd txtMin txtSek").split(u' '), texts = entry.split(u':');
    for (int i = 0; i < 3; ++i)
        type(field(names[i]), texts[i]);
    // The fields keep what was typed: nothing is rewritten or padded.
    for (int i = 0; i < 3; ++i)
        QCOMPARE(field(names[i])->text(), texts[i]);
    QCOMPARE(m_window->clockState().Spielzeit, spielzeit);
    QCOMPARE(buttons(), std::pair(startAfter, !startAfter));
}

void TestEntryFields::noThirdCharacter()
{
    QLineEdit *seconds = field(QStringLiteral("txtSek"));
    type(seconds, QStringLiteral("123"));
    QCOMPARE(seconds->text(), QStringLiteral("12"));

    QApplication::clipboard()->setText(QStringLiteral("345"));
    if (QApplication::clipboard()->text() != QStringLiteral("345"))
        QSKIP("This platform has no clipboard");
    seconds->selectAll();
    QTest::keyClick(seconds, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(seconds->text(), QStringLiteral("34"));
    QCOMPARE(m_window->clockState().Spielzeit, 34);
}

void TestEntryFields::focusSelectsWholeText()
{
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QLineEdit *minutes = field(QStringLiteral("txtMin"));
    type(minutes, QStringLiteral("05"));
    minutes->setFocus();
    QTRY_VERIFY(minutes->hasFocus());
    QCOMPARE(minutes->selectedText(), QStringLiteral("05"));

    // A click puts the cursor where it lands; the whole text is selected all the same.
    QLineEdit *seconds = field(QStringLiteral("txtSek"));
    type(seconds, QStringLiteral("42"));
    QTest::mouseClick(seconds, Qt::LeftButton, {}, QPoint(2, seconds->height() / 2));
    QTRY_VERIFY(seconds->hasFocus());
    QTRY_COMPARE(seconds->selectedText(), QStringLiteral("42"));
}

void TestEntryFields::spinStep_data()
{
    QTest::addColumn<QString>("spin");
    QTest::addColumn<QString>("before");
    QTest::addColumn<bool>("up");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("message");

    const QString std = QStringLiteral("spnStd"), min = QStringLiteral("spnMin"),
                  sek = QStringLiteral("spnsek");
    const QString minutesLimit = QStringLiteral("Die Eingabe ist auf 59 Minuten begrenzt !");
    const QString secondsLimit = QStringLiteral("Die Eingabe ist auf 59 Sekunden begrenzt !");

    QTest::newRow("hours 23 up") << std << "23" << true << "24" << QString();
    QTest::newRow("hours 24 up") << std << "24" << true << "24" << QString();
    QTest::newRow("hours 25 up") << std << "25" << true << "25" << QString();
    QTest::newRow("hours 25 down") << std << "25" << false << "24" << QString();
    QTest::newRow("minutes 59 up") << min << "59" << true << "59" << minutesLimit;
    QTest::newRow("minutes 7 up") << min << "7" << true << "08" << QString();
    QTest::newRow("minutes empty up") << min << "" << true << "01" << QString();
    QTest::newRow("seconds 59 up") << sek << "59" << true << "59" << secondsLimit;
    QTest::newRow("seconds 01 down") << sek << "01" << false << "00" << QString();
    QTest::newRow("seconds 00 down") << sek << "00" << false << "00" << QString();
    QTest::newRow("seconds ab down") << sek << "ab" << false << "ab" << QString();
}

void TestEntryFields::spinStep()
{
    QFETCH(QString, spin);
    QFETCH(QString, before);
    QFETCH(bool, up);
    QFETCH(QString, after);
    QFETCH(QString, message);

    auto *spinButton = m_window->findChild<SpinButton *>(spin);
    QLineEdit *edit = field(QStringLiteral("txt") + spin.mid(3, 1).toUpper() + spin.mid(4));
    QVERIFY(spinButton && edit);
    type(edit, before);

    ModalCloser closer;
    closer.start();
    if (up)
        emit spinButton->SpinUp();
    else
        emit spinButton->SpinDown();
    closer.stop();

    QCOMPARE(edit->text(), after);
    QCOMPARE(buttons().first, m_window->clockState().Spielzeit > 0);
    QCOMPARE(closer.count(), message.isEmpty() ? 0 : 1);
    if (closer.count()) {
        const SeenModalBox box = closer.last();
        QCOMPARE(std::tuple(box.windowTitle, box.text, box.icon),
            std::tuple(QStringLiteral("Velorand"), message, QMessageBox::NoIcon));
    }
}

void TestEntryFields::heldArrowRepeats()
{
    auto *spin = m_window->findChild<SpinButton *>(QStringLiteral("spnsek"));
    QSignalSpy ups(spin, &SpinButton::SpinUp);
    const QPoint upArrow(spin->width() / 2, spin->height() / 4);
    QTest::mousePress(spin, Qt::LeftButton, {}, upArrow);
    QCOMPARE(ups.count(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(ups.count() > 2, 700);
    QTest::mouseRelease(spin, Qt::LeftButton, {}, upArrow);
    const qsizetype held = ups.count();
    QCOMPARE(
        field(QStringLiteral("txtSek"))->text(), QStringLiteral("%1").arg(held, 2, 10, QLatin1Char('0')));
    // Released, the arrow stays quiet.
    QTest::qWait(2 * SpinButton::repeatInterval);
    QCOMPARE(ups.count(), held);
}

QTEST_MAIN(TestEntryFields)
#include "tst_entryfields.moc"
