#pragma once

#include "core/clock/clockstate.h"
#include "core/clock/signalcolor.h"

#include <QString>
#include <optional>

/**
 * @file
 * The bookkeeping of one second of game: advanceOneSecond() moves the
 * clock state on by one tick and says what the display must show. The
 * window only applies the result.
 */

/// What one tick does to one bar and its banner.
struct BarUpdate
{
    std::optional<double> percent; ///< new filled share, unrounded; none keeps the old one
    Signal::Color color = Signal::Color::Green; ///< flood color
    bool showBanner = false; ///< show the end text over the bar
};

/// What one tick does to the display.
struct TickUpdate
{
    bool lastTick = false; ///< the game time is reached: the game timer goes off
    bool display = false; ///< labels and bars change (false once the count has passed the game time)
    QString lblStd, lblMin, lblSek; ///< remaining time, two-digit texts
    QString lblStdAb, lblMinAb, lblSekAb; ///< elapsed time, two-digit texts
    bool secondsRed = false; ///< red in the game's last 30 s, yellow before
    BarUpdate halbzeit1, halbzeit2, zeit;
    QString minimisedTitle; ///< remaining time as hh:mm:ss, for a minimised window
};

/// One second of game on @p state.
TickUpdate advanceOneSecond(ClockState &state);

/// @p part as a percentage of @p whole; a span of length zero or less is complete (100).
double percentOf(qint32 part, qint32 whole);
