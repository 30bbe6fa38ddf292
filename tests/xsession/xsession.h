#pragma once

// Harness for tests that run the real velorand binary in a virtual X session.
//
// A Session starts its own Xvfb (on a display number the server picks itself,
// so parallel test runs never collide) and an openbox window manager, runs the
// X tools (xdotool, xprop, xwininfo, import) against that display and kills
// everything it started when it goes away. A ClockApp runs the program in the
// session and finds its top-level window. The layout namespace holds the
// client-area geometry of the window's elements in pixels.

#include <QByteArray>
#include <QColor>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QPoint>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <csignal>
#include <functional>
#include <sys/prctl.h>

namespace xsession {

/// Children die with the test process, also when it crashes.
inline void dieWithParent(QProcess &process)
{
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
}

inline void stopProcess(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(2000)) {
        process.kill();
        process.waitForFinished(2000);
    }
}

/// Polls `condition` every few milliseconds until it holds or `timeoutMs` has passed.
inline bool waitFor(const std::function<bool()> &condition, int timeoutMs, int intervalMs = 40)
{
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        if (condition())
            return true;
        if (timer.elapsed() > timeoutMs)
            return false;
        QTest::qWait(intervalMs);
    }
}

class Session
{
public:
    Session() = default;
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;
    ~Session() { stop(); }

