#include "processes.h"

#include "benchclock.h"
#include "core/clock/gametimer.h"
#include "shell/appsetup.h"
#include "hall/hallview.h"
#include "shell/velorandwindow.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QFont>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

using namespace std::chrono_literals;

namespace {

/// Peak resident memory of this process so far, in kB (VmHWM).
double peakResidentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> lines = status.readAll().split('\n');
    for (const QByteArray &line : lines) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble();
    }
    return -1;
}

/// Catches the first paint event of the process and reports once that frame is complete.
class FirstPaintProbe : public QObject
{
public:
    explicit FirstPaintProbe(qint64 startNs)
        : m_startNs(startNs)
    { }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!m_seen && event->type() == QEvent::Paint) {
            m_seen = true;
            // Queued: the rest of the frame (all child widgets) is painted before this runs.
            QMetaObject::invokeMethod(this, &FirstPaintProbe::report, Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void report()
    {
        const double ms = static_cast<double>(steadyNanoseconds() - m_startNs) / 1e6;
        std::printf("first-paint-ms %.3f peak-kb %.0f\n", ms, peakResidentKb());
        std::fflush(stdout);
        QCoreApplication::exit(0);
    }

    qint64 m_startNs;
    bool m_seen = false;
};

constexpr QSize windowSize { 425, 393 };

int paintChild(int argc, char **argv, const QString &mode, qint64 startNs)
{
    QApplication app(argc, argv);
    FirstPaintProbe probe(startNs);
    app.installEventFilter(&probe);
    if (mode == ChildMode::paintWindow) {
        // What the program does at start: the application's settings, then the window.
        prepareApplication();
        VelorandWindow window;
        window.show();
        return QApplication::exec();
    }
    QWidget bare;
    bare.resize(windowSize);
    if (mode == ChildMode::paintLabel) {
        // The least a window showing digits needs: the font database and one rendered font.
        auto *label = new QLabel(QStringLiteral("00"), &bare);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPointSize(18);
        font.setBold(true);
        label->setFont(font);
        label->setGeometry(10, 10, 60, 40);
    }
    bare.show();
    return QApplication::exec();
}

/// Reports CPU time used between begin() and the end of @p seconds.
class CpuMeter
{
public:
    void begin()
    {
        m_cpu = processCpuMs();
        m_wall = Steady::now();
    }
    void report(int ticks) const
    {
        const double wall = msSince(m_wall);
        const double cpu = processCpuMs() - m_cpu;
        std::printf("cpu-ms-per-minute %.3f ticks %d wall-ms %.1f\n", cpu / wall * 60000.0, ticks, wall);
        std::fflush(stdout);
    }

private:
    double m_cpu = 0;
    Steady::time_point m_wall;
};

constexpr auto settle = 1000ms; // the window is shown and painted before measuring starts

/// The hall view as the program opens it, here as a 1920x1080 window.
void openHallView(HallView &hall, VelorandWindow &window)
{
    hall.showDisplay(window.displayState());
    QObject::connect(&window, &VelorandWindow::displayChanged, &hall, &HallView::showDisplay);
    hall.resize(1920, 1080);
    hall.show();
}

/// Paint times of the operator's seconds and of the hall's time, by tick; prints median and 99th percentile.
class DelayProbe : public QObject
{
public:
    QObject *seconds = nullptr, *hallTime = nullptr;
    int tick = 0;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && tick > 0 && (watched == seconds || watched == hallTime))
            (watched == seconds ? m_operator : m_hall).try_emplace(tick, steadyNanoseconds());
        return QObject::eventFilter(watched, event);
    }
    void report() const
    {
        QList<double> delays;
        for (const auto &[at, ns] : m_operator) {
            if (m_hall.count(at))
                delays << std::abs(static_cast<double>(m_hall.at(at) - ns)) / 1e6;
        }
        std::sort(delays.begin(), delays.end());
        const auto at
            = [&delays](double share) { return delays.value(qsizetype(share * (delays.size() - 1))); };
        std::printf("median-ms %.3f p99-ms %.3f ticks %lld\n", at(0.5), at(0.99),
            static_cast<long long>(delays.size()));
        std::fflush(stdout);
    }

