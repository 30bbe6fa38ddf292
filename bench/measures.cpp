// (d) to (w): measurements taken in child processes of this program (children.cpp), and the table of all
// measurements.

#include "bench.h"

#include "core/tournament/plan.h"

#include <QDir>
#include <QFile>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <algorithm>
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

QString ms(double value)
{
    return QString::asprintf("%.0f ms", value);
}
QString megabytes(double kb)
{
    return QString::asprintf("%.1f MB", kb / 1024.0);
}

/// @p measure with the medians of @p ours and @p reference in @p format, met when their ratio is at most
/// @p target; n/a when either has no values.
Row ratioRow(const QString &measure, const QList<double> &ours, const QList<double> &reference,
    QString (*format)(double), double target, const char *against)
{
    Row row { measure, notMeasured, notMeasured,
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
}

/// Cold starts of child processes that report their first frame: for each child, in the order given, the
/// values of each key it printed.
struct StartUps
{
    QList<ChildOutput> samples;
    int failures = 0;
};

/// @p runs starts of each of @p children (a mode and its arguments), taken in turn, after one unmeasured
/// start of each so that all of them find the libraries in the page cache.
StartUps startUps(const QList<std::pair<QString, QStringList>> &children, qint64 runs)
{
    for (const auto &[mode, arguments] : children)
        launchChild(mode, arguments, 30);
    StartUps startUps { QList<ChildOutput>(children.size()) };
    for (qint64 run = 0; run < runs; ++run) {
        for (qsizetype child = 0; child < children.size(); ++child) {
            const ChildOutput sample = launchChild(children[child].first, children[child].second, 30);
            startUps.failures += !sample.contains("first-paint-ms");
            for (auto value = sample.cbegin(); value != sample.cend(); ++value)
                startUps.samples[child][value.key()] += value.value();
        }
    }
    return startUps;
}

QString medianOf(qint64 runs)
{
    return QStringLiteral(" (median of %1)").arg(runs);
}

void measureStartUp(const Options &options, Report &report)
{
    const StartUps starts
        = startUps({ { QStringLiteral("paint-window"), {} }, { QStringLiteral("paint-bare"), {} },
                       { QStringLiteral("paint-label"), {} } },
            options.startRuns);
    const QList<double> startMs[3] { starts.samples[0].value("first-paint-ms"),
        starts.samples[1].value("first-paint-ms"), starts.samples[2].value("first-paint-ms") };
    const QList<double> peakKb[3] { starts.samples[0].value("peak-kb"), starts.samples[1].value("peak-kb"),
        starts.samples[2].value("peak-kb") };
    const QString runs = medianOf(options.startRuns);
    report.rows << ratioRow(QStringLiteral("(d) Process start to first painted frame") + runs, startMs[0],
        startMs[1], ms, 1.5, "bare")
                << ratioRow(
                       QStringLiteral("(d) Start to first frame, against a window with one label") + runs,
                       startMs[0], startMs[2], ms, 1.3, "one label")
                << ratioRow(QStringLiteral("(d) Peak memory (VmHWM) at the first frame") + runs, peakKb[0],
                       peakKb[1], megabytes, 1.5, "bare");
    report.notes << QStringLiteral(
        "(d) Child processes of this program under QT_QPA_PLATFORM=offscreen, after one unmeasured start of "
        "each; the frame counts as painted when the event loop returns from its first paint event. Fastest "
        "start: ours %1, bare %2. The window with one label is the bare one with an 18 pt bold text label, "
        "which loads the font database; its peak memory: median %3.%4")
                        .arg(ms(percentile(startMs[0], 0)), ms(percentile(startMs[1], 0)),
                            megabytes(percentile(peakKb[2], 50)),
                            starts.failures
                                ? QStringLiteral(" %1 starts failed and are left out.").arg(starts.failures)
                                : QString());
}

/// A tournament day of Plan::maxGames games of 10 minutes, a round every 12 minutes on 20 fields from 8:00.
QByteArray dayPlan()
{
    QString text = QStringLiteral("Nr;Beginn;Feld;Heim;Gast;Spielzeit\r\n");
    for (int game = 0; game < Plan::maxGames; ++game) {
        const int round = game / 20, start = 8 * 60 + round * 12;
        text += QStringLiteral("%1;%2:%3;%4;TSV Grün-Weiß %5;SpVgg Süd-Ost %6;10:00\r\n")
                    .arg(game + 1)
                    .arg(start / 60, 2, 10, QChar(u'0'))
                    .arg(start % 60, 2, 10, QChar(u'0'))
                    .arg(QChar(u'A' + game % 20))
                    .arg(2 * game + 1)
                    .arg(2 * game + 2);
    }
    return text.toUtf8();
}

/// dayPlan() written to turnier.csv in @p folder: its path, or empty when it could not be written.
QString writeDayPlan(const QTemporaryDir &folder)
{
    const QString path = folder.filePath(QStringLiteral("turnier.csv"));
    QFile plan(path);
    const QByteArray text = dayPlan();
    return folder.isValid() && plan.open(QIODevice::WriteOnly) && plan.write(text) == text.size()
            && plan.flush()
        ? path
        : QString();
}

QString noPlan(QChar letter)
{
    return QStringLiteral("(%1) No plan could be written to a temporary folder in %2.")
        .arg(letter, QDir::tempPath());
}

QString twoPercentiles(const QList<double> &values, const char *format)
{
    return QString::asprintf(format, percentile(values, 50), percentile(values, 99));
}

void measureTournament(const Options &options, Report &report)
{
    const QString startMeasure
        = QStringLiteral("(t) Start to the clock window's first frame with a %1-game plan")
              .arg(Plan::maxGames)
        + medianOf(options.startRuns);
    // The plan in a folder of this run, where the results file is written beside it; each child locks its
    // journal in a new folder of its own: a fresh start.
    QTemporaryDir folder;
    const QString planPath = writeDayPlan(folder);
    if (planPath.isEmpty()) {
        report.rows << ratioRow(startMeasure, {}, {}, ms, 1.3, "plain start");
        report.notes << noPlan(u't');
        return;
    }
    const QStringList withPlan { QStringLiteral("--plan"), planPath };

    const StartUps starts = startUps(
        { { QStringLiteral("paint-window"), {} }, { QStringLiteral("paint-tournament"), withPlan } },
        options.startRuns);
    const ChildOutput &plain = starts.samples[0], &tournament = starts.samples[1];
    const QList<double> startMs = tournament.value("first-paint-ms"), plainMs = plain.value("first-paint-ms");
    report.rows << ratioRow(startMeasure, startMs, plainMs, ms, 1.3, "plain start");
    const QList<double> otherPainted = tournament.value("other-window-painted");
    report.notes << QStringLiteral(
        "(t) Start: child processes as in (d), taken in turn: paint-tournament does what `velorand --turnier "
        "PLAN` does (the plan read; its journal locked, each child's in a new temporary folder, so that "
        "every "
        "start is a fresh one; the tournament, its results writer and the tournament window with all %1 "
        "games built, the first game's time entered and the journal's first snapshot written; the clock "
        "window shown, the tournament window "
        "after the clock's first paint event) and reports when the clock window's frame is "
        "painted, measured like (d)'s paint-window, which is the reference here; one unmeasured start of "
        "each first. In %2 of %3 starts the tournament window was painted before that report, so its first "
        "frame is in the time. Fastest start: with the plan %4, plain %5; peak memory (VmHWM), median: with "
        "the plan %6, plain %7.%8")
                        .arg(Plan::maxGames)
                        .arg(std::count(otherPainted.cbegin(), otherPainted.cend(), 1.0))
                        .arg(otherPainted.size())
                        .arg(ms(percentile(startMs, 0)), ms(percentile(plainMs, 0)),
                            megabytes(percentile(tournament.value("peak-kb"), 50)),
                            megabytes(percentile(plain.value("peak-kb"), 50)),
                            starts.failures
                                ? QStringLiteral(" %1 starts failed and are left out.").arg(starts.failures)
                                : QString());

    const ChildOutput writes = launchChild(QStringLiteral("results-write"), withPlan, 300);
    const QList<double> toWritten = writes.value("to-written-ms"), gui = writes.value("gui-ms"),
                        handOver = writes.value("hand-over-ms"), disk = writes.value("after-hand-over-ms");
    report.rows << Row { QStringLiteral("(t) Score change to its results file written and synced, p50 / "
                                        "p99 of %1 changes, %2-game plan")
                             .arg(scoreChanges)
                             .arg(Plan::maxGames),
        toWritten.size() == scoreChanges ? twoPercentiles(toWritten, "%.1f / %.1f ms") : notMeasured,
        QStringLiteral("-"), QStringLiteral("-"), {} };
    const QStorageInfo storage(folder.path());
    report.notes << QStringLiteral(
        "(t) Results file: one child process (offscreen) built as for `--turnier`, the plan's first game "
        "kicked off with the clock's Start handler, then %1 score changes (home and away +1 in turn), each "
        "20 ms after the file of the one before was written. A change's time runs from the changeScore() "
        "call to the writer's written signal arriving in the GUI thread: the journal written and synced "
        "(see (j)), the tournament window refreshed, "
        "the whole file rendered (%2 bytes) and handed over in the GUI thread, then written by the writer's "
        "thread to a temporary file, synced, renamed over the old one and the folder synced, here in a "
        "temporary folder in %3 (%4 on %5). The GUI thread's time per change, p50 / p99: %6, of which %7 "
        "in the render and hand-over and the rest in changeScore() (the journal's write, the tournament "
        "window and the clock's views refreshed); from the hand-over to written (the writer's thread and the "
        "disk): %8. No target: the time after the hand-over depends on the disk and what else writes to it, "
        "not on the program; what the clock needs is that its thread never waits for this file, which the "
        "render and hand-over figures show. The journal, which it does wait for, is measured in (j).")
                        .arg(scoreChanges)
                        .arg(writes.value("file-bytes").value(0))
                        .arg(QDir::tempPath(), QString::fromUtf8(storage.fileSystemType()),
                            QString::fromUtf8(storage.device()), twoPercentiles(gui, "%.2f / %.2f ms"),
                            twoPercentiles(handOver, "%.2f / %.2f ms"),
                            twoPercentiles(disk, "%.1f / %.1f ms"));
}

void measureJournal(const Options &options, Report &report)
{
    const QString writeMeasure = QStringLiteral("(j) Score change to its journal written and synced (one "
                                                "durable write), p50 / p99 of %1 changes, %2-game plan")
                                     .arg(journalChanges)
                                     .arg(Plan::maxGames);
    const QString startMeasure
        = QStringLiteral("(j) Start to the clock window's first frame of a resumed game, %1-game plan")
              .arg(Plan::maxGames)
        + medianOf(options.startRuns);
    const auto writeRow = [&](const QList<double> &changeMs) {
        return delayRow(writeMeasure, changeMs, 99, "%.1f / %.1f ms", 10, "at most 10 ms (99th)");
    };
    // The plan as in (t); one journal folder for the whole measurement: the changes leave their game running
    // in it, and each start after them goes on with that game.
    QTemporaryDir folder, state;
    const QString planPath = writeDayPlan(folder);
    if (planPath.isEmpty() || !state.isValid()) {
        report.rows << writeRow({}) << ratioRow(startMeasure, {}, {}, ms, 1.3, "plain start");
        report.notes << noPlan(u'j');
        return;
    }
    const QStringList withJournal { QStringLiteral("--plan"), planPath, QStringLiteral("--state"),
        state.path() };

    const ChildOutput writes = launchChild(QStringLiteral("journal-write"), withJournal, 300);
    const QList<double> changeMs = writes.value("change-ms"), writeMs = writes.value("write-ms"),
                        encodeMs = writes.value("encode-ms");
    report.rows << writeRow(changeMs.size() == journalChanges ? changeMs : QList<double>());
    const QStorageInfo storage(state.path());
    report.notes << QStringLiteral(
        "(j) Journal: one child process (offscreen) built as for `--turnier`, its journal locked in a new "
        "temporary folder in %1 (%2 on %3), the plan's first game kicked off with the clock's Start handler, "
        "then %4 score changes (home and away +1 in turn), each 20 ms after the one before returned. A "
        "change's time is that of the changeScore() call, which returns once the journal holds the change on "
        "the disk: the whole snapshot (%5 bytes) written to a temporary file and synced, the newest one kept "
        "as the previous one by a second name, the new one renamed over it and the folder synced; the "
        "tournament window and the clock's views refreshed too. The results file follows in its writer's "
        "thread, as in (t). Journal::write alone, the last snapshot written %6 times 20 ms apart into a "
        "journal of its own beside it, p50 / p99: %7; the snapshot's encoding alone (Journal::encode, timed "
        "just before each write): %8.")
                        .arg(QDir::tempPath(), QString::fromUtf8(storage.fileSystemType()),
                            QString::fromUtf8(storage.device()))
                        .arg(journalChanges)
                        .arg(writes.value("journal-bytes").value(0))
                        .arg(writeMs.size())
                        .arg(twoPercentiles(writeMs, "%.1f / %.1f ms"),
                            twoPercentiles(encodeMs, "%.1f / %.1f ms"));

    const StartUps starts = startUps(
        { { QStringLiteral("paint-window"), {} }, { QStringLiteral("paint-tournament"), withJournal } },
        options.startRuns);
    const ChildOutput &plain = starts.samples[0], &resumed = starts.samples[1];
    QList<double> resumedMs = resumed.value("first-paint-ms");
    const QList<double> plainMs = plain.value("first-paint-ms"), running = resumed.value("game-running"),
                        otherPainted = resumed.value("other-window-painted");
    // The row counts only when every start went on with the game.
    const auto goneOn = std::count(running.cbegin(), running.cend(), 1.0);
    if (goneOn != resumedMs.size())
        resumedMs.clear();
    report.rows << ratioRow(startMeasure, resumedMs, plainMs, ms, 1.3, "plain start");
    report.notes << QStringLiteral(
        "(j) Resumed start: child processes as in (t), taken in turn, all on the journal the changes above "
        "left, with the first game running: paint-tournament reads it, restores the results and the game "
        "with the time that passed since, writes the journal anew and reports when the clock window's frame "
        "is painted; the reference is (d)'s paint-window; one unmeasured start of each first. In %1 of %2 "
        "starts the first frame showed the game running, in %3 the tournament window was painted before the "
        "report. Fastest start: resumed %4, plain %5; peak memory (VmHWM), median: resumed %6, plain %7.%8")
                        .arg(goneOn)
                        .arg(running.size())
                        .arg(std::count(otherPainted.cbegin(), otherPainted.cend(), 1.0))
                        .arg(ms(percentile(resumed.value("first-paint-ms"), 0)), ms(percentile(plainMs, 0)),
                            megabytes(percentile(resumed.value("peak-kb"), 50)),
                            megabytes(percentile(plain.value("peak-kb"), 50)),
                            starts.failures
                                ? QStringLiteral(" %1 starts failed and are left out.").arg(starts.failures)
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

void measureRemote(const Options &, Report &report)
{
    const ChildOutput output = launchChild(QStringLiteral("remote-round-trip"), {}, 90);
    const QList<double> changes = output.value("change-ms"), paints = output.value("paint-ms");
    report.rows << delayRow(QStringLiteral("(r) A remote command to the clock window's change, median / 99th "
                                           "percentile of %1")
                                .arg(changes.size()),
        changes, 99, "%.2f / %.2f ms", 50, "at most 50 ms (99th)")
                << delayRow(QStringLiteral("(r) A remote command to the hall view's paint, median / 99th "
                                           "percentile of %1")
                                .arg(paints.size()),
                       paints, 99, "%.2f / %.2f ms", 50, "at most 50 ms (99th)");
    report.notes << QStringLiteral(
        "(r) One child process (offscreen): the window running a game, a 1920x1080 hall view, the web view "
        "in remote mode; a paired client in a thread of the same process sends 200 commands over loopback, "
        "Pause and weiter in turn, each on a new connection once the one before was answered, 60 ms apart. "
        "Each runs from the request's first byte sent to the window's published change, and to the first "
        "paint of the hall view after it.");
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
        { u'j', QStringLiteral("the tournament's journal: a score change written, a resumed start"),
            measureJournal },
        { u't', QStringLiteral("start with a tournament plan, its results file after a score change"),
            measureTournament },
        { u'r', QStringLiteral("remote commands' round trip to the window and the hall view"),
            measureRemote },
        { u'w', QStringLiteral("clients on the web view's /events during a game"), measureWebLoad },
    };
}
