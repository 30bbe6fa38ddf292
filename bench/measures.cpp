// (d) to (w): measurements taken in child processes of this program (children.cpp), and the table of all
// measurements.

#include "bench.h"

#include <cmath>

namespace {

const QString notMeasured = QStringLiteral("n/a");

ChildOutput launchChild(const QString &mode, const QStringList &arguments, qint64 timeoutSeconds)
{
    return launchChildren({ { mode, arguments } }, timeoutSeconds).first();
}

/// Delays without a reference: their median and @p high percentile in @p format, met when that percentile is
/// at most @p limitMs; n/a for none.
Row delayRow(const QString &measure, const QList<double> &delays, double high, const char *format,
    double limitMs, const char *target)
{
    Row row { measure, notMeasured, QStringLiteral("-"), QString::fromLatin1(target), {} };
    if (!delays.isEmpty()) {
        row.ours = QString::asprintf(format, percentile(delays, 50), percentile(delays, high));
        row.met = percentile(delays, high) <= limitMs;
    }
    return row;
}

/// The first value of @p key formatted, or n/a.
QString shown(const ChildOutput &output, const char *key, const char *format, double scale = 1)
{
    return output.contains(key) ? QString::asprintf(format, output[key].first() / scale) : notMeasured;
}

void measureStartUp(const Options &options, Report &report)
{
    const QString modes[] { QStringLiteral("paint-window"), QStringLiteral("paint-bare"),
        QStringLiteral("paint-label") };
    // One unmeasured start of each first, so that all kinds find the libraries in the page cache.
    for (const QString &mode : modes)
        launchChild(mode, {}, 30);
    QList<double> startMs[3], peakKb[3];
    int failures = 0;
    for (qint64 run = 0; run < options.startRuns; ++run) {
        for (int mode = 0; mode < 3; ++mode) {
            const ChildOutput sample = launchChild(modes[mode], {}, 30);
            failures += !sample.contains("first-paint-ms");
            startMs[mode] += sample.value("first-paint-ms");
            peakKb[mode] += sample.value("peak-kb");
        }
    }
    QString (*const ms)(double) = [](double value) { return QString::asprintf("%.0f ms", value); };
    QString (*const megabytes)(double) = [](double kb) { return QString::asprintf("%.1f MB", kb / 1024.0); };
    const QString runs = QStringLiteral(" (median of %1)").arg(options.startRuns);
    const auto ratioRow = [&runs](const char *measure, const QList<double> &ours,
                              const QList<double> &reference, QString (*format)(double), double target,
                              const char *against) {
        Row row { QString::fromLatin1(measure) + runs, notMeasured, notMeasured,
            QStringLiteral("at most %1 x %2").arg(target).arg(QString::fromLatin1(against)), {} };
        if (ours.isEmpty() || reference.isEmpty())
            return row;
        const double ratio = percentile(ours, 50) / percentile(reference, 50);
        row.ours = format(percentile(ours, 50));
        row.reference
            = format(percentile(reference, 50)) + QStringLiteral(" (%1)").arg(QString::fromLatin1(against));
        row.met = ratio <= target;
        row.remark = QString::asprintf("%.2f x", ratio);
        return row;
    };
    report.rows << ratioRow(
        "(d) Process start to first painted frame", startMs[0], startMs[1], ms, 1.5, "bare")
                << ratioRow("(d) Start to first frame, against a window with one label", startMs[0],
                       startMs[2], ms, 1.3, "one label")
                << ratioRow("(d) Peak memory (VmHWM) at the first frame", peakKb[0], peakKb[1], megabytes,
                       1.5, "bare");
    report.notes << QStringLiteral(
        "(d) Child processes of this program under QT_QPA_PLATFORM=offscreen, after one unmeasured start of "
        "each; the frame counts as painted when the event loop returns from its first paint event. Fastest "
        "start: ours %1, bare %2. The window with one label is the bare one with an 18 pt bold text label, "
        "which loads the font database; its peak memory: median %3.%4")
                        .arg(ms(percentile(startMs[0], 0)), ms(percentile(startMs[1], 0)),
                            megabytes(percentile(peakKb[2], 50)),
                            failures ? QStringLiteral(" %1 starts failed and are left out.").arg(failures)
                                     : QString());
}

/// (e), (g): two children measuring CPU time at the same time, ours and its reference.
void measureCpuPair(const Options &options, Report &report, const char *measure, const char *ours,
    const char *reference, const char *referenceName, double limitMs, const char *note)
{
    const QStringList arguments { QStringLiteral("--cpu-seconds"), QString::number(options.cpuSeconds) };
    const auto outputs = launchChildren(
        { { QString::fromLatin1(ours), arguments }, { QString::fromLatin1(reference), arguments } },
        options.cpuSeconds + 60);
    const auto perMinute
        = [](const ChildOutput &output) { return shown(output, "cpu-ms-per-minute", "%.3f s", 1000); };
    Row row { QString::fromLatin1(measure), perMinute(outputs[0]),
        perMinute(outputs[1]) + QStringLiteral(" (%1)").arg(QString::fromLatin1(referenceName)),
        QStringLiteral("at most %1 s").arg(limitMs / 1000), {} };
    if (outputs[0].contains("cpu-ms-per-minute"))
        row.met
            = outputs[0]["cpu-ms-per-minute"].first() <= limitMs && outputs[0].value("ticks").value(0) > 0;
    report.rows << row;
    report.notes << QString::fromLatin1(note)
                        .arg(options.cpuSeconds)
                        .arg(outputs[0].value("ticks").value(0))
                        .arg(outputs[1].value("ticks").value(0));
}

void measureHallView(const Options &options, Report &report)
{
    const QList<double> delays = launchChild(QStringLiteral("hall-view-delay"),
        { QStringLiteral("--seconds"), QString::number(options.seconds) }, options.seconds + 60)
                                     .value("delay-ms");
    report.rows << delayRow(
        QStringLiteral(
            "(f) Operator's lblSek paint to the hall view's paint, median / 99th percentile, %1 s game")
            .arg(options.seconds),
        delays, 99, "%.2f / %.2f ms", 16, "at most 16 ms (99th)");
    report.notes << QStringLiteral("(f) One child process (offscreen): the window and a 1920x1080 hall view, "
                                   "a %1 s game; %2 ticks where both were painted.")
                        .arg(options.seconds)
                        .arg(delays.size());
}

void measureHorn(const Options &, Report &report)
{
    QList<double> delays
        = launchChild(QStringLiteral("horn-latency"), {}, hornEnds * 3 + 30).value("horn-latency-ms");
    if (delays.size() != hornEnds)
        delays.clear();
    report.rows << delayRow(QStringLiteral("(h) Tick that ends a half to the horn's first sample out of the "
                                           "server (median / worst of %1)")
                                .arg(hornEnds),
        delays, 100, "%.0f ms / %.0f ms", 50, "at most 50 ms");
    report.notes << QStringLiteral(
        "(h) The real window (offscreen) with the program's horn in five 4 s games, on a PulseAudio server; "
        "the tick's time is taken before the horn is asked to sound, the sound's when parec, recording the "
        "default sink's monitor in 5 ms chunks, receives the first chunk with sound: an upper bound of the "
        "delay. No reference.");
}

void measureWebLoad(const Options &options, Report &report)
{
    const auto launch = [&options](qint64 clients) {
        return launchChild(QStringLiteral("web-load"),
            { QStringLiteral("--seconds"), QString::number(options.seconds), QStringLiteral("--clients"),
                QString::number(clients) },
            options.seconds + 60);
    };
    const ChildOutput with = launch(options.clients), without = launch(0);
    const QList<double> delays = with.value("delay-ms");
    const QString reference = QStringLiteral(" (no web view)");
    report.rows += {
        { QStringLiteral("(w) Error at the end of a %1 s game, %2 clients on /events")
                .arg(options.seconds)
                .arg(options.clients),
            shown(with, "end-error-ms", "%+.1f ms"), shown(without, "end-error-ms", "%+.1f ms") + reference,
            QStringLiteral("at most 5 ms"),
            with.contains("end-error-ms") ? std::optional(std::abs(with["end-error-ms"].first()) <= 5.0
                && with.value("clients").value(0) == double(options.clients))
                                          : std::nullopt },
        delayRow(QStringLiteral("(w) Tick to the event reaching a client, median / 99th percentile"), delays,
            99, "%.0f / %.0f ms", 50, "at most 50 ms (99th)"),
        { QStringLiteral("(w) CPU time per minute with %1 clients").arg(options.clients),
            shown(with, "cpu-ms-per-minute", "%.3f s", 1000),
            shown(without, "cpu-ms-per-minute", "%.3f s", 1000) + reference, QStringLiteral("-"), {} },
    };
    report.notes << QStringLiteral(
        "(w) The window (offscreen) with the web view in-process and %1 clients in a thread of the same "
        "process, each reading /events; a delay runs from the state's monotonicMs (whole ms) to its arrival. "
        "The clients' own CPU is left out. %2 events counted.")
                        .arg(with.value("clients").value(0))
                        .arg(delays.size());
}

} // namespace

