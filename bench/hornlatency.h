#pragma once

#include <QList>
#include <optional>

/// Child mode of the horn measurement.
namespace ChildMode {
inline const char *const hornLatency = "horn-latency";
}

/// Ends of a half measured: five games of 4 s.
constexpr int hornEnds = 10;

/// In the child: the real window with the program's horn on the default PulseAudio server;
/// prints one "horn-latency-ms X" line per end of a half. Returns the exit code.
int hornLatencyChild(int argc, char **argv);

/// Runs the child under the offscreen platform; the delays from each tick that ends a half to the
/// horn's first sample leaving the server's sink, in ms, or nothing if the child failed.
std::optional<QList<double>> launchHornLatencyChild();
