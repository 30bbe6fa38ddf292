#pragma once

/// Runs the clock: checks for a display, creates the application and the window, and runs the event loop.
int runVelorand(int argc, char **argv);
