// A random operator: thousands of random actions against the real window,
// with the window's invariants checked after every one of them.
//
// The run is reproducible: VELORAND_SEED sets the seed (default below) and
// VELORAND_STEPS the number of steps. A failure prints both, the step and the
// last actions. VELORAND_TRACE=1 prints every action as it happens (useful to
// find the step of a crash).

#include "entry/gametimeentry.h"
#include "modalcloser.h"
#include "shell/facebutton.h"
#include "shell/floodpanel.h"
#include "shell/spinbutton.h"
#include "shell/textpanel.h"
#include "shell/velorandwindow.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QStringList>
#include <QTest>
#include <memory>

namespace {

constexpr quint32 defaultSeed = 20240611;
constexpr int defaultSteps = 20000;
constexpr int historyLength = 16;

const QString captionStart = QStringLiteral("Start");
const QString captionStopp = QStringLiteral("Stopp");
const QString textHalbzeit1 = QStringLiteral("Die 1. Halbzeit ist abgelaufen !");
const QString textHalbzeit2 = QStringLiteral("Die 2. Halbzeit ist abgelaufen !");
const QString textZeitAbgelaufen = QStringLiteral("Die Spielzeit ist abgelaufen !");
const QString textZeitUnterbrochen = QStringLiteral("Spielzeit unterbrochen !");

QtMessageHandler previousHandler = nullptr;

/// The offscreen platform warns about every fixed-size window it shows; that noise would bury a report.
void quietHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.contains(QStringLiteral("propagateSizeHints")))
        return;
    previousHandler(type, context, message);
}

quint64 envNumber(const char *name, quint64 fallback)
{
    bool ok = false;
    const quint64 value = qEnvironmentVariable(name).toULongLong(&ok);
    return ok ? value : fallback;
}

/// Shows a text with its odd characters escaped, so a failure report can be read and replayed.
QString printable(const QString &text)
{
    constexpr qsizetype shown = 40;
    QString out;
    for (qsizetype i = 0; i < text.size() && i < shown; ++i) {
        const QChar c = text[i];
        if (c.unicode() >= 0x20 && c.unicode() < 0x7f && c != u'\\')
            out += c;
        else
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QChar(u'0'));
    }
    if (text.size() > shown)
        out += QStringLiteral("...(%1 chars)").arg(text.size());
    return u'"' + out + u'"';
}

/// Texts an operator, a clipboard or a cat on the keyboard might produce.
class TextSource
{
public:
    explicit TextSource(QRandomGenerator &random)
        : m_random(random)
    { }

    QString any()
    {
        switch (m_random.bounded(10)) {
        case 0:
            return {};
        case 1:
        case 2:
            return digits(1 + m_random.bounded(2));
        case 3:
            return pick(m_tricky);
        case 4:
            return mix(1 + m_random.bounded(4));
        case 5:
            return mix(3 + m_random.bounded(30));
        case 6:
            return mix(200 + m_random.bounded(3000));
        case 7:
            return pick(m_unicode) + pick(m_unicode);
        case 8:
            return QString(1, QChar(char16_t(m_random.bounded(0x20)))) + digits(1);
        default:
            return digits(1 + m_random.bounded(6));
        }
    }

    /// A short text, for typing key by key.
    QString typed()
    {
        QString text = any();
        text.truncate(24);
        return text;
    }

private:
    QString digits(int count)
    {
        QString text;
        for (int i = 0; i < count; ++i)
            text += QChar(char16_t(u'0' + m_random.bounded(10)));
        return text;
    }

    QString pick(const QStringList &list) { return list[m_random.bounded(int(list.size()))]; }

    QString mix(int count)
    {
        QString text;
        for (int i = 0; i < count; ++i) {
            switch (m_random.bounded(5)) {
            case 0:
                text += digits(1);
                break;
            case 1:
                text += QChar(char16_t(0x20 + m_random.bounded(0x5f)));
                break;
            case 2:
                text += pick(m_unicode);
                break;
            case 3:
                text += QChar(char16_t(m_random.bounded(0x10000)));
                break;
            default:
                text += pick(m_tricky);
                break;
            }
        }
        return text;
    }

