#pragma once

/// Runs the clock: reads the command line, opens the window, runs the event loop; returns the exit status.
int runVelorand(int argc, char **argv);
