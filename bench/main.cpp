// velorand_bench: timing accuracy, start-up speed, memory and CPU use of the
// game clock, each compared in the same run against a plain Qt reference.

#include "benchclock.h"
#include "hornlatency.h"
#include "loadgenerator.h"
#include "processes.h"
#include "report.h"
#include "timing.h"
#include "webload.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSysInfo>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <thread>

namespace {

struct Options
{
    int seconds = 120;
    int cycles = 100;
    int holdMs = 3000;
    int startRuns = 5;
    int cpuSeconds = 30;
    std::uint32_t seed = 20240517;
    QString parts = QStringLiteral("abcdefgw");
    int clients = 200;
    QString markdown;
    QString childMode;
    qint64 startNs = 0;
};

void printUsage()
{
    std::fputs("Usage: velorand_bench [options]\n"
               "  --seconds N       length of the game in (a), default 120\n"
               "  --full-game       a full 90-minute game (5400 s) in (a), idle and loaded: about 3 hours\n"
               "  --cycles N        pause/resume cycles in (b), default 100\n"
               "  --runs N          cold starts of each kind in (d), default 5\n"
               "  --cpu-seconds N   measuring time in (e), default 30\n"
               "  --clients N       clients of the web view in (w), default 200\n"
               "  --seed N          seed of the pause points in (b)\n"
               "  --only LETTERS    run only these measurements, e.g. --only cd (f, g: the hall view);\n"
               "                    h (the horn's delay, needs a PulseAudio server) runs only when named\n"
               "  --markdown FILE   also write the results as Markdown\n",
        stdout);
}

bool parse(int argc, char **argv, Options &options)
{
    for (int i = 1; i < argc; ++i) {
        const char *arg = argv[i];
        const bool hasValue = i + 1 < argc;
        const auto value = [&] { return QString::fromLocal8Bit(argv[++i]); };
        const auto number = [&](auto &target) {
            bool ok = false;
            target = static_cast<std::remove_reference_t<decltype(target)>>(value().toLongLong(&ok));
            return ok && target > 0;
        };
        if (std::strcmp(arg, "--full-game") == 0) {
            options.seconds = 5400;
        } else if (std::strcmp(arg, "--seconds") == 0 && hasValue) {
            if (!number(options.seconds))
                return false;
        } else if (std::strcmp(arg, "--cycles") == 0 && hasValue) {
            if (!number(options.cycles))
                return false;
        } else if (std::strcmp(arg, "--runs") == 0 && hasValue) {
            if (!number(options.startRuns))
                return false;
        } else if (std::strcmp(arg, "--clients") == 0 && hasValue) {
            options.clients = value().toInt(); // 0: the game without a web view
        } else if (std::strcmp(arg, "--cpu-seconds") == 0 && hasValue) {
            if (!number(options.cpuSeconds))
                return false;
        } else if (std::strcmp(arg, "--seed") == 0 && hasValue) {
            if (!number(options.seed))
                return false;
        } else if (std::strcmp(arg, "--only") == 0 && hasValue) {
            options.parts = value();
        } else if (std::strcmp(arg, "--markdown") == 0 && hasValue) {
            options.markdown = value();
        } else if (std::strcmp(arg, "--child") == 0 && hasValue) {
            options.childMode = value();
        } else if (std::strcmp(arg, "--start-ns") == 0 && hasValue) {
            options.startNs = value().toLongLong();
        } else {
            return false;
        }
    }
    return true;
}

double median(QList<double> values)
{
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    const qsizetype middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

QString firstLineOf(const QString &path, const QByteArray &prefix)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (const QByteArray &line : lines) {
        if (prefix.isEmpty() || line.startsWith(prefix))
            return QString::fromUtf8(prefix.isEmpty() ? line : line.mid(line.indexOf(':') + 1)).trimmed();
    }
    return {};
}

QStringList machineDescription()
{
    return {
        QStringLiteral("Date: ") + QDateTime::currentDateTimeUtc().toString(Qt::ISODate),
        QStringLiteral("Machine: ") + firstLineOf(QStringLiteral("/proc/cpuinfo"), "model name")
            + QStringLiteral(", %1 cores, ").arg(std::thread::hardware_concurrency())
            + QSysInfo::prettyProductName() + QStringLiteral(", kernel ") + QSysInfo::kernelVersion(),
        QStringLiteral("Qt ") + QString::fromLatin1(qVersion()) + QStringLiteral(", load average at start: ")
            + firstLineOf(QStringLiteral("/proc/loadavg"), {}).section(u' ', 0, 2),
    };
}

Row timingRow(const QString &measure, const SideBySide &result, double limitMs)
{
    const auto shown = [](const TimerOutcome &outcome) {
        return outcome.finished ? formatError(outcome.errorMs) : QStringLiteral("did not finish");
    };
    Row row { measure, shown(result.ours), shown(result.plain), QString::asprintf("at most %.0f ms", limitMs),
        {}, {} };
    row.met = result.ours.finished && std::abs(result.ours.errorMs) <= limitMs;
    return row;
}

void runGames(const Options &options, Report &report)
{
    const QString length = QStringLiteral("%1 s game").arg(options.seconds);
    std::fprintf(stderr, "(a) %d s game, idle, then with every core busy\n", options.seconds);
    const SideBySide idle = measureGame(options.seconds, "idle");
    SideBySide loaded;
    unsigned threads = 0;
    {
        LoadGenerator load;
        threads = load.threads();
        loaded = measureGame(options.seconds, "loaded");
    }
    report.rows << timingRow(
        QStringLiteral("(a) Error at the end of a ") + length + QStringLiteral(", idle"), idle, 5);
    report.rows << timingRow(QStringLiteral("(a) Error at the end of a ") + length
            + QStringLiteral(", %1 busy-loop threads").arg(threads),
        loaded, 5);
    report.notes << QStringLiteral(
        "(a) Largest error at any single tick of the game: idle %1 (plain %2), loaded %3 "
        "(plain %4). The load generator runs one spinning thread per core.")
                        .arg(formatError(idle.ours.worstTickMs), formatError(idle.plain.worstTickMs),
                            formatError(loaded.ours.worstTickMs), formatError(loaded.plain.worstTickMs));
}

void runPauses(const Options &options, Report &report)
{
    std::fprintf(stderr, "(b) %d pause/resume cycles\n", options.cycles);
    double runningMs = 0;
    const SideBySide result = measurePauses(options.cycles, options.seed, &runningMs);
    report.rows << timingRow(
        QStringLiteral("(b) Error after %1 pauses (ours stop/resume, plain stop/start)").arg(options.cycles),
        result, 5);
    report.notes << QStringLiteral("(b) Running stretches of 50-1450 ms, pauses of 50-150 ms, seed %1; "
                                   "%2 s of running time; measured at each timer's first tick after the last "
                                   "resume (ours %3 ticks, plain %4 ticks). Largest error at any tick during "
                                   "the cycles: ours %5, plain %6.")
                        .arg(options.seed)
                        .arg(runningMs / 1000.0, 0, 'f', 1)
                        .arg(result.ours.ticks)
                        .arg(result.plain.ticks)
                        .arg(formatError(result.ours.worstTickMs), formatError(result.plain.worstTickMs));
}

void runHoldUp(const Options &options, Report &report)
{
    std::fprintf(stderr, "(c) event loop held up for %d ms\n", options.holdMs);
    const SideBySide result = measureHoldUp(options.holdMs);
    const auto lost
        = [](const TimerOutcome &outcome) { return QString::number(std::lround(outcome.errorMs)); };
    Row row { QStringLiteral("(c) Seconds lost after the loop was held up %1 s").arg(options.holdMs / 1000.0),
        lost(result.ours), lost(result.plain), QStringLiteral("none lost"),
        result.ours.finished && std::lround(result.ours.errorMs) == 0, {} };
    report.rows << row;
    report.notes << QStringLiteral(
        "(c) The loop was blocked by a busy wait in the handler of the second tick; "
        "counted 3.5 s after it ended: ours %1 ticks, plain %2 ticks.")
                        .arg(result.ours.ticks)
                        .arg(result.plain.ticks);
}

void runStartUp(const Options &options, Report &report)
{
    std::fprintf(stderr, "(d) %d cold starts of each window, offscreen\n", options.startRuns);
    const QList<QString> modes { ChildMode::paintWindow, ChildMode::paintBare, ChildMode::paintLabel };
    // One unmeasured start of each first, so that all kinds find the libraries in the page cache.
    for (const QString &mode : modes)
        launchPaintChild(mode);
    QHash<QString, QList<double>> startMs, peakKb;
    int failures = 0;
    for (int run = 0; run < options.startRuns; ++run) {
        for (const QString &mode : modes) {
            const auto sample = launchPaintChild(mode);
            if (!sample) {
                ++failures;
                continue;
            }
            startMs[mode] << sample->firstPaintMs;
            peakKb[mode] << sample->peakKb;
        }
    }
    const auto ratioRow = [](const QString &measure, const QList<double> &ours, const QList<double> &bare,
                              const auto &format, double target = 1.5, const QString &against = u"bare"_qs) {
        Row row { measure, QStringLiteral("n/a"), QStringLiteral("n/a"),
            QStringLiteral("at most %1 x %2").arg(target).arg(against), {}, {} };
        if (ours.isEmpty() || bare.isEmpty())
            return row;
        const double ratio = median(ours) / median(bare);
        row.ours = format(median(ours));
        row.reference = format(median(bare));
        row.met = ratio <= target;
        row.remark = QString::asprintf("%.2f x", ratio);
        return row;
    };
    const QString runs = QStringLiteral(" (median of %1)").arg(options.startRuns);
    report.rows << ratioRow(QStringLiteral("(d) Process start to first painted frame") + runs,
        startMs[ChildMode::paintWindow], startMs[ChildMode::paintBare], formatMs);
    report.rows << ratioRow(
        QStringLiteral("(d) Start to first frame, against a window with one label") + runs,
        startMs[ChildMode::paintWindow], startMs[ChildMode::paintLabel], formatMs, 1.3, u"one label"_qs);
    report.rows << ratioRow(QStringLiteral("(d) Peak memory (VmHWM) at the first frame") + runs,
        peakKb[ChildMode::paintWindow], peakKb[ChildMode::paintBare], formatMegabytes);
    const auto fastest = [&startMs](const QString &mode) {
        const QList<double> &values = startMs[mode];
        return formatMs(values.isEmpty() ? 0 : *std::min_element(values.begin(), values.end()));
    };
    QString note
        = QStringLiteral("(d) Child processes of this program under QT_QPA_PLATFORM=offscreen, after one "
                         "unmeasured start of each; the frame counts as painted when the event loop "
                         "returns from its first paint event. Fastest start: ours %1, bare %2. For "
                         "scale, the bare window with one 18 pt text label (which loads the font "
                         "database): median %3 and %4.")
              .arg(fastest(ChildMode::paintWindow), fastest(ChildMode::paintBare),
                  formatMs(median(startMs[ChildMode::paintLabel])),
                  formatMegabytes(median(peakKb[ChildMode::paintLabel])));
    if (failures)
        note += QStringLiteral(" %1 starts failed and are left out.").arg(failures);
    report.notes << note;
}

void runCpu(const Options &options, Report &report)
{
    std::fprintf(stderr, "(e) CPU use of a running game over %d s\n", options.cpuSeconds);
    const auto [ours, bare] = launchCpuChildren(options.cpuSeconds);
    const auto shown = [](const std::optional<CpuSample> &sample) {
        return sample ? QString::asprintf("%.3f s", sample->cpuMsPerMinute / 1000.0) : QStringLiteral("n/a");
    };
    Row row { QStringLiteral("(e) CPU time per minute of a running game"), shown(ours), shown(bare),
        QStringLiteral("at most 0.2 s"), {}, {} };
    if (ours)
        row.met = ours->cpuMsPerMinute <= 200.0 && ours->ticks > 0;
    report.rows << row;
    report.notes << QStringLiteral(
        "(e) Measured for %1 s in two child processes running at the same time "
        "(offscreen): the real window with a 9:59 game started by its Start handler "
        "(%2 ticks counted), and a bare window whose label a plain QTimer updates "
        "every second (%3 ticks).")
                        .arg(options.cpuSeconds)
                        .arg(ours ? ours->ticks : 0)
                        .arg(bare ? bare->ticks : 0);
}

void runHallView(const Options &options, Report &report)
{
    std::fprintf(stderr, "(f) hall view's paint after the operator's, %d s game\n", options.seconds);
    const auto delay = launchDelayChild(options.seconds);
    Row row { QStringLiteral(
                  "(f) Operator's lblSek paint to the hall view's paint, median / 99th percentile"),
        delay ? QString::asprintf("%.2f / %.2f ms", delay->medianMs, delay->p99Ms) : QStringLiteral("n/a"),
        QStringLiteral("-"), QStringLiteral("at most 16 ms (99th)"), {}, {} };
    if (delay)
        row.met = delay->ticks > 0 && delay->p99Ms <= 16.0;
    report.rows << row;
    report.notes << QStringLiteral(
        "(f) One child process (offscreen): the window and a 1920x1080 hall view, a "
        "%1 s game; %2 ticks where both were painted.")
                        .arg(options.seconds)
                        .arg(delay ? delay->ticks : 0);
}

void runHallViewCpu(const Options &options, Report &report)
{
    std::fprintf(stderr, "(g) CPU use with the hall view over %d s\n", options.cpuSeconds);
    const auto [with, without]
        = launchCpuChildren(options.cpuSeconds, ChildMode::cpuHallView, ChildMode::cpuWindow);
    const auto shown = [](const std::optional<CpuSample> &sample) {
        return sample ? QString::asprintf("%.3f s", sample->cpuMsPerMinute / 1000.0) : QStringLiteral("n/a");
    };
    Row row { QStringLiteral(
                  "(g) CPU time per minute of a running game with a 1920x1080 hall view (reference: "
                  "without it)"),
        shown(with), shown(without), QStringLiteral("at most 0.3 s"), {}, {} };
    if (with)
        row.met = with->cpuMsPerMinute <= 300.0 && with->ticks > 0;
    report.rows << row;
}

void runHorn(Report &report)
{
    std::fprintf(stderr, "(h) the horn at %d ends of a half, on the default PulseAudio server\n", hornEnds);
    const std::optional<QList<double>> delays = launchHornLatencyChild();
    Row row { QStringLiteral("(h) Tick that ends a half to the horn's first sample out of the server "
                             "(median / worst of %1)")
                  .arg(hornEnds),
        QStringLiteral("n/a"), QStringLiteral("n/a"), QStringLiteral("at most 50 ms"), {}, {} };
    if (delays && delays->size() == hornEnds) {
        const double worst = *std::max_element(delays->begin(), delays->end());
        row.ours = formatMs(median(*delays)) + QStringLiteral(" / ") + formatMs(worst);
        row.met = worst <= 50.0;
    }
    report.rows << row;
    report.notes << QStringLiteral(
        "(h) The real window (offscreen) with the program's horn in five 4 s games; the tick's time is "
        "taken before the horn is asked to sound, the sound's when parec, recording the default sink's "
        "monitor in 5 ms chunks, receives the first chunk with sound: an upper bound of the delay. "
        "No plain reference.");
}

} // namespace

