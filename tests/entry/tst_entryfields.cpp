// The entry fields and spin buttons of the real window: typing keeps the
// game time and the Start/"Uhr aus" buttons up to date, spinning steps a
// field within its limits.

#include "common/modalcloser.h"
#include "shell/spinbutton.h"
#include "shell/velorandwindow.h"

#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <memory>

class TestEntryFields : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void startState();
    void typing_data();
    void typing();
    void negativeKeepsButtons();
    void noThirdCharacter();
    void focusSelectsWholeText();
    void spinStep_data();
    void spinStep();
    void heldArrowRepeats();

private:
    QLineEdit *field(const char *name) const { return m_window->findChild<QLineEdit *>(QLatin1String(name)); }
    QPushButton *button(const char *name) const
    {
        return m_window->findChild<QPushButton *>(QLatin1String(name));
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

void TestEntryFields::init()
{
    m_window = std::make_unique<VelorandWindow>();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestEntryFields::cleanup()
{
    m_window.reset();
}

void TestEntryFields::startState()
{
    for (const char *name : { "txtStd", "txtMin", "txtSek" }) {
        QCOMPARE(field(name)->text(), QStringLiteral("00"));
        QCOMPARE(field(name)->maxLength(), 2);
    }
    QCOMPARE(m_window->clockState().Spielzeit, 0);
    QVERIFY(!button("cmdStart")->isEnabled());
    QVERIFY(button("cmdUhrAus")->isEnabled());
}

void TestEntryFields::typing_data()
{
    QTest::addColumn<QString>("hours");
    QTest::addColumn<QString>("minutes");
    QTest::addColumn<QString>("seconds");
    QTest::addColumn<int>("spielzeit");
    QTest::addColumn<bool>("startEnabled");

    const QString zero = QStringLiteral("00");
    QTest::newRow("5 minutes") << zero << QStringLiteral("5") << zero << 300 << true;
    QTest::newRow("1:30:15") << QStringLiteral("1") << QStringLiteral("30") << QStringLiteral("15") << 5415
                             << true;
    QTest::newRow("number then letter") << zero << zero << QStringLiteral("5a") << 5 << true;
    QTest::newRow("letter then number") << zero << zero << QStringLiteral("a5") << 0 << false;
    QTest::newRow("negative hours") << QStringLiteral("-5") << zero << zero << -18000 << false;
    QTest::newRow("half a second") << zero << zero << QStringLiteral(".5") << 0 << true;
    QTest::newRow("half a minute") << zero << QStringLiteral(".5") << zero << 30 << true;
    QTest::newRow("13 hours unbounded")
        << QStringLiteral("13") << QStringLiteral("2") << zero << 46920 << true;
    QTest::newRow("99 seconds unbounded") << zero << zero << QStringLiteral("99") << 99 << true;
    QTest::newRow("all emptied") << QString() << QString() << QString() << 0 << false;
    QTest::newRow("all zero again") << QStringLiteral("0") << QStringLiteral("0") << QStringLiteral("0") << 0
                                    << false;
}

void TestEntryFields::typing()
{
    QFETCH(QString, hours);
    QFETCH(QString, minutes);
    QFETCH(QString, seconds);
    QFETCH(int, spielzeit);
    QFETCH(bool, startEnabled);

    type(field("txtStd"), hours);
    type(field("txtMin"), minutes);
    type(field("txtSek"), seconds);

    // The fields keep what was typed: nothing is rewritten or padded.
    QCOMPARE(field("txtStd")->text(), hours);
    QCOMPARE(field("txtMin")->text(), minutes);
    QCOMPARE(field("txtSek")->text(), seconds);
    QCOMPARE(m_window->clockState().Spielzeit, spielzeit);
    QCOMPARE(button("cmdStart")->isEnabled(), startEnabled);
    QCOMPARE(button("cmdUhrAus")->isEnabled(), !startEnabled);
    // The remaining time shows the fields only from Start on.
    for (const char *name : { "lblStd", "lblMin", "lblSek" })
        QCOMPARE(m_window->findChild<QLabel *>(QLatin1String(name))->text(), QStringLiteral("00"));
}

void TestEntryFields::negativeKeepsButtons()
{
    QLineEdit *hours = field("txtStd");
    type(hours, QStringLiteral("1"));
    QVERIFY(button("cmdStart")->isEnabled());

    // "-1": nothing above zero, yet not all zero, so both buttons stay as they are.
    QTest::keyClick(hours, Qt::Key_Home);
    QTest::keyClick(hours, Qt::Key_Minus);
    QCOMPARE(hours->text(), QStringLiteral("-1"));
    QCOMPARE(m_window->clockState().Spielzeit, -3600);
    QVERIFY(button("cmdStart")->isEnabled());
    QVERIFY(!button("cmdUhrAus")->isEnabled());

    type(hours, QStringLiteral("0"));
    QVERIFY(!button("cmdStart")->isEnabled());
    QVERIFY(button("cmdUhrAus")->isEnabled());
}

void TestEntryFields::noThirdCharacter()
{
    QLineEdit *seconds = field("txtSek");
    type(seconds, QStringLiteral("123"));
    QCOMPARE(seconds->text(), QStringLiteral("12"));
    QCOMPARE(m_window->clockState().Spielzeit, 12);

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
    QLineEdit *hours = field("txtStd");
    QLineEdit *minutes = field("txtMin");
    type(minutes, QStringLiteral("05"));
    hours->setFocus();
    QTRY_VERIFY(hours->hasFocus());
    QCOMPARE(hours->selectedText(), QStringLiteral("00"));

    QTest::keyClick(hours, Qt::Key_Tab);
    QTRY_VERIFY(minutes->hasFocus());
    QCOMPARE(minutes->selectedText(), QStringLiteral("05"));
    QTest::keyClicks(minutes, QStringLiteral("7"));
    QCOMPARE(minutes->text(), QStringLiteral("7"));
    QCOMPARE(m_window->clockState().Spielzeit, 420);

    // A click puts the cursor where it lands; the whole text is selected all the same.
    QLineEdit *seconds = field("txtSek");
    type(seconds, QStringLiteral("42"));
    QTest::mouseClick(seconds, Qt::LeftButton, {}, QPoint(2, seconds->height() / 2));
    QTRY_VERIFY(seconds->hasFocus());
    QTRY_COMPARE(seconds->selectedText(), QStringLiteral("42"));
}

void TestEntryFields::spinStep_data()
{
    QTest::addColumn<QString>("spin");
    QTest::addColumn<QString>("fieldName");
    QTest::addColumn<QString>("before");
    QTest::addColumn<bool>("up");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("spielzeit");
    QTest::addColumn<QString>("message");

    const QString std = QStringLiteral("spnStd"), min = QStringLiteral("spnMin"),
                  sek = QStringLiteral("spnsek");
    const QString txtStd = QStringLiteral("txtStd"), txtMin = QStringLiteral("txtMin"),
                  txtSek = QStringLiteral("txtSek");
    const QString minutesLimit = QStringLiteral("Die Eingabe ist auf 59 Minuten begrenzt !");
    const QString secondsLimit = QStringLiteral("Die Eingabe ist auf 59 Sekunden begrenzt !");

    QTest::newRow("hours 23 up") << std << txtStd << "23" << true << "24" << 86400 << QString();
    QTest::newRow("hours 24 up") << std << txtStd << "24" << true << "24" << 86400 << QString();
    QTest::newRow("hours 25 up") << std << txtStd << "25" << true << "25" << 90000 << QString();
    QTest::newRow("hours 25 down") << std << txtStd << "25" << false << "24" << 86400 << QString();
    QTest::newRow("minutes 58 up") << min << txtMin << "58" << true << "59" << 3540 << QString();
    QTest::newRow("minutes 59 up") << min << txtMin << "59" << true << "59" << 3540 << minutesLimit;
    QTest::newRow("minutes 75 down") << min << txtMin << "75" << false << "74" << 4440 << QString();
    QTest::newRow("minutes 7 up") << min << txtMin << "7" << true << "08" << 480 << QString();
    QTest::newRow("minutes empty up") << min << txtMin << "" << true << "01" << 60 << QString();
    QTest::newRow("seconds 59 up") << sek << txtSek << "59" << true << "59" << 59 << secondsLimit;
    QTest::newRow("seconds 00 down") << sek << txtSek << "00" << false << "00" << 0 << QString();
    QTest::newRow("seconds 01 down") << sek << txtSek << "01" << false << "00" << 0 << QString();
    QTest::newRow("seconds ab up") << sek << txtSek << "ab" << true << "01" << 1 << QString();
    QTest::newRow("seconds ab down") << sek << txtSek << "ab" << false << "ab" << 0 << QString();
}

void TestEntryFields::spinStep()
{
    QFETCH(QString, spin);
    QFETCH(QString, fieldName);
    QFETCH(QString, before);
    QFETCH(bool, up);
    QFETCH(QString, after);
    QFETCH(int, spielzeit);
    QFETCH(QString, message);

    auto *spinButton = m_window->findChild<SpinButton *>(spin);
    auto *edit = m_window->findChild<QLineEdit *>(fieldName);
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
    QCOMPARE(m_window->clockState().Spielzeit, spielzeit);
    QCOMPARE(button("cmdStart")->isEnabled(), spielzeit > 0);
    QCOMPARE(button("cmdUhrAus")->isEnabled(), spielzeit == 0);
    for (const char *name : { "lblStd", "lblMin", "lblSek" })
        QCOMPARE(m_window->findChild<QLabel *>(QLatin1String(name))->text(), QStringLiteral("00"));

    if (message.isEmpty()) {
        QCOMPARE(closer.count(), 0);
    } else {
        QCOMPARE(closer.count(), 1);
        const SeenModalBox box = closer.last();
        QCOMPARE(box.objectName, QStringLiteral("msgGrenze"));
        QCOMPARE(box.windowTitle, QStringLiteral("Velorand"));
        QCOMPARE(box.text, message);
        QCOMPARE(box.icon, QMessageBox::NoIcon);
    }
}

void TestEntryFields::heldArrowRepeats()
{
    auto *spin = m_window->findChild<SpinButton *>(QStringLiteral("spnsek"));
    QSignalSpy ups(spin, &SpinButton::SpinUp);
    const QPoint upArrow(spin->width() / 2, spin->height() / 4);
    QCOMPARE(spin->arrowAt(upArrow), SpinButton::Arrow::Up);

    QTest::mousePress(spin, Qt::LeftButton, {}, upArrow);
    QCOMPARE(ups.count(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(ups.count() > 2, 700);
    QTest::mouseRelease(spin, Qt::LeftButton, {}, upArrow);
    const qsizetype held = ups.count();
    QCOMPARE(field("txtSek")->text(), QStringLiteral("%1").arg(held, 2, 10, QLatin1Char('0')));

    // Released, the arrow stays quiet.
    QTest::qWait(2 * SpinButton::repeatInterval);
    QCOMPARE(ups.count(), held);
}

QTEST_MAIN(TestEntryFields)
#include "tst_entryfields.moc"