    /// Starts Xvfb and openbox; on failure `error` says why.
    bool start(QString *error)
    {
        if (!m_home.isValid()) {
            *error = QStringLiteral("no temporary directory");
            return false;
        }
        QDir(m_home.path()).mkpath(QStringLiteral("runtime"));
        QFile::setPermissions(m_home.filePath(QStringLiteral("runtime")),
            QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

        // -displayfd 1: the server picks a free display and writes its number to stdout.
        dieWithParent(m_xvfb);
        m_xvfb.setStandardErrorFile(QProcess::nullDevice());
        m_xvfb.start(QStringLiteral("Xvfb"),
            { QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                QStringLiteral("0"), QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"),
                QStringLiteral("tcp") });
        if (!m_xvfb.waitForStarted(5000)) {
            *error = QStringLiteral("Xvfb does not start: ") + m_xvfb.errorString();
            return false;
        }
        QByteArray number;
        QElapsedTimer timer;
        timer.start();
        while (!number.contains('\n') && timer.elapsed() < 15000 && m_xvfb.state() == QProcess::Running) {
            m_xvfb.waitForReadyRead(200);
            number += m_xvfb.readAllStandardOutput();
        }
        bool ok = false;
        const int display = number.trimmed().toInt(&ok);
        if (!ok) {
            *error = QStringLiteral("Xvfb reported no display number");
            return false;
        }
        m_display = QStringLiteral(":") + QString::number(display);

        dieWithParent(m_openbox);
        m_openbox.setProcessEnvironment(environment());
        m_openbox.setStandardOutputFile(QProcess::nullDevice());
        m_openbox.setStandardErrorFile(QProcess::nullDevice());
        m_openbox.start(QStringLiteral("openbox"), { QStringLiteral("--sm-disable") });
        if (!m_openbox.waitForStarted(5000)) {
            *error = QStringLiteral("openbox does not start: ") + m_openbox.errorString();
            return false;
        }
        // The window manager is in charge once it has announced itself on the root window.
        const bool managed = waitFor(
            [this] {
                return run(QStringLiteral("xprop"),
                    { QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK") })
                    .contains(QStringLiteral("window id"));
            },
            10000, 50);
        if (!managed) {
            *error = QStringLiteral("openbox did not take over the display");
            return false;
        }
        return true;
    }

    void stop()
    {
        stopProcess(m_openbox);
        stopProcess(m_xvfb);
    }

    QString display() const { return m_display; }

    /// The environment for everything run on the virtual display. The test itself draws
    /// off screen; the programs it starts must use the display instead.
    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.remove(QStringLiteral("SESSION_MANAGER"));
        env.remove(QStringLiteral("XAUTHORITY"));
        env.insert(QStringLiteral("DISPLAY"), m_display);
        env.insert(QStringLiteral("HOME"), m_home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_CACHE_HOME"), m_home.filePath(QStringLiteral("cache")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_home.filePath(QStringLiteral("runtime")));
        return env;
    }

    /// Runs an X tool on the display and returns its standard output.
    QString run(const QString &program, const QStringList &arguments, int *exitCode = nullptr) const
    {
        const QByteArray out = runRaw(program, arguments, exitCode);
        return QString::fromLocal8Bit(out);
    }

    QByteArray runRaw(const QString &program, const QStringList &arguments, int *exitCode = nullptr) const
    {
        QProcess process;
        dieWithParent(process);
        process.setProcessEnvironment(environment());
        process.setStandardErrorFile(QProcess::nullDevice());
        process.start(program, arguments);
        if (!process.waitForFinished(10000)) {
            process.kill();
            process.waitForFinished(1000);
            if (exitCode)
                *exitCode = -1;
            return {};
        }
        if (exitCode)
            *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        return process.readAllStandardOutput();
    }

    bool xdotool(const QStringList &arguments) const
    {
        int code = 0;
        run(QStringLiteral("xdotool"), arguments, &code);
        return code == 0;
    }

    /// The whole screen, as 32-bit RGB.
    QImage screenshot() const
    {
        const QByteArray png = runRaw(QStringLiteral("import"),
            { QStringLiteral("-window"), QStringLiteral("root"), QStringLiteral("png:-") });
        m_last = QImage::fromData(png, "PNG").convertToFormat(QImage::Format_RGB32);
        return m_last;
    }

    /// Keeps the last screenshot next to the test binary when the current test failed.
    void saveScreenshotIfFailed(const QString &name) const
    {
        if (QTest::currentTestFailed()) {
            const QImage shot = screenshot();
            shot.save(
                QStringLiteral("%1-%2.png").arg(name, QString::fromLatin1(QTest::currentTestFunction())));
        }
    }

    /// Ids of the viewable top-level windows whose name matches the regular expression.
    QStringList findWindows(const QString &namePattern) const
    {
        return run(QStringLiteral("xdotool"),
            { QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                namePattern })
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    QString windowName(const QString &id) const
    {
        QString name = run(QStringLiteral("xdotool"), { QStringLiteral("getwindowname"), id });
        if (name.endsWith(QLatin1Char('\n')))
            name.chop(1);
        return name;
    }

    /// Absolute position and size of a window's own area (without the frame), from xwininfo.
    QRect windowRect(const QString &id) const
    {
        const QString info = run(QStringLiteral("xwininfo"), { QStringLiteral("-id"), id });
        const auto field = [&info](const QString &label) {
            const QRegularExpression re(QRegularExpression::escape(label) + QStringLiteral(":\\s*(-?\\d+)"));
            const QRegularExpressionMatch match = re.match(info);
            return match.hasMatch() ? match.captured(1).toInt() : -1;
        };
        return QRect(field(QStringLiteral("Absolute upper-left X")),
            field(QStringLiteral("Absolute upper-left Y")), field(QStringLiteral("Width")),
            field(QStringLiteral("Height")));
    }

    bool isOverrideRedirect(const QString &id) const
    {
        return run(QStringLiteral("xwininfo"), { QStringLiteral("-id"), id })
            .contains(QStringLiteral("Override Redirect State: yes"));
    }

    /// The values of a window property: atoms (_NET_WM_STATE), numbers (_NET_FRAME_EXTENTS) or
    /// window ids in hex (_NET_CLIENT_LIST_STACKING). An empty id means the root window.
    QStringList property(const QString &id, const QString &name) const
    {
        QStringList args;
        if (id.isEmpty())
            args << QStringLiteral("-root");
        else
            args << QStringLiteral("-id") << id;
        args << name;
        const QString out = run(QStringLiteral("xprop"), args);
        // "NAME(TYPE) = a, b" for atoms and numbers, "NAME(WINDOW): window id # 0x1, 0x2" for windows.
        const QString windows = QStringLiteral("window id # ");
        qsizetype start = out.indexOf(windows);
        if (start >= 0)
            start += windows.size();
        else if ((start = out.indexOf(QLatin1Char('='))) >= 0)
            start += 1;
        else
            return {};
        QStringList values;
        for (const QString &value : out.mid(start).split(QLatin1Char(','), Qt::SkipEmptyParts))
            values << value.trimmed();
        return values;
    }

    /// Pointer and keyboard, through the XTEST extension like a real operator.
    bool moveTo(QPoint screen) const
    {
        return xdotool(
            { QStringLiteral("mousemove"), QString::number(screen.x()), QString::number(screen.y()) });
    }
    bool click(QPoint screen, int button = 1) const
    {
        return xdotool({ QStringLiteral("mousemove"), QString::number(screen.x()),
            QString::number(screen.y()), QStringLiteral("click"), QString::number(button) });
    }
    bool typeText(const QString &text) const
    {
        return xdotool({ QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("40"), text });
    }
    bool key(const QString &keys) const { return xdotool({ QStringLiteral("key"), keys }); }

    /// Presses the left button at `from`, moves by `offset` in a few steps and releases it.
    bool drag(QPoint from, QPoint offset, int steps = 6) const
    {
        bool ok = moveTo(from) && xdotool({ QStringLiteral("mousedown"), QStringLiteral("1") });
        QTest::qWait(150); // let the press reach the program and the window manager take over
        for (int i = 1; ok && i <= steps; ++i) {
            const QPoint step = from + offset * i / steps;
            ok = moveTo(step);
            QTest::qWait(30);
        }
        return xdotool({ QStringLiteral("mouseup"), QStringLiteral("1") }) && ok;
    }

private:
    QProcess m_xvfb;
    QProcess m_openbox;
    QTemporaryDir m_home;
    QString m_display;
    mutable QImage m_last;
};

// ---- Pixels -------------------------------------------------------------------------------------

inline bool near(QRgb pixel, const QColor &colour, int tolerance = 12)
{
    return qAbs(qRed(pixel) - colour.red()) <= tolerance && qAbs(qGreen(pixel) - colour.green()) <= tolerance
        && qAbs(qBlue(pixel) - colour.blue()) <= tolerance;
}

/// Share of the pixels of `area` in `image` that satisfy `test`.
inline double share(const QImage &image, const QRect &area, const std::function<bool(QRgb)> &test)
{
    const QRect r = area.intersected(image.rect());
    if (r.isEmpty())
        return 0.0;
    qint64 hits = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            hits += test(image.pixel(x, y)) ? 1 : 0;
    return double(hits) / double(qint64(r.width()) * r.height());
}

inline double shareOf(const QImage &image, const QRect &area, const QColor &colour, int tolerance = 12)
{
    return share(image, area, [&colour, tolerance](QRgb p) { return near(p, colour, tolerance); });
}

inline bool isDark(QRgb p)
{
    return qRed(p) < 90 && qGreen(p) < 90 && qBlue(p) < 90;
}

/// Number of pixels that differ between two equally sized images by more than a little.
inline int differingPixels(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return a.width() * a.height() + 1;
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            count += near(a.pixel(x, y), QColor(b.pixel(x, y)), 24) ? 0 : 1;
    return count;
}

/// Which pixels of a digit box are lit (not black), so that digits can be compared
/// whatever their colour.
inline QImage litMask(const QImage &image)
{
    QImage mask(image.size(), QImage::Format_Mono);
    mask.fill(0);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            mask.setPixel(x, y, qMax(qMax(qRed(p), qGreen(p)), qBlue(p)) > 90 ? 1 : 0);
        }
    return mask;
}

inline bool sameDigits(const QImage &a, const QImage &b)
{
    const QImage ma = litMask(a);
    const QImage mb = litMask(b);
    if (ma.size() != mb.size())
        return false;
    int count = 0;
    for (int y = 0; y < ma.height(); ++y)
        for (int x = 0; x < ma.width(); ++x)
            count += ma.pixelIndex(x, y) != mb.pixelIndex(x, y) ? 1 : 0;
    return count <= 4;
}

/// The most frequent colour of an image: the face of a button.
inline QRgb dominantColour(const QImage &image)
{
    QHash<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ++counts[image.pixel(x, y)];
    QRgb colour = 0;
    int most = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > most) {
            most = it.value();
            colour = it.key();
        }
    return colour;
}

/// How far each pixel of a button face has gone from the face colour towards the black of
/// the caption, from 0 (face) to 1 (black), whatever the face colour.
inline QList<double> inkShares(const QImage &face)
{
    const QRgb background = dominantColour(face);
    const auto distance = [](QRgb a, QRgb b) {
        const int r = qRed(a) - qRed(b), g = qGreen(a) - qGreen(b), bl = qBlue(a) - qBlue(b);
        return std::sqrt(double(r * r + g * g + bl * bl));
    };
    const double full = qMax(1.0, distance(background, qRgb(0, 0, 0)));
    QList<double> shares;
    shares.reserve(qsizetype(face.width()) * face.height());
    for (int y = 0; y < face.height(); ++y)
        for (int x = 0; x < face.width(); ++x)
            shares << qMin(1.0, distance(face.pixel(x, y), background) / full);
    return shares;
}

/// How much ink the caption on a button face puts down, in pixels. Shades of the face
/// itself (its gradient) are no ink.
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
    if (a.size() != b.size())
        return false;
    const QList<double> sa = inkShares(a);
    const QList<double> sb = inkShares(b);
    int differing = 0;
    for (qsizetype i = 0; i < sa.size(); ++i)
        differing += (sa[i] > 0.4) != (sb[i] > 0.4) ? 1 : 0;
    return differing <= 6;
}

// ---- Window titles ------------------------------------------------------------------------------

inline const QRegularExpression plainTitle(QStringLiteral("^ Velorand : $"));
inline const QRegularExpression clockTitle(QStringLiteral("^ Velorand :  \\[(\\d\\d):(\\d\\d):(\\d\\d)\\]$"));
inline const QRegularExpression remainingTitle(QStringLiteral("^(\\d\\d):(\\d\\d):(\\d\\d)$"));

/// The time in a title, in seconds.
inline int secondsOf(const QRegularExpressionMatch &match)
{
    return match.captured(1).toInt() * 3600 + match.captured(2).toInt() * 60 + match.captured(3).toInt();
}

// ---- Layout of the window, client-area pixels ---------------------------------------------------

namespace layout {
    inline const QSize clientSize(425, 393);

