// A random operator: thousands of random actions against the real window, its invariants checked
// after every one. VELORAND_SEED and VELORAND_STEPS replay a run; a failure prints both, the step
// and the last actions. VELORAND_TRACE=1 prints every action as it happens.

#include "entry/gametimeentry.h"
#include "modalcloser.h"
#include "shell/facebutton.h"
#include "shell/floodpanel.h"
#include "shell/spinbutton.h"
#include "shell/textpanel.h"
#include "shell/velorandwindow.h"

#include <QtTest>
#include <QtWidgets>

#include <array>
#include <functional>
#include <memory>
#include <numeric>

namespace {

constexpr quint32 defaultSeed = 20240611;
constexpr int defaultSteps = 20000;
constexpr int historyLength = 16;

QtMessageHandler previousHandler = nullptr;

/// The offscreen platform warns about every fixed-size window it shows; that noise would bury a report.
void quietHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (!message.contains(QStringLiteral("propagateSizeHints")))
        previousHandler(type, context, message);
}

quint64 envNumber(const char *name, quint64 fallback)
{
    bool ok = false;
    const quint64 value = qEnvironmentVariable(name).toULongLong(&ok);
    return ok ? value : fallback;
}

/// A text with its odd characters escaped, so a failure report can be read and replayed.
QString printable(const QString &text)
{
    QString out;
    for (const QChar c : QStringView(text).left(40))
        out += c.unicode() >= 0x20 && c.unicode() < 0x7f && c != u'\\'
            ? QString(c)
            : QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QChar(u'0'));
    if (text.size() > 40)
        out += QStringLiteral("...(%1 chars)").arg(text.size());
    return u'"' + out + u'"';
}

/// Index of a choice drawn with the given weights.
int weighted(QRandomGenerator &random, const QList<int> &weights)
{
    int draw = random.bounded(std::accumulate(weights.begin(), weights.end(), 0));
    int index = 0;
    while (draw >= weights[index])
        draw -= weights[index++];
    return index;
}

/// Texts an operator, a clipboard or a cat on the keyboard might produce.
struct TextSource
{
    QString any()
    {
        const int kind = m_random.bounded(10);
        if (kind == 0)
            return {};
        if (kind == 3)
            return pick(m_tricky);
        if (kind >= 4 && kind <= 6)
            return mix(
                std::array { 1, 3, 200 }[kind - 4] + m_random.bounded(std::array { 4, 30, 3000 }[kind - 4]));
        if (kind == 7)
            return pick(m_unicode) + pick(m_unicode);
        if (kind == 8)
            return QChar(char16_t(m_random.bounded(0x20))) + digits(1);
        return digits(1 + m_random.bounded(kind < 3 ? 2 : 6));
    }

    QString digits(int count)
    {
        QString text;
        while (text.size() < count)
            text += QChar(char16_t(u'0' + m_random.bounded(10)));
        return text;
    }

    QString pick(const QStringList &list) { return list[m_random.bounded(int(list.size()))]; }

    QString mix(int count)
    {
        QString text;
        for (int i = 0; i < count; ++i) {
            const int kind = m_random.bounded(5);
            text += kind == 0 ? digits(1)
                : kind == 1   ? QChar(char16_t(0x20 + m_random.bounded(0x5f)))
                : kind == 2   ? pick(m_unicode)
                : kind == 3   ? QChar(char16_t(m_random.bounded(0x10000)))
                              : pick(m_tricky);
        }
        return text;
    }

    QRandomGenerator &m_random;
    const QStringList m_tricky
        = QStringLiteral("-|+|.|.5|-5|-0|5.| 5|5 |\t7|\n|1e9|99|59|60|24|25|0x|NaN|inf|1,5|+.|"
                         "-.5|00|01|a5|5a|\r1|\u007f")
              .split(u'|');
    // Arabic-Indic three, fullwidth five, superscript two, one half, no-break and figure space,
    // right-to-left override, zero-width space, byte order mark, combining acute, a surrogate pair,
    // lone surrogates and NUL.
    const QStringList m_unicode
        = QStringLiteral(
              "\u0663|\uff15|\u00b2|\u00bd|\u00a0|\u2007|\u202e|\u200b|\ufeff|\u0301|\u00e4|\u00df|"
              "\u20ac|\U0001F600|\uffff|\ufffd")
              .split(u'|')
        + QStringList { QChar(char16_t(0xd800)), QChar(char16_t(0xdc00)), QChar(char16_t(0)),
              QString(QChar(char16_t(0))) + u'1' };
};

} // namespace

class TestRandomOperator : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void randomOperator();
    void cleanupTestCase() { m_closer.stop(); }

