#pragma once

// velorand_bench: timing accuracy, start-up speed, memory and CPU use of the game clock and its extras,
// each measured in the same run as a reference (a plain QTimer, a bare window, the game without the extra).

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <chrono>
#include <ctime>
#include <optional>

/// The monotonic reference every measurement is taken against; the same clock in every process.
using Steady = std::chrono::steady_clock;
double msSince(Steady::time_point from);
qint64 steadyNanoseconds();
/// CPU time this process (or, with CLOCK_THREAD_CPUTIME_ID, this thread) has used, in milliseconds.
double cpuMs(clockid_t clock = CLOCK_PROCESS_CPUTIME_ID);

/// Nearest rank: the value at index ceil(p/100*n)-1 of the sorted values (p = 50: the median, 100: the
/// largest, 0: the smallest); 0 for no values.
double percentile(QList<double> values, double p);

/// The rest of the first line of the file at @p path that starts with @p prefix, after its colon (the
/// whole first line for no prefix).
QString firstLineOf(const QString &path, const QByteArray &prefix);

/// "+0.4 ms" or, from one second on, "-49.31 s".
QString formatError(double ms);
QString formatMs(double ms);
QString formatMegabytes(double kb);

struct Options
{
    qint64 seconds = 120; ///< length of the game in (a), (f) and (w)
    qint64 cycles = 100;
    qint64 startRuns = 5;
    qint64 cpuSeconds = 30;
    qint64 clients = 200; ///< 0: the game without a web view
    qint64 seed = 20240517;
    QString only;
    QString markdown;
    QString child; ///< set in a child process: its mode
    qint64 startNs = 0; ///< in a child: when the parent launched it
};

/// One line of the result table.
struct Row
{
    QString measure;
    QString ours;
    QString reference;
    QString target;
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

/// (h): ends of a half measured, in five games of 4 s.
constexpr int hornEnds = 10;

/// Every measurement, in the order of the table.
QList<Measurement> measurements();

// The three timing measurements (timing.cpp), each our GameTimer against a plain QTimer.
void measureGames(const Options &options, Report &report);
void measurePauses(const Options &options, Report &report);
void measureHoldUp(const Options &options, Report &report);

/// What a child printed as "key value" pairs: each key's values in order.
using ChildOutput = QHash<QByteArray, QList<double>>;

struct ChildLaunch
{
    QString mode;
    QStringList arguments = {};
};

/// Starts this program once per entry as a child (offscreen, all at the same time) and waits for all of
/// them; a child that fails or takes longer than @p timeoutSeconds gives an empty output.
QList<ChildOutput> launchChildren(const QList<ChildLaunch> &launches, qint64 timeoutSeconds);

/// In a child process: runs options.child. Returns the exit code.
int runChild(int argc, char **argv, const Options &options);
