#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <optional>

/// The monotonic reference every measurement is taken against; the same clock in every process.
using Steady = std::chrono::steady_clock;
inline double msSince(Steady::time_point from)
{
    return std::chrono::duration<double, std::milli>(Steady::now() - from).count();
}
inline qint64 steadyNanoseconds()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Steady::now().time_since_epoch()).count();
}
/// CPU time this process (or, with CLOCK_THREAD_CPUTIME_ID, this thread) has used, in milliseconds.
inline double cpuMs(clockid_t clock = CLOCK_PROCESS_CPUTIME_ID)
{
    timespec used {};
    clock_gettime(clock, &used);
    return static_cast<double>(used.tv_sec) * 1e3 + static_cast<double>(used.tv_nsec) / 1e6;
}

/// Nearest rank: the value at index ceil(p/100*n)-1 of the sorted values (p = 50: the median, 100: the
/// largest, 0: the smallest); 0 for no values.
inline double percentile(QList<double> values, double p)
{
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    const auto rank = static_cast<qsizetype>(std::ceil(p / 100.0 * double(values.size())));
    return values[std::clamp<qsizetype>(rank - 1, 0, values.size() - 1)];
}

/// "+0.4 ms" or, from one second on, "-49.31 s".
inline QString formatError(double ms)
{
    return std::abs(ms) >= 1000.0 ? QString::asprintf("%+.2f s", ms / 1000.0)
                                  : QString::asprintf("%+.1f ms", ms);
}

/// The rest of the first line of the file at @p path that starts with @p prefix, after its colon (the
/// whole first line for no prefix).
QString firstLineOf(const QString &path, const QByteArray &prefix);

struct Options
{
    qint64 seconds = 120; ///< length of the game in (a), (f) and (w)
    qint64 cycles = 100, startRuns = 5, cpuSeconds = 30, seed = 20240517;
    qint64 clients = 200; ///< 0: the game without a web view
    QString only, markdown;
    QString child; ///< set in a child process: its mode
    QString plan; ///< in a child of (t) and (j): the tournament plan it opens
    QString state; ///< in a child of (j): the folder of the plan's journal (none: a new one, a fresh start)
    qint64 startNs = 0; ///< in a child: when the parent launched it
};

/// One line of the result table.
struct Row
{
    QString measure, ours, reference, target;
    std::optional<bool> met; ///< empty when the measurement did not complete or has no target
    QString remark = {}; ///< appended to the result, e.g. a ratio
};

struct Report
{
    QList<Row> rows;
    QStringList notes;
};

struct Measurement
{
    QChar letter;
    QString title;
    void (*run)(const Options &, Report &);
    bool byDefault = true; ///< false: runs only when named in --only
};

/// Every measurement, in the order of the table.
QList<Measurement> measurements();

// The three timing measurements (timing.cpp), each our GameTimer against a plain QTimer.
void measureGames(const Options &options, Report &report);
void measurePauses(const Options &options, Report &report);
void measureHoldUp(const Options &options, Report &report);

/// (h): ends of a half measured, in five games of 4 s.
constexpr int hornEnds = 10;
/// (t): changes of the score whose results file is written.
constexpr int scoreChanges = 200;
/// (j): changes of the score, each written to the journal before changeScore() returns.
constexpr int journalChanges = 500;

/// What a child printed as "key value" pairs: each key's values in order.
using ChildOutput = QHash<QByteArray, QList<double>>;

/// Starts this program as each of @p children, a mode and its arguments (offscreen, all at the same time),
/// and waits for them; a child that fails or takes longer than @p seconds gives an empty output.
QList<ChildOutput> launchChildren(const QList<std::pair<QString, QStringList>> &children, qint64 seconds);

/// In a child process: runs options.child. Returns the exit code.
int runChild(int argc, char **argv, const Options &options);
