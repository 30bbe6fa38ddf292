#pragma once

#include <QString>
#include <QStringList>
#include <optional>

/// Child process modes of the benchmark program, started with "--child MODE".
namespace ChildMode {
inline const QString paintWindow = QStringLiteral("paint-window");
inline const QString paintBare = QStringLiteral("paint-bare");
inline const QString paintLabel = QStringLiteral("paint-label"); ///< bare window with one text label

inline const QString cpuWindow = QStringLiteral("cpu-window");
inline const QString cpuBare = QStringLiteral("cpu-bare");
inline const QString cpuHallView = QStringLiteral("cpu-hall-view"); ///< the window and a 1920x1080 hall view
inline const QString hallViewDelay = QStringLiteral("hall-view-delay");
} // namespace ChildMode

/// Runs a child mode inside this process (a QApplication is created here). Returns the exit code.
int runChild(int argc, char **argv, const QString &mode, qint64 startNs, int cpuSeconds);

/// One cold start: time from launching the process to its first painted frame, and its peak memory then.
struct PaintSample
{
    double firstPaintMs = 0;
    double peakKb = 0;
};

/// Starts this program as a child in a paint-* @p mode under the offscreen platform.
std::optional<PaintSample> launchPaintChild(const QString &mode);

/// CPU time per minute of a running clock, measured over @p seconds by a child process.
struct CpuSample
{
    double cpuMsPerMinute = 0;
    int ticks = 0;
    double wallMs = 0;
};

/// Starts two cpu-* children (by default the window and the bare one) at the same time and waits for both.
std::pair<std::optional<CpuSample>, std::optional<CpuSample>> launchCpuChildren(
    int seconds, const QString &ours = ChildMode::cpuWindow, const QString &reference = ChildMode::cpuBare);

/// Delay from the operator's lblSek paint to the hall view's paint of the same tick, over a game of @p
/// seconds.
struct DelaySample
{
    double medianMs = 0;
    double p99Ms = 0;
    int ticks = 0;
};
std::optional<DelaySample> launchDelayChild(int seconds);