private:
    void createWindow()
    {
        m_window = std::make_unique<VelorandWindow>();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }
    QString violation() const;
    void note(const QString &action);
    QString replayHint() const;
    template <typename T> T *child(const char *name) const
    {
        return m_window->findChild<T *>(QLatin1String(name));
    }
    QLineEdit *field(int index) const
    {
        return child<QLineEdit>(std::array { "txtStd", "txtMin", "txtSek" }[index]);
    }
    QLineEdit *anyField() { return field(m_random.bounded(3)); }
    bool timerActive() const { return child<QObject>("Timer1")->property("active").toBool(); }
    /// An action that calls handlers of the window directly.
    template <typename... Handlers> std::function<void()> call(const char *what, Handlers... handlers)
    {
        return [=, this] {
            note(QLatin1String(what));
            ((m_window.get()->*handlers)(), ...);
        };
    }

    void typeInto(QLineEdit *target);
    void pasteInto(QLineEdit *target);
    void spinEvent();

    std::unique_ptr<VelorandWindow> m_window;
    ModalCloser m_closer;
    QRandomGenerator m_random;
    TextSource m_texts { m_random };
    QList<int> m_weights;
    QList<std::function<void()>> m_actions;
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
    QApplication::setQuitOnLastWindowClosed(false); // Uhr aus must not end the test
    qInfo("random operator: seed %u, %d steps (replay: VELORAND_SEED=%u VELORAND_STEPS=%d)", m_seed, m_steps,
        m_seed, m_steps);

    const std::pair<int, std::function<void()>> actions[] = {
        { 72, [this] { typeInto(anyField()); } },
        { 48, [this] { pasteInto(anyField()); } },
        { 32,
            [this] {
                static const Qt::Key keys[] = { Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Home, Qt::Key_End,
                    Qt::Key_Left, Qt::Key_Right, Qt::Key_Tab, Qt::Key_Return };
                QLineEdit *target = anyField();
                const Qt::Key key = keys[m_random.bounded(int(std::size(keys)))];
                note(QStringLiteral("key %1 in %2").arg(int(key), 0, 16).arg(target->objectName()));
                target->setFocus(Qt::TabFocusReason);
                QTest::keyClick(target, key);
            } },
        { 80,
            [this] {
                // "Uhr aus" closes the window: rare, and the window is built anew afterwards.
                const char *name = std::array { "cmdStart", "cmdPause", "cmdReset",
                    "cmdUhrAus" }[weighted(m_random, { 24, 16, 23, 1 })];
                FaceButton *target = child<FaceButton>(name);
                note(QStringLiteral("click %1 (%2, %3)")
                         .arg(QLatin1String(name), target->text(),
                             target->isEnabled() ? QStringLiteral("enabled") : QStringLiteral("disabled")));
                QTest::mouseClick(target, Qt::LeftButton);
            } },
        { 48, [this] { spinEvent(); } },
        { 48,
            [this] {
                // Ticks arrive only while the game timer runs, as the timer would deliver them.
                const int count = 1 + m_random.bounded(m_random.bounded(4) == 0 ? 400 : 5);
                note(QStringLiteral("up to %1 ticks").arg(count));
                for (int i = 0; i < count && timerActive(); ++i) {
                    m_window->Timer1_Timer();
                    m_gamesEnded += timerActive() ? 0 : 1;
                }
            } },
        { 16,
            [this] {
                if (m_window->isMinimized())
                    call("restore", &QWidget::showNormal)();
                else if (m_random.bounded(2) == 0)
                    call("Minimieren_Click", &VelorandWindow::Minimieren_Click)();
                else
                    call("showMinimized", &QWidget::showMinimized)();
            } },
        { 12, call("cmdPause_Click", &VelorandWindow::cmdPause_Click) },
        { 12, call("cmdReset_Click", &VelorandWindow::cmdReset_Click) },
        { 8, call("cmdStart_Click", &VelorandWindow::cmdStart_Click) },
        { 8, call("Timer2_Timer, Form_Resize", &VelorandWindow::Timer2_Timer, &VelorandWindow::Form_Resize) },
        { 8,
            [this] {
                const int ms = m_random.bounded(4);
                note(QStringLiteral("event loop for %1 ms").arg(ms));
                QTest::qWait(ms);
            } },
        { 1, call("Schliessen_Click", &VelorandWindow::Schliessen_Click) },
        { 1, call("cmdUhrAus_Click", &VelorandWindow::cmdUhrAus_Click) },
        { 6,
            [this] {
                note(QStringLiteral("focus and select a field"));
                anyField()->setFocus(Qt::MouseFocusReason);
                QCoreApplication::processEvents();
            } },
    };
    for (const auto &[weight, action] : actions) {
        m_weights << weight;
        m_actions << action;
    }
    m_closer.start();
    createWindow();
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
    const QString std = field(0)->text(), min = field(1)->text(), sek = field(2)->text();
    for (const QString &text : { std, min, sek })
        if (text.size() > 2)
            problems << QStringLiteral("a field holds more than two characters: %1").arg(printable(text));

    const qint32 expected = EnteredTime::fromTexts(std, min, sek).gameSeconds();
    if (m_window->clockState().Spielzeit != expected)
        problems << QStringLiteral("Spielzeit %1, but the fields %2 %3 %4 give %5")
                        .arg(m_window->clockState().Spielzeit)
                        .arg(printable(std), printable(min), printable(sek))
                        .arg(expected);

    const QString caption = child<FaceButton>("cmdStart")->text();
    if (caption != QStringLiteral("Start") && caption != QStringLiteral("Stopp"))
        problems << QStringLiteral("cmdStart reads %1").arg(printable(caption));
    if (timerActive() && caption != QStringLiteral("Stopp"))
        problems << QStringLiteral("Timer1 runs while cmdStart reads %1").arg(printable(caption));

    for (const char *name : { "pnlHalbzeit1", "pnlHalbzeit2", "pnlZeit" }) {
        const int percent = child<FloodPanel>(name)->floodPercent();
        if (percent < 0 || percent > 100)
            problems << QStringLiteral("%1 floods %2 %").arg(QLatin1String(name)).arg(percent);
    }
    const std::pair<const char *, QStringList> banners[] = {
        { "pnlHalbzeit1Text", { QStringLiteral("Die 1. Halbzeit ist abgelaufen !") } },
        { "pnlHalbzeit2Text", { QStringLiteral("Die 2. Halbzeit ist abgelaufen !") } },
        { "pnlZeitText",
            { QStringLiteral("Die Spielzeit ist abgelaufen !"),
                QStringLiteral("Spielzeit unterbrochen !") } },
    };
    for (const auto &[name, allowed] : banners) {
        const auto *panel = child<TextPanel>(name);
        if (!panel->isHidden() && !allowed.contains(panel->text()))
            problems
                << QStringLiteral("%1 is shown with %2").arg(QLatin1String(name), printable(panel->text()));
    }
    return problems.join(QStringLiteral("; "));
}