    // Entry fields and their spin buttons, in fraZeiteingabe at (8, 4).
    inline const QRect txtStd(40, 24, 49, 36);
    inline const QRect txtMin(148, 24, 49, 36);
    inline const QRect txtSek(248, 24, 49, 36);
    inline const QRect spnStd(90, 24, 17, 36);
    inline const QRect spnMin(198, 24, 17, 36);
    inline const QRect spnSek(298, 24, 17, 36);

    // Elapsed time, in Frame1 at (8, 76).
    inline const QRect lblStdAb(40, 96, 49, 36);
    inline const QRect lblMinAb(148, 96, 49, 36);
    inline const QRect lblSekAb(248, 96, 49, 36);

    // Remaining time, in fraZeit at (8, 148).
    inline const QRect lblStd(40, 168, 49, 36);
    inline const QRect lblMin(148, 168, 49, 36);
    inline const QRect lblSek(248, 168, 49, 36);

    // Bars, in Frame2 at (8, 220); each banner lies one pixel inside its bar.
    inline const QRect pnlHalbzeit1(16, 256, 393, 20);
    inline const QRect pnlHalbzeit2(16, 296, 393, 20);
    inline const QRect pnlZeit(16, 348, 393, 28);

    // Buttons, in Frame3 at (332, 4).
    inline const QRect cmdStart(342, 20, 65, 36);
    inline const QRect cmdPause(342, 65, 65, 36);
    inline const QRect cmdReset(342, 110, 65, 36);
    inline const QRect cmdUhrAus(342, 168, 65, 36);