void runWebLoad(const Options &options, Report &report)
{
    std::fprintf(stderr, "(w) %d clients on the web view's /events during a %d s game\n", options.clients,
        options.seconds);
    const auto with = launchWebLoadChild(options.seconds, options.clients);
    const auto without = launchWebLoadChild(options.seconds, 0);
    const auto ms = [](double value) { return QString::asprintf("%+.1f ms", value); };
    Row end { QStringLiteral(
                  "(w) Error at the end of a %1 s game, %2 clients on /events (reference: no web view)")
                  .arg(options.seconds)
                  .arg(options.clients),
        with ? ms(with->endErrorMs) : QStringLiteral("n/a"),
        without ? ms(without->endErrorMs) : QStringLiteral("n/a"), QStringLiteral("at most 5 ms"), {}, {} };
    if (with)
        end.met = std::abs(with->endErrorMs) <= 5.0 && with->clients == options.clients;
    Row delay { QStringLiteral("(w) Tick to the event reaching a client, median / 99th percentile"),
        with ? QString::asprintf("%.2f / %.2f ms", with->medianMs, with->p99Ms) : QStringLiteral("n/a"),
        QStringLiteral("-"), QStringLiteral("at most 50 ms (99th)"), {}, {} };
    if (with)
        delay.met = with->events > 0 && with->p99Ms <= 50.0;
    Row cpu { QStringLiteral("(w) CPU time per minute with %1 clients (reference: no web view)")
                  .arg(options.clients),
        with ? QString::asprintf("%.3f s", with->cpuMsPerMinute / 1000) : QStringLiteral("n/a"),
        without ? QString::asprintf("%.3f s", without->cpuMsPerMinute / 1000) : QStringLiteral("n/a"),
        QStringLiteral("-"), {}, {} };
    cpu.met = with.has_value();
    report.rows << end << delay << cpu;
    report.notes << QStringLiteral(
        "(w) The window (offscreen) with the web view in-process and %1 clients in a "
        "thread of the same process, each reading /events; a delay runs from the "
        "state's monotonicMs to its arrival. The clients' own CPU is left out. %2 "
        "events counted.")
                        .arg(with ? with->clients : 0)
                        .arg(with ? with->events : 0);
}

