#pragma once

// Harness for tests of the real velorand binary in a virtual X session. A Session starts its
// own Xvfb (the server picks a free display, so parallel runs never collide) and openbox, runs
// the X tools against that display and kills what it started. A ClockApp runs the program there.

#include <QtGui>
#include <QtTest>

#include <cmath>
#include <csignal>
#include <functional>
#include <memory>
#include <sys/prctl.h>

namespace xsession {

/// Children die with the test process, also when it crashes.
inline void dieWithParent(QProcess &process)
{
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
}

inline void stopProcess(QProcess &process)
{
    process.terminate(); // all of this does nothing when it is not running
    if (!process.waitForFinished(2000)) {
        process.kill();
        process.waitForFinished(2000);
    }
}

inline bool waitFor(const std::function<bool()> &condition, int timeoutMs, int intervalMs = 40)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QTest::qWait(intervalMs);
    }
    return true;
}

class Session
{
public:
    ~Session()
    {
        stopProcess(m_openbox);
        stopProcess(m_xvfb);
    }

    bool start(QString *error)
    {
        const QString runtime = m_home.filePath(QStringLiteral("runtime"));
        if (!m_home.isValid() || !QDir().mkpath(runtime))
            return fail(error, QStringLiteral("no temporary directory"));
        QFile::setPermissions(
            runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

        // -displayfd 1: the server picks a free display and writes its number to stdout.
        dieWithParent(m_xvfb);
        m_xvfb.setStandardErrorFile(QProcess::nullDevice());
        m_xvfb.start(QStringLiteral("Xvfb"),
            QStringLiteral("-displayfd 1 -screen 0 1024x768x24 -nolisten tcp").split(QLatin1Char(' ')));
        m_xvfb.waitForStarted(5000);
        QByteArray number;
        QElapsedTimer timer;
        timer.start();
        while (!number.contains('\n') && timer.elapsed() < 15000 && m_xvfb.state() == QProcess::Running) {
            m_xvfb.waitForReadyRead(200);
            number += m_xvfb.readAllStandardOutput();
        }
        bool ok = false;
        m_display = QStringLiteral(":") + QString::number(number.trimmed().toInt(&ok));
        if (!ok)
            return fail(error, QStringLiteral("Xvfb reported no display number: ") + m_xvfb.errorString());

        dieWithParent(m_openbox);
        m_openbox.setProcessEnvironment(environment());
        m_openbox.setStandardOutputFile(QProcess::nullDevice());
        m_openbox.setStandardErrorFile(QProcess::nullDevice());
        // The window manager is in charge once it has announced itself on the root window. Now and
        // then it cannot open a display that has only just come up; then it is started again.
        const auto managed
            = [this] { return !property(QString(), QStringLiteral("_NET_SUPPORTING_WM_CHECK")).isEmpty(); };
        for (int attempt = 0; attempt < 3; ++attempt) {
            m_openbox.start(QStringLiteral("openbox"), { QStringLiteral("--sm-disable") });
            m_openbox.waitForStarted(5000);
            waitFor([&] { return managed() || m_openbox.state() == QProcess::NotRunning; }, 10000, 50);
            if (managed())
                return true;
            stopProcess(m_openbox);
            QTest::qWait(300);
        }
        return fail(error, QStringLiteral("openbox did not take over the display"));
    }

    /// The environment of everything run on the display; the test itself draws off screen.
    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : { "QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "SESSION_MANAGER", "XAUTHORITY" })
            env.remove(QLatin1String(name));
        env.insert(QStringLiteral("DISPLAY"), m_display);
        env.insert(QStringLiteral("HOME"), m_home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_CACHE_HOME"), m_home.filePath(QStringLiteral("cache")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_home.filePath(QStringLiteral("runtime")));
        return env;
    }

    /// Runs an X tool on the display; its standard output, or nothing if it failed.
    QByteArray run(const QString &program, const QStringList &arguments, bool *ok = nullptr) const
    {
        QProcess process;
        dieWithParent(process);
        process.setProcessEnvironment(environment());
        process.setStandardErrorFile(QProcess::nullDevice());
        process.start(program, arguments);
        const bool finished = process.waitForFinished(10000);
        if (!finished)
            stopProcess(process);
        if (ok)
            *ok = finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
        return finished ? process.readAllStandardOutput() : QByteArray();
    }

    bool xdotool(const QStringList &arguments) const
    {
        bool ok = false;
        run(QStringLiteral("xdotool"), arguments, &ok);
        return ok;
    }

    QImage screenshot() const
    {
        const QByteArray png = run(QStringLiteral("import"),
            { QStringLiteral("-window"), QStringLiteral("root"), QStringLiteral("png:-") });
        return QImage::fromData(png, "PNG").convertToFormat(QImage::Format_RGB32);
    }

    void saveScreenshotIfFailed(const QString &name) const
    {
        if (QTest::currentTestFailed())
            screenshot().save(
                QStringLiteral("%1-%2.png").arg(name, QString::fromLatin1(QTest::currentTestFunction())));
    }

    /// Ids of the viewable windows whose name (or with `by` "--class" class) matches.
    QStringList findWindows(const QString &pattern, const QString &by = QStringLiteral("--name")) const
    {
        return QString::fromUtf8(
            run(QStringLiteral("xdotool"),
                { QStringLiteral("search"), QStringLiteral("--onlyvisible"), by, pattern }))
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    /// Absolute place and size of a window's own area (without the frame); `info` gets all of xwininfo.
    QRect windowRect(const QString &id, QString *info = nullptr) const
    {
        const QString out = QString::fromUtf8(run(QStringLiteral("xwininfo"), { QStringLiteral("-id"), id }));
        if (info)
            *info = out;
        const auto field = [&out](const char *label) {
            const QRegularExpressionMatch match
                = QRegularExpression(QLatin1String(label) + QStringLiteral(":\\s*(-?\\d+)")).match(out);
            return match.hasMatch() ? match.captured(1).toInt() : -1;
        };
        return QRect(
            field("Absolute upper-left X"), field("Absolute upper-left Y"), field("Width"), field("Height"));
    }

    /// The values of a window property (atoms, numbers or window ids); an empty id means the root.
    QStringList property(const QString &id, const QString &name) const
    {
        const QStringList target = id.isEmpty() ? QStringList { QStringLiteral("-root") }
                                                : QStringList { QStringLiteral("-id"), id };
        const QString out = QString::fromUtf8(run(QStringLiteral("xprop"), target + QStringList { name }));
        // "NAME(TYPE) = a, b" for atoms and numbers, "NAME(WINDOW): window id # 0x1, 0x2" for windows.
        const QRegularExpressionMatch match
            = QRegularExpression(QStringLiteral("(?:window id # |= )(.*)")).match(out);
        QStringList values = match.captured(1).split(QLatin1Char(','), Qt::SkipEmptyParts);
        for (QString &value : values)
            value = value.trimmed();
        return values;
    }

    /// Pointer and keyboard, through the XTEST extension like a real operator.
    bool moveTo(QPoint p) const
    {
        return xdotool({ QStringLiteral("mousemove"), QString::number(p.x()), QString::number(p.y()) });
    }
    bool click(QPoint p, int button = 1) const
    {
        return moveTo(p) && xdotool({ QStringLiteral("click"), QString::number(button) });
    }
    bool key(const QString &keys) const { return xdotool({ QStringLiteral("key"), keys }); }

    /// Presses the left button at `from`, moves by `offset` in a few steps and releases it.
    bool drag(QPoint from, QPoint offset, int steps = 6) const
    {
        bool ok = moveTo(from) && xdotool({ QStringLiteral("mousedown"), QStringLiteral("1") });
        QTest::qWait(150); // let the press reach the program and the window manager take over
        for (int i = 1; ok && i <= steps; ++i) {
            ok = moveTo(from + offset * i / steps);
            QTest::qWait(30);
        }
        return xdotool({ QStringLiteral("mouseup"), QStringLiteral("1") }) && ok;
    }

private:
    static bool fail(QString *error, const QString &why)
    {
        *error = why;
        return false;
    }

    QProcess m_xvfb;
    QProcess m_openbox;
    QTemporaryDir m_home;
    QString m_display;
};

// ---- Pixels -------------------------------------------------------------------------------------

inline bool near(QRgb pixel, const QColor &colour, int tolerance = 12)
{
    return qAbs(qRed(pixel) - colour.red()) <= tolerance && qAbs(qGreen(pixel) - colour.green()) <= tolerance
        && qAbs(qBlue(pixel) - colour.blue()) <= tolerance;
}

/// Share of the pixels of `area` (the whole image if empty) that satisfy `test`.
inline double share(const QImage &image, QRect area, const std::function<bool(QRgb)> &test)
{
    area = area.isEmpty() ? image.rect() : area.intersected(image.rect());
    qint64 hits = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            hits += test(image.pixel(x, y)) ? 1 : 0;
    return area.isEmpty() ? 0.0 : double(hits) / double(qint64(area.width()) * area.height());
}

inline double shareOf(const QImage &image, const QRect &area, const QColor &colour, int tolerance = 12)
{
    return share(image, area, [&colour, tolerance](QRgb p) { return near(p, colour, tolerance); });
}

/// Whether two digit boxes show the same digits, whatever their colour: the same pixels are lit.
inline bool sameDigits(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return false;
    const auto lit = [](QRgb p) { return qMax(qMax(qRed(p), qGreen(p)), qBlue(p)) > 90; };
    int differing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            differing += lit(a.pixel(x, y)) != lit(b.pixel(x, y)) ? 1 : 0;
    return differing <= 4;
}

/// How far each pixel of a button face has gone from the face colour (its most frequent one)
/// towards the black of the caption, from 0 to 1.
inline QList<double> inkShares(const QImage &face)
{
    QHash<QRgb, int> counts;
    QRgb background = 0;
    for (int y = 0; y < face.height(); ++y)
        for (int x = 0; x < face.width(); ++x)
            if (++counts[face.pixel(x, y)] > counts.value(background))
                background = face.pixel(x, y);
    const auto distance = [](QRgb a, QRgb b) {
        return std::hypot(qRed(a) - qRed(b), qGreen(a) - qGreen(b), qBlue(a) - qBlue(b));
    };
    const double full = qMax(1.0, distance(background, qRgb(0, 0, 0)));
    QList<double> shares;
    for (int y = 0; y < face.height(); ++y)
        for (int x = 0; x < face.width(); ++x)
            shares << qMin(1.0, distance(face.pixel(x, y), background) / full);
    return shares;
}

/// How much ink the caption on a button face puts down; the face's own gradient is no ink.
inline double captionInk(const QImage &face)
{
    double ink = 0;
    for (const double share : inkShares(face))
        ink += share < 0.2 ? 0.0 : share;
    return ink;
}

/// Whether two button faces carry the same caption, whatever their face colours.
inline bool sameCaption(const QImage &a, const QImage &b)
{
    const QList<double> sa = inkShares(a), sb = inkShares(b);
    qsizetype differing = qAbs(sa.size() - sb.size()) * 7;
    for (qsizetype i = 0; i < qMin(sa.size(), sb.size()); ++i)
        differing += (sa[i] > 0.4) != (sb[i] > 0.4) ? 1 : 0;
    return differing <= 6;
}

// ---- Titles and layout (client-area pixels) -----------------------------------------------------

inline const QRegularExpression plainTitle(QStringLiteral("^ Velorand : $"));
inline const QRegularExpression clockTitle(QStringLiteral("^ Velorand :  \\[(\\d\\d):(\\d\\d):(\\d\\d)\\]$"));
inline const QRegularExpression remainingTitle(QStringLiteral("^(\\d\\d):(\\d\\d):(\\d\\d)$"));

namespace layout {
    inline const QSize clientSize(425, 393);
    inline const QRect txtStd(40, 24, 49, 36), txtMin(148, 24, 49, 36), txtSek(248, 24, 49, 36);
    inline const QRect spnMin(198, 24, 17, 36);
    inline const QRect lblStdAb(40, 96, 49, 36), lblMinAb(148, 96, 49, 36), lblSekAb(248, 96, 49, 36);
    inline const QRect lblStd(40, 168, 49, 36), lblMin(148, 168, 49, 36), lblSek(248, 168, 49, 36);
    inline const QRect pnlHalbzeit1(16, 256, 393, 20), pnlHalbzeit2(16, 296, 393, 20),
        pnlZeit(16, 348, 393, 28);
    inline const QRect cmdStart(342, 20, 65, 36), cmdPause(342, 65, 65, 36), cmdReset(342, 110, 65, 36),
        cmdUhrAus(342, 168, 65, 36);
    inline const QPoint fraZeiteingabe(128, 56), fraZeit(128, 198);
    inline const QPoint background(4, 70), backgroundRight(328, 100);
    inline const QPoint frame1Background(110, 110), frame2Background(308, 286), frame3Background(337, 104);

    inline QRect inner(const QRect &r, int margin = 3)
    {
        return r.adjusted(margin, margin, -margin, -margin);
    }
} // namespace layout

namespace colours {
    inline const QColor black(0, 0, 0), navy(0, 0, 128), grey(128, 128, 128), green(0, 255, 0),
        yellow(255, 255, 0), red(255, 0, 0), face(212, 208, 200);
}

/// A picture of the client area: the bars show no time gone.
inline bool barsEmpty(const QImage &client)
{
    return shareOf(client, layout::inner(layout::pnlZeit), colours::navy) > 0.95
        && shareOf(client, layout::inner(layout::pnlHalbzeit1), colours::grey) > 0.95
        && shareOf(client, layout::inner(layout::pnlHalbzeit2), colours::grey) > 0.95;
}

/// The program under test, running in a Session.
class ClockApp
{
public:
    explicit ClockApp(const Session &session)
        : m_session(session)
    { }
    ~ClockApp() { stopProcess(m_process); }

    QProcess &process() { return m_process; }
    QString windowId() const { return m_window; }

    /// Starts the program and waits until its window is on screen.
    bool start(QString *error)
    {
        dieWithParent(m_process);
        m_process.setProcessEnvironment(m_session.environment());
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral(VELORAND_BINARY), {});
        // A hidden helper window is named after the program too; the clock's title starts with a blank.
        QStringList ids;
        if (waitFor([&] { return !(ids = m_session.findWindows(QStringLiteral("^ Velorand"))).isEmpty(); },
                10000, 20)) {
            m_window = ids.first();
            return true;
        }
        *error = QStringLiteral("no window of velorand appeared: ") + m_process.errorString();
        return false;
    }

    QString title() const
    {
        QString name = QString::fromUtf8(
            m_session.run(QStringLiteral("xdotool"), { QStringLiteral("getwindowname"), m_window }));
        name.chop(1); // the newline
        return name;
    }
    /// Waits for a title matching `re` (and `accept` of its time in seconds); the time, or -1.
    int waitForTitle(const QRegularExpression &re, const std::function<bool(int)> &accept = {}) const
    {
        int seconds = -1;
        waitFor(
            [&] {
                const QRegularExpressionMatch m = re.match(title());
                seconds = !m.hasMatch()
                    ? -1
                    : m.captured(1).toInt() * 3600 + m.captured(2).toInt() * 60 + m.captured(3).toInt();
                return m.hasMatch() && (!accept || accept(seconds));
            },
            2500);
        return seconds;
    }
    QStringList netWmState() const { return m_session.property(m_window, QStringLiteral("_NET_WM_STATE")); }
    bool isHidden() const { return netWmState().contains(QStringLiteral("_NET_WM_STATE_HIDDEN")); }

    QRect clientRect() const { return m_session.windowRect(m_window); }
    QPoint toScreen(QPoint client) const { return clientRect().topLeft() + client; }
    /// The client area with the window manager's frame around it.
    QRect frameRect() const
    {
        const QStringList e = m_session.property(m_window, QStringLiteral("_NET_FRAME_EXTENTS"));
        const QRect client = clientRect();
        return e.size() != 4 ? client
                             : client.adjusted(-e[0].toInt(), -e[2].toInt(), e[1].toInt(), e[3].toInt());
    }

    bool click(QPoint client, int button = 1) const { return m_session.click(toScreen(client), button); }
    bool moveTo(QPoint client) const { return m_session.moveTo(toScreen(client)); }
    /// A part of the client area (all of it by default), from a fresh screenshot.
    QImage grab(const QRect &client = QRect(QPoint(), layout::clientSize)) const
    {
        return m_session.screenshot().copy(client.translated(clientRect().topLeft()));
    }

    /// Waits for the process to end and reports whether it ended normally with status 0.
    bool exitedCleanly(int timeoutMs)
    {
        return m_process.waitForFinished(timeoutMs) && m_process.exitStatus() == QProcess::NormalExit
            && m_process.exitCode() == 0;
    }

    /// Waits until the window is on screen, settled and drawn where its client area lies.
    bool waitUntilShown(int timeoutMs = 3000) const
    {
        QRect previous;
        return waitFor(
            [&] {
                const QRect client = clientRect();
                const bool settled = client == previous && !isHidden();
                previous = client;
                const QImage shot = settled ? grab() : QImage();
                return settled && shareOf(shot, layout::inner(layout::lblStdAb), colours::black, 20) > 0.5
                    && shareOf(shot, layout::inner(layout::lblStd), colours::black, 20) > 0.5;
            },
            timeoutMs, 50);
    }

    /// Whether the popup menu opens at the screen point `pointer` within `timeoutMs`; its place.
    QRect waitForPopup(QPoint pointer, int timeoutMs = 3000) const
    {
        QRect found;
        waitFor(
            [&] {
                for (const QString &id :
                    m_session.findWindows(QStringLiteral("velorand"), QStringLiteral("--class"))) {
                    QString info;
                    const QRect r = m_session.windowRect(id, &info);
                    if (id != m_window && info.contains(QStringLiteral("Override Redirect State: yes"))
                        && (r.topLeft() - pointer).manhattanLength() <= 4 && r.width() > 40) {
                        found = r;
                        return true;
                    }
                }
                return false;
            },
            timeoutMs, 50);
        return found;
    }

    /// Opens the popup menu with a right press at `client` and clicks item 0 (Minimieren) or 1 (Schliessen).
    bool chooseFromMenu(QPoint client, int item) const
    {
        const QPoint pointer = toScreen(client);
        const QRect menu = m_session.click(pointer, 3) ? waitForPopup(pointer) : QRect();
        return !menu.isEmpty()
            && m_session.click(QPoint(menu.center().x(), menu.top() + menu.height() * (2 * item + 1) / 4));
    }

    /// Clicks an entry field, waits until it shows its text selected and types `digits`.
    bool typeInto(const QRect &field, const QString &digits) const
    {
        const QImage before = grab(field);
        return click(field.center()) && waitFor([&] { return !sameDigits(grab(field), before); }, 2000, 30)
            && m_session.xdotool(
                { QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("40"), digits });
    }

private:
    const Session &m_session;
    QProcess m_process;
    QString m_window;
};

} // namespace xsession
