#include "displaystate.h"

QString DisplayState::hallTime(const QString &hours, const QString &minutes, const QString &seconds)
{
    const QString clock = minutes + u':' + seconds;
    const int wholeHours = hours.toInt();
    return wholeHours == 0 ? clock : QString::number(wholeHours) + u':' + clock;
}