int main(int argc, char **argv)
{
    Options options;
    if (!parse(argc, argv, options)) {
        printUsage();
        return 2;
    }
    if (options.childMode == QLatin1String(ChildMode::hornLatency))
        return hornLatencyChild(argc, argv);
    if (options.childMode == QStringLiteral("web-load"))
        return webLoadChild(argc, argv, options.cpuSeconds, options.clients);
    if (!options.childMode.isEmpty())
        return runChild(argc, argv, options.childMode, options.startNs, options.cpuSeconds);

    QCoreApplication app(argc, argv);
    const auto begin = Steady::now();
    Report report;
    QStringList command { QFileInfo(QString::fromLocal8Bit(argv[0])).fileName() };
    for (int i = 1; i < argc; ++i)
        command << QString::fromLocal8Bit(argv[i]);
    report.command = command.join(u' ');
    report.machine = machineDescription();

    if (options.parts.contains(u'a'))
        runGames(options, report);
    if (options.parts.contains(u'b'))
        runPauses(options, report);
    if (options.parts.contains(u'c'))
        runHoldUp(options, report);
    if (options.parts.contains(u'd'))
        runStartUp(options, report);
    if (options.parts.contains(u'e'))
        runCpu(options, report);
    if (options.parts.contains(u'f'))
        runHallView(options, report);
    if (options.parts.contains(u'g'))
        runHallViewCpu(options, report);
    if (options.parts.contains(u'h'))
        runHorn(report);
    if (options.parts.contains(u'w'))
        runWebLoad(options, report);
    report.totalSeconds = msSince(begin) / 1000.0;

    std::fputs(qPrintable(report.text()), stdout);
    for (const QString &note : report.notes)
        std::printf("%s\n", qPrintable(note));
    std::printf("Total time: %.0f s\n", report.totalSeconds);

    if (!options.markdown.isEmpty()) {
        QFile file(options.markdown);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
            std::fprintf(stderr, "velorand_bench: cannot write %s\n", qPrintable(options.markdown));
            return 1;
        }
        file.write(report.markdown().toUtf8());
    }
    const bool allMet = std::all_of(
        report.rows.begin(), report.rows.end(), [](const Row &row) { return row.met.value_or(false); });
    return allMet ? 0 : 1;
}