    // Places where a press belongs to the window itself or to a draggable group.
    inline const QPoint background(4, 70);
    inline const QPoint backgroundRight(328, 100);
    inline const QPoint frame1Background(110, 110);
    inline const QPoint frame2Background(308, 286);
    inline const QPoint frame3Background(337, 104);

    /// The inside of an element, clear of its border.
    inline QRect inner(const QRect &r, int margin = 3)
    {
        return r.adjusted(margin, margin, -margin, -margin);
    }
} // namespace layout

namespace colours {
    inline const QColor black(0, 0, 0);
    inline const QColor navy(0, 0, 128);
    inline const QColor grey(128, 128, 128);
    inline const QColor green(0, 255, 0);
    inline const QColor yellow(255, 255, 0);
    inline const QColor red(255, 0, 0);
    inline const QColor lightRed(255, 127, 127);
    inline const QColor face(212, 208, 200);
} // namespace colours

/// The program under test, running in a Session.
class ClockApp
{
public:
    explicit ClockApp(const Session &session)
        : m_session(session)
    { }
    ClockApp(const ClockApp &) = delete;
    ClockApp &operator=(const ClockApp &) = delete;
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
        if (!m_process.waitForStarted(5000)) {
            *error = QStringLiteral("velorand does not start: ") + m_process.errorString();
            return false;
        }
        // There is also a hidden helper window named after the program; the clock's title
        // starts with a blank.
        const bool found = waitFor(
            [this] {
                const QStringList ids = m_session.findWindows(QStringLiteral("^ Velorand"));
                if (ids.isEmpty())
                    return false;
                m_window = ids.first();
                return true;
            },
            10000, 20);
        if (!found) {
            *error = QStringLiteral("no window of velorand appeared");
            return false;
        }
        return true;
    }

