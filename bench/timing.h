#pragma once

#include <cstdint>

/// What one timer counted in a timing run. Errors are counted game time minus
/// real time on the monotonic reference: negative means the clock fell behind.
struct TimerOutcome
{
    bool finished = false; ///< the measuring point was reached
    int ticks = 0;
    double errorMs = 0; ///< at the measuring point
    double worstTickMs = 0; ///< the error of largest size seen at any tick
};

/// Our GameTimer and a plain QTimer (default coarse type, 1000 ms) side by side.
struct SideBySide
{
    TimerOutcome ours;
    TimerOutcome plain;
};

/// A game of @p seconds: the error when the tick that ends it arrives.
SideBySide measureGame(int seconds, const char *label);

/// @p cycles pauses at random points (fixed @p seed): game time counted against running time.
SideBySide measurePauses(int cycles, std::uint32_t seed, double *runningMs);

/// The event loop blocked for @p holdMs in a tick handler: ticks missing afterwards (errorMs holds seconds
/// lost).
SideBySide measureHoldUp(int holdMs);
