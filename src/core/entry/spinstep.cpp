#include "core/entry/spinstep.h"

#include "core/clock/numeral.h"
#include "core/clock/timeconversion.h"

#include <algorithm>

namespace {

QString formatStep(double value)
{
    // -0.5 rounds to a negative zero; the field shows it as "00".
    // The fields hold two characters, but any text must step without overflow.
    const double rounded = std::clamp(roundHalfEven(value), -1e15, 1e15);
    return twoDigitText(static_cast<qint64>(rounded == 0.0 ? 0.0 : rounded));
}

} // namespace

std::optional<QString> spinUpStep(const QString &text, int limit)
{
    const double value = Zahlenwert(text);
    if (value < limit)
        return formatStep(value + 1.0);
    return std::nullopt;
}

std::optional<QString> spinDownStep(const QString &text)
{
    const double value = Zahlenwert(text);
    if (value > 0.0)
        return formatStep(value - 1.0);
    return std::nullopt;
}
