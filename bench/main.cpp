// velorand_bench: runs the measurements named with --only (all but (h) by default) and prints the table;
// started with --child MODE it is one of the child processes the measurements launch.

#include "bench.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <thread>

#ifndef VELORAND_BENCH_BUILD_TYPE
#define VELORAND_BENCH_BUILD_TYPE "unknown"
#endif

QString firstLineOf(const QString &path, const QByteArray &prefix)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (line.startsWith(prefix))
            return QString::fromUtf8(prefix.isEmpty() ? line : line.mid(line.indexOf(':') + 1)).trimmed();
    }
    return {};
}

namespace {

/// Options, or the reason they cannot be used.
std::optional<Options> parseOptions(const QStringList &arguments, QString *complaint)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Timing accuracy, start-up speed, memory and CPU use of "
                       "the game clock, each against a reference measured in the same run."));
    const QCommandLineOption help = parser.addHelpOption();
    struct Number
    {
        const char *name, *description; ///< no description: hidden from the help
        qint64 Options::*field;
        qint64 least = 1, most = std::numeric_limits<qint64>::max();
    };
    const Number numbers[] {
        { "seconds", "Length of the game in (a), (f) and (w).", &Options::seconds },
        { "cycles", "Pause/resume cycles in (b).", &Options::cycles },
        { "runs", "Cold starts of each kind in (d), (t) and (j).", &Options::startRuns },
        { "cpu-seconds", "Measuring time in (e) and (g).", &Options::cpuSeconds },
        { "clients", "Clients of the web view in (w).", &Options::clients, 0 },
        { "seed", "Seed of the pause points in (b).", &Options::seed, 1,
            std::numeric_limits<std::uint32_t>::max() },
        { "start-ns", nullptr, &Options::startNs, 0 },
    };
    Options options;
    for (const Number &number : numbers) {
        QCommandLineOption option(QString::fromLatin1(number.name), QString::fromLatin1(number.description),
            QStringLiteral("N"), QString::number(options.*number.field));
        if (!number.description)
            option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    QCommandLineOption child(
        QStringLiteral("child"), QStringLiteral("Runs as a child process."), QStringLiteral("MODE"));
    child.setFlags(QCommandLineOption::HiddenFromHelp);
    QCommandLineOption plan(
        QStringLiteral("plan"), QStringLiteral("The plan a child opens."), QStringLiteral("FILE"));
    plan.setFlags(QCommandLineOption::HiddenFromHelp);
    QCommandLineOption state(
        QStringLiteral("state"), QStringLiteral("The journal's folder a child uses."), QStringLiteral("DIR"));
    state.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOptions({
        { QStringLiteral("full-game"),
            QStringLiteral("A 90-minute game (5400 s) in (a), (f) and (w); (a) alone then takes 3 hours.") },
        { QStringLiteral("only"),
            QStringLiteral(
                "Runs only these measurements, e.g. cd; h (the horn's delay, needs a PulseAudio server) "
                "runs only when named."),
            QStringLiteral("LETTERS") },
        { QStringLiteral("markdown"), QStringLiteral("Also writes the results as Markdown."),
            QStringLiteral("FILE") },
        child,
        plan,
        state,
    });
    if (!parser.parse(arguments) || !parser.positionalArguments().isEmpty() || parser.isSet(help)) {
        *complaint = parser.helpText().replace(
            QStringLiteral("<executable_name>"), QFileInfo(arguments.first()).fileName());
        if (!parser.isSet(help))
            complaint->prepend(parser.errorText().isEmpty() ? QStringLiteral("Unexpected arguments\n")
                                                            : parser.errorText() + u'\n');
        return std::nullopt;
    }
    for (const Number &number : numbers) {
        bool ok = false;
        const QString text = parser.value(QString::fromLatin1(number.name));
        const qint64 value = options.*number.field = text.toLongLong(&ok);
        if (!ok || value < number.least || value > number.most) {
            *complaint = QStringLiteral("Not a usable number: --%1 %2\n")
                             .arg(QString::fromLatin1(number.name), text);
            return std::nullopt;
        }
    }
    if (parser.isSet(QStringLiteral("full-game")))
        options.seconds = 5400;
    QString all, byDefault;
    for (const Measurement &measurement : measurements()) {
        all += measurement.letter;
        byDefault += measurement.byDefault ? QString(measurement.letter) : QString();
    }
    options.only = parser.isSet(QStringLiteral("only")) ? parser.value(QStringLiteral("only")) : byDefault;
    for (const QChar letter : std::as_const(options.only)) {
        if (!all.contains(letter)) {
            *complaint = QStringLiteral("No measurement (%1)\n").arg(letter);
            return std::nullopt;
        }
    }
    options.markdown = parser.value(QStringLiteral("markdown"));
    options.child = parser.value(child);
    options.plan = parser.value(plan);
    options.state = parser.value(state);
    return options;
}