private:
    std::map<int, qint64> m_operator, m_hall;
};

int delayChild(int argc, char **argv, int seconds)
{
    QApplication app(argc, argv);
    prepareApplication();
    VelorandWindow window;
    window.show();
    HallView hall;
    openHallView(hall, window);
    DelayProbe probe;
    probe.seconds = window.findChild<QLabel *>(QStringLiteral("lblSek"));
    probe.hallTime = hall.findChild<QLabel *>(QStringLiteral("lblZuschauerRest"));
    app.installEventFilter(&probe);
    auto *timer = window.findChild<GameTimer *>(QStringLiteral("Timer1"));
    QObject::connect(timer, &GameTimer::timeout, &window, [&probe] { ++probe.tick; });
    QTimer::singleShot(settle, &window, [&] {
        window.findChild<QLineEdit *>(QStringLiteral("txtMin"))->setText(QString::number(seconds / 60));
        window.findChild<QLineEdit *>(QStringLiteral("txtSek"))->setText(QString::number(seconds % 60));
        window.cmdStart_Click();
        QTimer::singleShot(std::chrono::milliseconds(seconds * 1000 + 500), &window, [&] {
            probe.report();
            QCoreApplication::exit(0);
        });
    });
    return QApplication::exec();
}

int cpuWindowChild(int argc, char **argv, int seconds, bool withHallView)
{
    QApplication app(argc, argv);
    prepareApplication();
    VelorandWindow window;
    window.show();
    HallView hall;
    if (withHallView)
        openHallView(hall, window);
    auto *timer = window.findChild<GameTimer *>(QStringLiteral("Timer1"));
    auto *minutes = window.findChild<QLineEdit *>(QStringLiteral("txtMin"));
    auto *secondsField = window.findChild<QLineEdit *>(QStringLiteral("txtSek"));
    if (!timer || !minutes || !secondsField) {
        std::fputs("velorand_bench: window elements not found\n", stderr);
        return 1;
    }
    int ticks = 0;
    QObject::connect(timer, &GameTimer::timeout, &window, [&ticks] { ++ticks; });
    CpuMeter meter;
    QTimer::singleShot(settle, &window, [&] {
        minutes->setText(QStringLiteral("09"));
        secondsField->setText(QStringLiteral("59"));
        window.cmdStart_Click(); // a game of 9:59
        meter.begin();
        QTimer::singleShot(std::chrono::milliseconds(seconds * 1000 + 500), Qt::PreciseTimer, &window, [&] {
            meter.report(ticks);
            QCoreApplication::exit(0);
        });
    });
    return QApplication::exec();
}

int cpuBareChild(int argc, char **argv, int seconds)
{
    QApplication app(argc, argv);
    QWidget bare;
    bare.resize(windowSize);
    auto *label = new QLabel(QStringLiteral("0"), &bare);
    label->setGeometry(10, 10, 100, 30);
    bare.show();
    QTimer plain;
    plain.setInterval(1000ms);
    int ticks = 0;
    QObject::connect(&plain, &QTimer::timeout, label, [&] { label->setNum(++ticks); });
    CpuMeter meter;
    QTimer::singleShot(settle, &bare, [&] {
        plain.start();
        meter.begin();
        QTimer::singleShot(std::chrono::milliseconds(seconds * 1000 + 500), Qt::PreciseTimer, &bare, [&] {
            meter.report(ticks);
            QCoreApplication::exit(0);
        });
    });
    return QApplication::exec();
}

QProcessEnvironment offscreenEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    // Without a runtime directory every child warns; a private one for the whole run keeps them quiet.
    static QTemporaryDir runtimeDirectory;
    if (!environment.contains(QStringLiteral("XDG_RUNTIME_DIR")) && runtimeDirectory.isValid())
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDirectory.path());
    return environment;
}

