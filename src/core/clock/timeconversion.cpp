#include "core/clock/timeconversion.h"

#include "core/clock/numeral.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The common first step: the part below a full hour, which always fits 16 bits.
qint16 belowTheHour(qint32 zeitInSekunden)
{
    return static_cast<qint16>(zeitInSekunden % 3600);
}

} // namespace

double StundenExtract(qint32 zeitInSekunden)
{
    const qint32 r = belowTheHour(zeitInSekunden);
    return static_cast<double>(zeitInSekunden - r) / 3600.0;
}

double MinutenExtract(qint32 zeitInSekunden)
{
    const qint16 r = belowTheHour(zeitInSekunden);
    const auto fullMinutes = static_cast<qint16>(r - static_cast<qint16>(r % 60));
    return static_cast<double>(fullMinutes) / 60.0;
}

qint16 SekundenExtract(qint32 zeitInSekunden)
{
    const qint16 r = belowTheHour(zeitInSekunden);
    return static_cast<qint16>(r % 60);
}

double roundHalfEven(double value)
{
    // nearbyint rounds in the current rounding mode, which is round-to-nearest-even
    // unless somebody changed it; std::remainder-based rounding does not depend on it.
    const double lower = std::floor(value);
    const double diff = value - lower;
    if (diff < 0.5)
        return lower;
    if (diff > 0.5)
        return lower + 1.0;
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

qint32 roundToSeconds(double value)
{
    if (std::isnan(value))
        return 0;
    const double rounded = roundHalfEven(value);
    constexpr double lowest = std::numeric_limits<qint32>::min();
    constexpr double highest = std::numeric_limits<qint32>::max();
    if (rounded <= lowest)
        return std::numeric_limits<qint32>::min();
    if (rounded >= highest)
        return std::numeric_limits<qint32>::max();
    return static_cast<qint32>(rounded);
}

QString twoDigitText(qint64 value)
{
    const QString digits = QString::number(value < 0 ? -value : value).rightJustified(2, u'0');
    return value < 0 ? u'-' + digits : digits;
}

QString twoDigitText(const QString &numeral)
{
    // A numeral beyond 64 bits is cut to a range the conversion can hold, instead of overflowing it.
    return twoDigitText(static_cast<qint64>(std::clamp(roundHalfEven(Zahlenwert(numeral)), -1e18, 1e18)));
}
