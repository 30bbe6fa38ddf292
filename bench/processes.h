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

/// Starts the cpu-window and cpu-bare children at the same time and waits for both.
std::pair<std::optional<CpuSample>, std::optional<CpuSample>> launchCpuChildren(int seconds);