    QRandomGenerator &m_random;
    const QStringList m_tricky { QStringLiteral("-"), QStringLiteral("+"), QStringLiteral("."),
        QStringLiteral(".5"), QStringLiteral("-5"), QStringLiteral("-0"), QStringLiteral("5."),
        QStringLiteral(" 5"), QStringLiteral("5 "), QStringLiteral("\t7"), QStringLiteral("\n"),
        QStringLiteral("1e9"), QStringLiteral("99"), QStringLiteral("59"), QStringLiteral("60"),
        QStringLiteral("24"), QStringLiteral("25"), QStringLiteral("0x"), QStringLiteral("NaN"),
        QStringLiteral("inf"), QStringLiteral("1,5"), QStringLiteral("+."), QStringLiteral("-.5"),
        QStringLiteral("00"), QStringLiteral("01"), QStringLiteral("a5"), QStringLiteral("5a"),
        QStringLiteral("\r1"), QStringLiteral("\u007f") };
    const QStringList m_unicode {
        QStringLiteral("\u0663"), // Arabic-Indic three
        QStringLiteral("\uff15"), // fullwidth five
        QStringLiteral("\u00b2"), // superscript two
        QStringLiteral("\u00bd"), // one half
        QStringLiteral("\u00a0"), // no-break space
        QStringLiteral("\u2007"), // figure space
        QStringLiteral("\u202e"), // right-to-left override
        QStringLiteral("\u200b"), // zero-width space
        QStringLiteral("\ufeff"), // byte order mark
        QStringLiteral("\u0301"), // combining acute
        QStringLiteral("\u00e4"),
        QStringLiteral("\u00df"),
        QStringLiteral("\u20ac"),
        QStringLiteral("\U0001F600"), // outside the BMP: a surrogate pair
        QString(1, QChar(char16_t(0xd800))), // lone high surrogate
        QString(1, QChar(char16_t(0xdc00))), // lone low surrogate
        QString(1, QChar(char16_t(0))), // NUL
        QStringLiteral("\u0000\u0031"),
        QStringLiteral("\uffff"),
        QStringLiteral("\ufffd"),
    };
};

} // namespace

class TestRandomOperator : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void randomOperator();
    void cleanupTestCase();

private:
    void createWindow();
    QString violation() const;
    void act();
    void note(const QString &action);
    QString replayHint() const;

    QLineEdit *field(int index) const;
    FaceButton *button(const char *name) const;
    SpinButton *spin(int index) const;

    void typeInto(QLineEdit *target);
    void pasteInto(QLineEdit *target);
    void clickButton();
    void spinEvent();
    void ticks(int count);
    void minimiseOrRestore();

    std::unique_ptr<VelorandWindow> m_window;
    ModalCloser m_closer;
    QRandomGenerator m_random;
    std::unique_ptr<TextSource> m_texts;
    quint32 m_seed = defaultSeed;
    int m_steps = defaultSteps;
    int m_step = 0;
    bool m_trace = false;
    QStringList m_history;
    int m_windowsClosed = 0;
    int m_gamesEnded = 0;
};

void TestRandomOperator::initTestCase()
{
    m_seed = quint32(envNumber("VELORAND_SEED", defaultSeed));
    m_steps = int(envNumber("VELORAND_STEPS", defaultSteps));
    m_trace = qEnvironmentVariableIntValue("VELORAND_TRACE") != 0;
    m_random.seed(m_seed);
    previousHandler = qInstallMessageHandler(quietHandler);
    m_texts = std::make_unique<TextSource>(m_random);
    // Closing the window (Uhr aus) must not end the test's application.
    QApplication::setQuitOnLastWindowClosed(false);
    qInfo("random operator: seed %u, %d steps (replay: VELORAND_SEED=%u VELORAND_STEPS=%d)", m_seed, m_steps,
        m_seed, m_steps);
    m_closer.start();
    createWindow();
}

void TestRandomOperator::cleanupTestCase()
{
    m_closer.stop();
    m_window.reset();
}

