#pragma once

#include "core/clock/displaystate.h"

#include <QByteArray>

/**
 * The display state as the web view publishes it, one compact JSON object:
 * remaining, elapsed, secondsRed, running, paused, phase (see
 * DisplayState::phase()), enabled {start, pause, reset, goal, next} (which
 * commands the windows' buttons allow now), bars {half1, half2, game}
 * each {percent, color "#rrggbb"}, banners {half1, half2, game} each the
 * banner's text or null while hidden, and monotonicMs, the moment the state
 * was made on the program's monotonic clock.
 *
 * In tournament mode also match, the game loaded into the clock, {nr, home,
 * away, scoreHome, scoreAway, start}; next, the game after it, {nr, home,
 * away, start}; and countdown, the time left to the loaded game's planned
 * start. Outside tournament mode, or when there is no such game or time,
 * each of them is null, and so is a start the plan does not give.
 */
QByteArray stateJson(const DisplayState &state, qint64 monotonicMs);
