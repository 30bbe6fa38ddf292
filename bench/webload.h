#pragma once

#include <optional>

/// The game clock with the web view under load: 200 clients (or none) following /events during a game.
struct WebLoadSample
{
    double endErrorMs = 0; ///< the game's last tick against its due time
    double medianMs = 0; ///< from a state being made to its event reaching a client
    double p99Ms = 0;
    int events = 0;
    int clients = 0;
    double cpuMsPerMinute = 0; ///< of the clock and the server, without the clients' own thread
};

/// The child process: a game of @p seconds with @p clients on /events (0: no web view at all).
int webLoadChild(int argc, char **argv, int seconds, int clients);

std::optional<WebLoadSample> launchWebLoadChild(int seconds, int clients);
