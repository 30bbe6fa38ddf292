#include "core/entry/gametimeentry.h"

#include "core/clock/numeral.h"
#include "core/clock/timeconversion.h"

EnteredTime EnteredTime::fromTexts(const QString &hours, const QString &minutes, const QString &seconds)
{
    return { Zahlenwert(hours), Zahlenwert(minutes), Zahlenwert(seconds) };
}

qint32 EnteredTime::gameSeconds() const
{
    return roundToSeconds(seconds + minutes * 60.0 + hours * 3600.0);
}

StartButtonRule startButtonRule(const EnteredTime &entered)
{
    if (entered.hours > 0.0 || entered.minutes > 0.0 || entered.seconds > 0.0)
        return StartButtonRule::EnableStart;
    if (entered.hours == 0.0 && entered.minutes == 0.0 && entered.seconds == 0.0)
        return StartButtonRule::DisableStart;
    return StartButtonRule::Keep;
}