void TestRandomOperator::createWindow()
{
    m_window.reset();
    m_window = std::make_unique<VelorandWindow>();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

QLineEdit *TestRandomOperator::field(int index) const
{
    static const char *const names[] = { "txtStd", "txtMin", "txtSek" };
    return m_window->findChild<QLineEdit *>(QLatin1String(names[index]));
}

FaceButton *TestRandomOperator::button(const char *name) const
{
    return m_window->findChild<FaceButton *>(QLatin1String(name));
}

SpinButton *TestRandomOperator::spin(int index) const
{
    static const char *const names[] = { "spnStd", "spnMin", "spnsek" };
    return m_window->findChild<SpinButton *>(QLatin1String(names[index]));
}

void TestRandomOperator::note(const QString &action)
{
    const QString line = QStringLiteral("step %1: %2").arg(m_step).arg(action);
    if (m_trace)
        qInfo("%s", qUtf8Printable(line));
    m_history.append(line);
    if (m_history.size() > historyLength)
        m_history.removeFirst();
}

QString TestRandomOperator::replayHint() const
{
    return QStringLiteral("seed %1, step %2 (replay: VELORAND_SEED=%1 VELORAND_STEPS=%3 VELORAND_TRACE=1)\n"
                          "last actions:\n  %4")
        .arg(m_seed)
        .arg(m_step)
        .arg(m_step + 1)
        .arg(m_history.join(QStringLiteral("\n  ")));
}

/// The window's invariants; an empty text when they all hold.
QString TestRandomOperator::violation() const
{
    QStringList problems;
    const QString std = field(0)->text();
    const QString min = field(1)->text();
    const QString sek = field(2)->text();
    for (const QString &text : { std, min, sek }) {
        if (text.size() > 2)
            problems << QStringLiteral("a field holds more than two characters: %1").arg(printable(text));
    }

    const qint32 expected = EnteredTime::fromTexts(std, min, sek).gameSeconds();
    const qint32 spielzeit = m_window->clockState().Spielzeit;
    if (spielzeit != expected)
        problems << QStringLiteral("Spielzeit %1, but the fields %2 %3 %4 give %5")
                        .arg(spielzeit)
                        .arg(printable(std), printable(min), printable(sek))
                        .arg(expected);

    const QString caption = button("cmdStart")->text();
    if (caption != captionStart && caption != captionStopp)
        problems << QStringLiteral("cmdStart reads %1").arg(printable(caption));

    for (const char *name : { "pnlHalbzeit1", "pnlHalbzeit2", "pnlZeit" }) {
        const int percent = m_window->findChild<FloodPanel *>(QLatin1String(name))->floodPercent();
        if (percent < 0 || percent > 100)
            problems << QStringLiteral("%1 floods %2 %").arg(QLatin1String(name)).arg(percent);
    }

    const struct
    {
        const char *name;
        QStringList allowed;
    } banners[] = {
        { "pnlHalbzeit1Text", { textHalbzeit1 } },
        { "pnlHalbzeit2Text", { textHalbzeit2 } },
        { "pnlZeitText", { textZeitAbgelaufen, textZeitUnterbrochen } },
    };
    for (const auto &banner : banners) {
        const auto *panel = m_window->findChild<TextPanel *>(QLatin1String(banner.name));
        if (!panel->isHidden() && !banner.allowed.contains(panel->text()))
            problems << QStringLiteral("%1 is shown with %2")
                            .arg(QLatin1String(banner.name), printable(panel->text()));
    }

    const bool running
        = m_window->findChild<QObject *>(QStringLiteral("Timer1"))->property("active").toBool();
    if (running && caption != captionStopp)
        problems << QStringLiteral("Timer1 runs while cmdStart reads %1").arg(printable(caption));

    return problems.join(QStringLiteral("; "));
}

void TestRandomOperator::typeInto(QLineEdit *target)
{
    const QString text = m_texts->typed();
    const bool replace = m_random.bounded(2) == 0;
    note(QStringLiteral("type %1 into %2%3")
             .arg(printable(text), target->objectName(),
                 replace ? QStringLiteral(" (replacing)") : QString()));
    target->setFocus(Qt::TabFocusReason);
    if (replace)
        target->selectAll();
    else
        target->setCursorPosition(int(m_random.bounded(int(target->text().size()) + 1)));
    // QTest::keyClicks() takes only Latin-1; other characters arrive as key events carrying
    // their text, the way an input method delivers them (a surrogate pair in one event).
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.unicode() >= 0x20 && c.unicode() < 0x7f) {
            QTest::keyClick(target, char(c.unicode()));
            continue;
        }
        QString piece(c);
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            piece += text[++i];
        QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, piece, Qt::NoModifier);
    }
}

