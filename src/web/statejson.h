#pragma once

#include "core/clock/displaystate.h"

#include <QByteArray>

/**
 * The display state as the web view publishes it, one compact JSON object:
 * remaining, elapsed, secondsRed, running, paused, bars {half1, half2, game}
 * each {percent, color "#rrggbb"}, banners {half1, half2, game} each the
 * banner's text or null while hidden, and monotonicMs, the moment the state
 * was made on the program's monotonic clock.
 */
QByteArray stateJson(const DisplayState &state, qint64 monotonicMs);