QList<Measurement> measurements()
{
    return {
        { u'a', QStringLiteral("a game, idle, then with every core busy"), measureGames },
        { u'b', QStringLiteral("pause/resume cycles"), measurePauses },
        { u'c', QStringLiteral("the event loop held up for 3 s"), measureHoldUp },
        { u'd', QStringLiteral("cold starts of each window, offscreen"), measureStartUp },
        { u'e', QStringLiteral("CPU use of a running game"),
            [](const Options &options, Report &report) {
                measureCpuPair(options, report, "(e) CPU time per minute of a running game", "cpu-window",
                    "cpu-bare", "bare", 200,
                    "(e) Measured for %1 s in two child processes running at the same time (offscreen): the "
                    "real window with a 9:59 game started by its Start handler (%2 ticks counted), and a "
                    "bare "
                    "425x393 window whose label a plain QTimer updates every second (%3 ticks).");
            } },
        { u'f', QStringLiteral("the hall view's paint after the operator's"), measureHallView },
        { u'g', QStringLiteral("CPU use with the hall view"),
            [](const Options &options, Report &report) {
                measureCpuPair(options, report, "(g) CPU time per minute with a 1920x1080 hall view",
                    "cpu-hall-view", "cpu-window", "without it", 300,
                    "(g) Measured as in (e), for %1 s: the window with a 1920x1080 hall view (%2 ticks), and "
                    "the window alone (%3 ticks).");
            } },
        { u'h', QStringLiteral("the horn at ten ends of a half, on the default PulseAudio server"),
            measureHorn, false },
        { u'w', QStringLiteral("clients on the web view's /events during a game"), measureWebLoad },
    };
}