void TestRandomOperator::pasteInto(QLineEdit *target)
{
    const QString text = m_texts->any();
    const int how = m_random.bounded(3);
    if (how == 0) {
        note(QStringLiteral("setText %1 on %2").arg(printable(text), target->objectName()));
        target->setText(text);
        return;
    }
    note(QStringLiteral("paste %1 into %2%3")
             .arg(printable(text), target->objectName(),
                 how == 1 ? QStringLiteral(" (replacing)") : QString()));
    QGuiApplication::clipboard()->setText(text);
    target->setFocus(Qt::TabFocusReason);
    if (how == 1)
        target->selectAll();
    else
        target->end(false);
    QTest::keySequence(target, QKeySequence::Paste);
}

void TestRandomOperator::clickButton()
{
    // "Uhr aus" closes the window: rarer, and the window is built anew afterwards.
    static const char *const names[]
        = { "cmdStart", "cmdStart", "cmdStart", "cmdPause", "cmdPause", "cmdReset", "cmdReset", "cmdUhrAus" };
    const char *name = names[m_random.bounded(int(std::size(names)))];
    if (qstrcmp(name, "cmdUhrAus") == 0 && m_random.bounded(8) != 0)
        name = "cmdReset";
    FaceButton *target = button(name);
    note(QStringLiteral("click %1 (%2, %3)")
             .arg(QLatin1String(name), target->text(),
                 target->isEnabled() ? QStringLiteral("enabled") : QStringLiteral("disabled")));
    QTest::mouseClick(target, Qt::LeftButton);
}

void TestRandomOperator::spinEvent()
{
    const int index = m_random.bounded(3);
    const bool up = m_random.bounded(2) == 0;
    SpinButton *target = spin(index);
    switch (m_random.bounded(3)) {
    case 0:
        note(QStringLiteral("emit %1 %2")
                 .arg(target->objectName(), up ? QStringLiteral("SpinUp") : QStringLiteral("SpinDown")));
        if (up)
            Q_EMIT target->SpinUp();
        else
            Q_EMIT target->SpinDown();
        break;
    case 1: {
        note(QStringLiteral("call %1_%2")
                 .arg(target->objectName(), up ? QStringLiteral("SpinUp") : QStringLiteral("SpinDown")));
        using Handler = void (VelorandWindow::*)();
        static const Handler ups[] = { &VelorandWindow::spnStd_SpinUp, &VelorandWindow::spnMin_SpinUp,
            &VelorandWindow::spnsek_SpinUp };
        static const Handler downs[] = { &VelorandWindow::spnStd_SpinDown, &VelorandWindow::spnMin_SpinDown,
            &VelorandWindow::spnsek_SpinDown };
        (m_window.get()->*(up ? ups : downs)[index])();
        break;
    }
    default: {
        // A real click on the arrow, which the button ignores while disabled.
        const QRect area = target->rect();
        const QPoint point(
            area.center().x(), up ? area.top() + area.height() / 4 : area.bottom() - area.height() / 4);
        note(QStringLiteral("click %1 %2 arrow (%3)")
                 .arg(target->objectName(), up ? QStringLiteral("up") : QStringLiteral("down"),
                     target->isEnabled() ? QStringLiteral("enabled") : QStringLiteral("disabled")));
        QTest::mouseClick(target, Qt::LeftButton, {}, point);
        break;
    }
    }
}

void TestRandomOperator::ticks(int count)
{
    // Ticks arrive only while the game timer runs, as the timer would deliver them.
    note(QStringLiteral("up to %1 ticks").arg(count));
    QObject *timer = m_window->findChild<QObject *>(QStringLiteral("Timer1"));
    for (int i = 0; i < count && timer->property("active").toBool(); ++i) {
        m_window->Timer1_Timer();
        if (!timer->property("active").toBool())
            ++m_gamesEnded;
    }
}