/// The table and its notes, in Markdown.
QString table(const Report &report)
{
    QString out
        = QStringLiteral("| Measure | Velorand | Reference | Target | Result |\n|---|---:|---:|---|---|\n");
    for (const Row &row : report.rows) {
        QString result = !row.met ? QStringLiteral("not measured")
            : *row.met            ? QStringLiteral("met")
                                  : QStringLiteral("missed");
        if (row.target == u"-")
            result = QStringLiteral("-");
        else if (!row.remark.isEmpty())
            result += QStringLiteral(" (") + row.remark + u')';
        const QStringList cells { row.measure, row.ours, row.reference, row.target, result };
        out += QStringLiteral("| %1 |\n").arg(cells.join(QStringLiteral(" | ")));
    }
    out += QStringLiteral("\nNotes:\n\n");
    for (const QString &note : report.notes)
        out += QStringLiteral("- ") + note + u'\n';
    return out;
}

} // namespace

int main(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QString complaint;
    const std::optional<Options> options = parseOptions(arguments, &complaint);
    if (!options) {
        const bool asked = arguments.contains(u"--help") || arguments.contains(u"-h");
        std::fputs(qPrintable(complaint), asked ? stdout : stderr);
        return asked ? 0 : 2;
    }
    if (!options->child.isEmpty())
        return runChild(argc, argv, *options);

    QCoreApplication app(argc, argv);
    const auto begin = Steady::now();
    const auto loadAverage
        = [] { return firstLineOf(QStringLiteral("/proc/loadavg"), {}).section(u' ', 0, 2); };
    const QStringList machine {
        QStringLiteral("Date: ") + QDateTime::currentDateTimeUtc().toString(Qt::ISODate),
        QStringLiteral("Machine: ") + firstLineOf(QStringLiteral("/proc/cpuinfo"), "model name")
            + QStringLiteral(", %1 cores, ").arg(std::thread::hardware_concurrency())
            + QSysInfo::prettyProductName() + QStringLiteral(", kernel ") + QSysInfo::kernelVersion(),
        QStringLiteral("Qt ") + QString::fromLatin1(qVersion()) + QStringLiteral(", load average at start: ")
            + loadAverage(),
    };
    Report report;
    QStringList loads;
    for (const Measurement &measurement : measurements()) {
        if (!options->only.contains(measurement.letter))
            continue;
        std::fprintf(stderr, "(%c) %s\n", measurement.letter.toLatin1(), qPrintable(measurement.title));
        const QString before = loadAverage().section(u' ', 0, 0);
        measurement.run(*options, report);
        loads << QStringLiteral("(%1) %2 to %3")
                     .arg(measurement.letter)
                     .arg(before, loadAverage().section(u' ', 0, 0));
    }
    report.notes << QStringLiteral(
                        "Load average (1 min) before and after each measurement, the other work on "
                        "the machine included: ")
            + loads.join(QStringLiteral(", ")) + u'.';
    std::fputs(qPrintable(table(report)), stdout);

    if (!options->markdown.isEmpty()) {
        QFile file(options->markdown);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
            std::fprintf(stderr, "velorand_bench: cannot write %s\n", qPrintable(options->markdown));
            return 1;
        }
        const QString command = QFileInfo(arguments.first()).fileName() + u' ' + arguments.mid(1).join(u' ');
        const QString header = QStringLiteral(
            "# Velorand benchmark results\n\nProduced in one run of `%1` from the repository root (%2 s in "
            "total), a %3 build; the program is built with `cmake --build <build dir> --target "
            "velorand_bench` and found at `<build dir>/bench/velorand_bench`.\n\n- %4\n\nEach row compares, "
            "in the same run, the game clock against a reference: a plain `QTimer` of the default (coarse) "
            "type counting 1000 ms ticks for (a) to (c), a bare 425x393 `QWidget` for (d) and (e), the "
            "start without a plan for (t) and (j), and the same game without the extra for (g) and (w); (f), "
            "(h), the results file of (t) and the journal's writes of (j) have none. Errors are counted game "
            "time minus real time on "
            "`std::chrono::steady_clock`; negative means the clock fell behind. "
            "Medians and percentiles are nearest rank: the p-th percentile of n sorted values is the one at "
            "index ceil(p/100*n)-1.\n\n")
                                   .arg(command)
                                   .arg(std::round(msSince(begin) / 1000.0))
                                   .arg(QStringLiteral(VELORAND_BENCH_BUILD_TYPE),
                                       machine.join(QStringLiteral("\n- ")));
        file.write((header + table(report)).toUtf8());
    }
    const auto met = [](const Row &row) { return row.target == u"-" || row.met.value_or(false); };
    return std::all_of(report.rows.begin(), report.rows.end(), met) ? 0 : 1;
}
