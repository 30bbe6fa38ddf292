#include "core/clock/displaystate.h"

QString DisplayState::hallTime(const QString &hours, const QString &minutes, const QString &seconds)
{
    // A start shows the fields' texts as typed, "4" for 04; the hall sees two digits all the same.
    const QString clock = minutes.rightJustified(2, u'0') + u':' + seconds.rightJustified(2, u'0');
    const int wholeHours = hours.toInt();
    return wholeHours == 0 ? clock : QString::number(wholeHours) + u':' + clock;
}

QString DisplayState::phase() const
{
    if (!running)
        return enabled.start ? QStringLiteral("ready") : QStringLiteral("idle");
    if (paused)
        return QStringLiteral("paused");
    // Once the time has run out, only Stopp is left: Pause is disabled.
    return enabled.pause ? QStringLiteral("running") : QStringLiteral("ended");
}