/// Splits "key value key value" into pairs.
QHash<QString, double> parseReport(const QByteArray &output)
{
    QHash<QString, double> values;
    const QStringList words
        = QString::fromUtf8(output).split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    for (qsizetype i = 0; i + 1 < words.size(); i += 2)
        values.insert(words[i], words[i + 1].toDouble());
    return values;
}

void startChild(QProcess &process, const QString &mode, const QStringList &extra)
{
    process.setProcessEnvironment(offscreenEnvironment());
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setProgram(QCoreApplication::applicationFilePath());
    QStringList arguments { QStringLiteral("--child"), mode };
    arguments += extra;
    // The start time goes last so that it is taken as late as possible before the launch.
    arguments << QStringLiteral("--start-ns") << QString::number(steadyNanoseconds());
    process.setArguments(arguments);
    process.start();
}

bool finishedCleanly(QProcess &process, int timeoutMs)
{
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return false;
    }
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

} // namespace

int runChild(int argc, char **argv, const QString &mode, qint64 startNs, int cpuSeconds)
{
    if (mode == ChildMode::paintWindow || mode == ChildMode::paintBare || mode == ChildMode::paintLabel)
        return paintChild(argc, argv, mode, startNs);
    if (mode == ChildMode::cpuWindow || mode == ChildMode::cpuHallView)
        return cpuWindowChild(argc, argv, cpuSeconds, mode == ChildMode::cpuHallView);
    if (mode == ChildMode::hallViewDelay)
        return delayChild(argc, argv, cpuSeconds);
    if (mode == ChildMode::cpuBare)
        return cpuBareChild(argc, argv, cpuSeconds);
    std::fprintf(stderr, "velorand_bench: unknown child mode %s\n", qPrintable(mode));
    return 2;
}

std::optional<PaintSample> launchPaintChild(const QString &mode)
{
    QProcess process;
    startChild(process, mode, {});
    if (!finishedCleanly(process, 30000))
        return std::nullopt;
    const auto values = parseReport(process.readAllStandardOutput());
    if (!values.contains(QStringLiteral("first-paint-ms")))
        return std::nullopt;
    return PaintSample { values.value(QStringLiteral("first-paint-ms")),
        values.value(QStringLiteral("peak-kb")) };
}

std::optional<DelaySample> launchDelayChild(int seconds)
{
    QProcess process;
    startChild(
        process, ChildMode::hallViewDelay, { QStringLiteral("--cpu-seconds"), QString::number(seconds) });
    if (!finishedCleanly(process, (seconds + 60) * 1000))
        return std::nullopt;
    const auto values = parseReport(process.readAllStandardOutput());
    if (!values.contains(QStringLiteral("p99-ms")))
        return std::nullopt;
    return DelaySample { values.value(QStringLiteral("median-ms")), values.value(QStringLiteral("p99-ms")),
        static_cast<int>(values.value(QStringLiteral("ticks"))) };
}

std::pair<std::optional<CpuSample>, std::optional<CpuSample>> launchCpuChildren(
    int seconds, const QString &ours, const QString &reference)
{
    const QStringList extra { QStringLiteral("--cpu-seconds"), QString::number(seconds) };
    QProcess window, bare;
    startChild(window, ours, extra);
    startChild(bare, reference, extra);
    const int timeoutMs = (seconds + 60) * 1000;
    const auto collect = [timeoutMs](QProcess &process) -> std::optional<CpuSample> {
        if (!finishedCleanly(process, timeoutMs))
            return std::nullopt;
        const auto values = parseReport(process.readAllStandardOutput());
        if (!values.contains(QStringLiteral("cpu-ms-per-minute")))
            return std::nullopt;
        return CpuSample { values.value(QStringLiteral("cpu-ms-per-minute")),
            static_cast<int>(values.value(QStringLiteral("ticks"))),
            values.value(QStringLiteral("wall-ms")) };
    };
    auto first = collect(window);
    auto second = collect(bare);
    return { first, second };
}
