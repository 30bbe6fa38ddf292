#pragma once

#include <QString>
#include <QtGlobal>

/**
 * The game clock's state. The window owns one; Start, Stopp, the tick,
 * Reset and the entry fields read and write it. All counts are whole seconds.
 */
struct ClockState
{
    QString Stunden; ///< hours of the remaining time, a plain numeral (set by Start)
    QString Minuten; ///< minutes of the remaining time
    QString Sekunden; ///< seconds of the remaining time
    qint32 Spielzeit {}; ///< the game's length, kept equal to the entry fields
    qint32 SpielzeitAbgelaufen {}; ///< elapsed game time
    qint32 SpielzeitRest {}; ///< remaining game time
    qint32 Zeitzähler {}; ///< ticks counted since Start
    qint32 Halbzeit {}; ///< length of the first half: Spielzeit / 2, ties to even
    qint32 Halbzeit1Abgelaufen {}; ///< elapsed seconds of the first half
    qint32 Halbzeit1Rest {}; ///< remaining seconds of the first half
    qint32 Halbzeit2Abgelaufen {}; ///< elapsed seconds of the second half
    qint32 Halbzeit2Rest {}; ///< remaining seconds of the second half

    /// Stopp: the counters go back to zero, the entered game stays.
    void clearCounters()
    {
        Zeitzähler = 0;
        SpielzeitAbgelaufen = 0;
        Halbzeit1Abgelaufen = 0;
        Halbzeit2Abgelaufen = 0;
    }
};