void TestRandomOperator::minimiseOrRestore()
{
    if (m_window->isMinimized()) {
        note(QStringLiteral("restore"));
        m_window->showNormal();
    } else if (m_random.bounded(2) == 0) {
        note(QStringLiteral("Minimieren_Click"));
        m_window->Minimieren_Click();
    } else {
        note(QStringLiteral("showMinimized"));
        m_window->showMinimized();
    }
}

void TestRandomOperator::act()
{
    const int choice = m_random.bounded(100);
    if (choice < 18) {
        typeInto(field(m_random.bounded(3)));
    } else if (choice < 30) {
        pasteInto(field(m_random.bounded(3)));
    } else if (choice < 38) {
        QLineEdit *target = field(m_random.bounded(3));
        static const Qt::Key keys[] = { Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Home, Qt::Key_End,
            Qt::Key_Left, Qt::Key_Right, Qt::Key_Tab, Qt::Key_Return };
        const Qt::Key key = keys[m_random.bounded(int(std::size(keys)))];
        note(QStringLiteral("key %1 in %2").arg(int(key), 0, 16).arg(target->objectName()));
        target->setFocus(Qt::TabFocusReason);
        QTest::keyClick(target, key);
    } else if (choice < 58) {
        clickButton();
    } else if (choice < 70) {
        spinEvent();
    } else if (choice < 82) {
        ticks(1 + m_random.bounded(m_random.bounded(4) == 0 ? 400 : 5));
    } else if (choice < 86) {
        minimiseOrRestore();
    } else if (choice < 89) {
        note(QStringLiteral("cmdPause_Click"));
        m_window->cmdPause_Click();
    } else if (choice < 92) {
        note(QStringLiteral("cmdReset_Click"));
        m_window->cmdReset_Click();
    } else if (choice < 94) {
        note(QStringLiteral("cmdStart_Click"));
        m_window->cmdStart_Click();
    } else if (choice < 96) {
        note(QStringLiteral("Timer2_Timer, Form_Resize"));
        m_window->Timer2_Timer();
        m_window->Form_Resize();
    } else if (choice < 98) {
        const int ms = m_random.bounded(4);
        note(QStringLiteral("event loop for %1 ms").arg(ms));
        QTest::qWait(ms);
    } else if (m_random.bounded(4) == 0) {
        const bool viaMenu = m_random.bounded(2) == 0;
        note(viaMenu ? QStringLiteral("Schliessen_Click") : QStringLiteral("cmdUhrAus_Click"));
        if (viaMenu)
            m_window->Schliessen_Click();
        else
            m_window->cmdUhrAus_Click();
    } else {
        note(QStringLiteral("focus and select a field"));
        QLineEdit *target = field(m_random.bounded(3));
        target->setFocus(Qt::MouseFocusReason);
        QCoreApplication::processEvents();
    }
}

void TestRandomOperator::randomOperator()
{
    QElapsedTimer clock;
    clock.start();
    for (m_step = 0; m_step < m_steps; ++m_step) {
        act();
        // A modal box still open here would mean the closer missed it.
        if (QApplication::activeModalWidget())
            QFAIL(qPrintable(QStringLiteral("a modal box is still open\n") + replayHint()));
        const QString problem = violation();
        if (!problem.isEmpty())
            QFAIL(qPrintable(problem + u'\n' + replayHint()));
        if (!m_window->isVisible()) {
            // The window was closed: the program would end here; the operator starts it again.
            note(QStringLiteral("window closed, built anew"));
            ++m_windowsClosed;
            createWindow();
            const QString fresh = violation();
            if (!fresh.isEmpty())
                QFAIL(qPrintable(QStringLiteral("fresh window: ") + fresh + u'\n' + replayHint()));
        }
    }
    qInfo("%d steps in %lld ms; %d message boxes closed, %d windows closed, %d games ran out", m_steps,
        clock.elapsed(), m_closer.count(), m_windowsClosed, m_gamesEnded);
}

QTEST_MAIN(TestRandomOperator)
#include "tst_randomoperator.moc"
