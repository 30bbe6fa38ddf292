#include "core/clock/numeral.h"

#include <algorithm>
#include <limits>

namespace {

bool isBlank(QChar c)
{
    // A carriage return is not among them: "\r5" does not begin with a number.
    return c == u' ' || c == u'\t' || c == u'\n';
}

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

double Zahlenwert(const QString &text)
{
    QString compact;
    compact.reserve(text.size());
    for (QChar c : text) {
        if (!isBlank(c))
            compact.append(c);
    }

    qsizetype i = 0;
    QString number;
    if (i < compact.size() && (compact[i] == u'+' || compact[i] == u'-'))
        number.append(compact[i++]);
    QString whole;
    for (; i < compact.size() && isAsciiDigit(compact[i]); ++i)
        whole.append(compact[i]);
    QString fraction;
    if (i < compact.size() && compact[i] == u'.') {
        for (++i; i < compact.size() && isAsciiDigit(compact[i]); ++i)
            fraction.append(compact[i]);
    }
    if (whole.isEmpty() && fraction.isEmpty())
        return 0.0;

    number += whole.isEmpty() ? QStringLiteral("0") : whole;
    if (!fraction.isEmpty())
        number += u'.' + fraction;
    // QString::toDouble always reads the C locale, so "." is the separator everywhere.
    bool ok = false;
    const double value = number.toDouble(&ok);
    if (ok)
        return value;
    // Only a numeral out of a double's range gets here: below 1 it is too small (reads as 0), else too large.
    if (std::all_of(whole.cbegin(), whole.cend(), [](QChar c) { return c == u'0'; }))
        return 0.0;
    return number.startsWith(u'-') ? -std::numeric_limits<double>::max() : std::numeric_limits<double>::max();
}

bool IstNumerisch(const QString &text)
{
    const QString checked = text.isEmpty() ? QStringLiteral("0") : text;
    for (qsizetype i = 0; i < 2 && i < checked.size(); ++i) {
        if (!isAsciiDigit(checked[i]))
            return false;
    }
    return true;
}