    QString title() const { return m_session.windowName(m_window); }
    QStringList netWmState() const { return m_session.property(m_window, QStringLiteral("_NET_WM_STATE")); }
    bool isHidden() const { return netWmState().contains(QStringLiteral("_NET_WM_STATE_HIDDEN")); }

    /// The client area on the screen.
    QRect clientRect() const { return m_session.windowRect(m_window); }
    QPoint toScreen(QPoint client) const { return clientRect().topLeft() + client; }
    QRect toScreen(const QRect &client) const { return client.translated(clientRect().topLeft()); }

    /// The client area including the window manager's frame around it.
    QRect frameRect() const
    {
        const QStringList extents = m_session.property(m_window, QStringLiteral("_NET_FRAME_EXTENTS"));
        const QRect client = clientRect();
        if (extents.size() != 4)
            return client;
        return client.adjusted(
            -extents[0].toInt(), -extents[2].toInt(), extents[1].toInt(), extents[3].toInt());
    }

    bool click(QPoint client, int button = 1) const { return m_session.click(toScreen(client), button); }
    bool moveTo(QPoint client) const { return m_session.moveTo(toScreen(client)); }

    /// A part of the client area, taken from a fresh screenshot.
    QImage grab(const QRect &client) const { return m_session.screenshot().copy(toScreen(client)); }

    /// Waits for the process to end and reports whether it ended normally with status 0.
    bool exitedCleanly(int timeoutMs)
    {
        if (!m_process.waitForFinished(timeoutMs))
            return false;
        return m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
    }

    /// Waits until the window is on screen again and drawn where its client area lies,
    /// after a restore or a move.
    bool waitUntilShown(int timeoutMs = 3000) const
    {
        QRect previous;
        return waitFor(
            [&] {
                if (isHidden())
                    return false;
                const QRect client = clientRect();
                const bool settled = client == previous;
                previous = client;
                if (!settled)
                    return false;
                const QImage shot = m_session.screenshot();
                return shareOf(shot, layout::inner(layout::lblStdAb).translated(client.topLeft()),
                           colours::black, 20)
                    > 0.5
                    && shareOf(shot, layout::inner(layout::lblStd).translated(client.topLeft()),
                           colours::black, 20)
                    > 0.5;
            },
            timeoutMs, 50);
    }

    /// Waits for the popup menu that opens with its top-left corner at `screenPointer`
    /// and returns its place on the screen; an empty rectangle when none appeared.
    QRect waitForPopup(QPoint screenPointer, int timeoutMs = 3000) const
    {
        QRect found;
        waitFor(
            [&] {
                const QStringList ids = m_session
                                            .run(QStringLiteral("xdotool"),
                                                { QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                                    QStringLiteral("--class"), QStringLiteral("velorand") })
                                            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
                for (const QString &id : ids) {
                    if (id == m_window || !m_session.isOverrideRedirect(id))
                        continue;
                    const QRect r = m_session.windowRect(id);
                    if ((r.topLeft() - screenPointer).manhattanLength() <= 4 && r.width() > 40) {
                        found = r;
                        return true;
                    }
                }
                return false;
            },
            timeoutMs, 50);
        return found;
    }

    /// Opens the popup menu with a right press at `client` and chooses item 0 (Minimieren)
    /// or 1 (Schliessen) with the mouse.
    bool chooseFromMenu(QPoint client, int item) const
    {
        const QPoint pointer = toScreen(client);
        if (!m_session.click(pointer, 3))
            return false;
        const QRect menu = waitForPopup(pointer);
        if (menu.isEmpty()) {
            qWarning("no popup menu at %d,%d; windows:\n%s", pointer.x(), pointer.y(),
                qPrintable(m_session.run(
                    QStringLiteral("xwininfo"), { QStringLiteral("-root"), QStringLiteral("-children") })));
            return false;
        }
        return m_session.click(QPoint(menu.center().x(), menu.top() + menu.height() * (2 * item + 1) / 4));
    }

    /// Clicks an entry field, waits until it shows its text selected and types `digits`.
    bool typeInto(const QRect &field, const QString &digits) const
    {
        const QImage before = grab(field);
        if (!click(field.center()))
            return false;
        if (!waitFor([&] { return differingPixels(grab(field), before) > 20; }, 2000, 30))
            return false;
        return m_session.typeText(digits);
    }

private:
    const Session &m_session;
    QProcess m_process;
    QString m_window;
};

} // namespace xsession