void TestRandomOperator::typeInto(QLineEdit *target)
{
    const QString text = m_texts.any().left(24);
    const bool replace = m_random.bounded(2) == 0;
    note(QStringLiteral("type %1 into %2%3")
             .arg(printable(text), target->objectName(),
                 replace ? QStringLiteral(" (replacing)") : QString()));
    target->setFocus(Qt::TabFocusReason);
    if (replace)
        target->selectAll();
    else
        target->setCursorPosition(int(m_random.bounded(int(target->text().size()) + 1)));
    // keyClick() takes only Latin-1; other characters arrive as key events carrying their text, as
    // from an input method (a surrogate pair in one event).
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
    const QString text = m_texts.any();
    const int how = m_random.bounded(3);
    note(QStringLiteral("%1 %2 into %3")
             .arg(QLatin1String(std::array { "setText", "paste (replacing)", "paste" }[how]))
             .arg(printable(text), target->objectName()));
    if (how == 0)
        return target->setText(text);
    QGuiApplication::clipboard()->setText(text);
    target->setFocus(Qt::TabFocusReason);
    if (how == 1)
        target->selectAll();
    else
        target->end(false);
    QTest::keySequence(target, QKeySequence::Paste);
}

void TestRandomOperator::spinEvent()
{
    const int index = m_random.bounded(3);
    const bool up = m_random.bounded(2) == 0;
    auto *target = child<SpinButton>(std::array { "spnStd", "spnMin", "spnsek" }[index]);
    const QString what = target->objectName() + (up ? QStringLiteral(" up") : QStringLiteral(" down"));
    switch (m_random.bounded(3)) {
    case 0:
        note(QStringLiteral("emit ") + what);
        (target->*(up ? &SpinButton::SpinUp : &SpinButton::SpinDown))();
        break;
    case 1: {
        note(QStringLiteral("call the handler of ") + what);
        using Handler = void (VelorandWindow::*)();
        static const Handler handlers[3][2]
            = { { &VelorandWindow::spnStd_SpinDown, &VelorandWindow::spnStd_SpinUp },
                  { &VelorandWindow::spnMin_SpinDown, &VelorandWindow::spnMin_SpinUp },
                  { &VelorandWindow::spnsek_SpinDown, &VelorandWindow::spnsek_SpinUp } };
        (m_window.get()->*handlers[index][up])();
        break;
    }
    default: {
        // A real click on the arrow, which the button ignores while disabled.
        const QRect area = target->rect();
        note(QStringLiteral("click %1 arrow (%2)")
                 .arg(what, target->isEnabled() ? QStringLiteral("enabled") : QStringLiteral("disabled")));
        QTest::mouseClick(target, Qt::LeftButton, {},
            QPoint(
                area.center().x(), up ? area.top() + area.height() / 4 : area.bottom() - area.height() / 4));
    }
    }
}

void TestRandomOperator::randomOperator()
{
    QElapsedTimer clock;
    clock.start();
    for (m_step = 0; m_step < m_steps; ++m_step) {
        m_actions[weighted(m_random, m_weights)]();
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
