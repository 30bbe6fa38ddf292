// libFuzzer target for the pure routines behind the entry fields: the numeric
// reading of a text, the digit check at Start, the spin steps, the game length
// of three field texts and the second-count conversions.
//
// Input layout: the first byte chooses how the rest is decoded (bit 0: UTF-8 or
// raw UTF-16) and which spin limit to use (bit 1: 24 or 59). The decoded text is
// split at U+001F into up to three field texts. Every routine must return
// without undefined behaviour and keep the invariants checked below; a broken
// invariant aborts with a message.

#include "clock/timeconversion.h"
#include "entry/gametimeentry.h"
#include "entry/numericreading.h"
#include "entry/spinstep.h"

#include <QString>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

namespace {

[[noreturn]] void fail(const char *what, const QString &text)
{
    std::fprintf(stderr, "invariant broken: %s\ninput (UTF-16 code units):", what);
    for (const QChar c : text)
        std::fprintf(stderr, " %04x", unsigned(c.unicode()));
    std::fprintf(stderr, "\n");
    std::abort();
}

void check(bool condition, const char *what, const QString &text)
{
    if (!condition)
        fail(what, text);
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

/// An independent reading of the leading decimal number, as ASCII for strtod; empty when there is none.
std::string leadingNumber(const QString &text)
{
    std::string compact;
    for (const QChar c : text) {
        if (!isBlank(c))
            compact += c.unicode() < 0x80 ? char(c.unicode()) : '\x7f';
    }
    std::size_t i = 0;
    std::string number;
    if (i < compact.size() && (compact[i] == '+' || compact[i] == '-'))
        number += compact[i++];
    bool anyDigit = false;
    while (i < compact.size() && compact[i] >= '0' && compact[i] <= '9') {
        number += compact[i++];
        anyDigit = true;
    }
    if (i < compact.size() && compact[i] == '.') {
        number += compact[i++];
        while (i < compact.size() && compact[i] >= '0' && compact[i] <= '9') {
            number += compact[i++];
            anyDigit = true;
        }
    }
    return anyDigit ? number : std::string();
}

void checkZahlenwert(const QString &text)
{
    const double value = Zahlenwert(text);
    check(std::isfinite(value), "Zahlenwert is finite", text);

    const std::string number = leadingNumber(text);
    if (number.empty()) {
        check(value == 0.0, "a text without a leading number reads as 0", text);
        return;
    }
    double expected = std::strtod(number.c_str(), nullptr);
    if (std::isinf(expected))
        expected = std::copysign(std::numeric_limits<double>::max(), expected);
    // Both readings round the same decimal numeral; allow for a last-bit difference.
    const double tolerance = std::max(std::abs(expected), std::numeric_limits<double>::min()) * 4
        * std::numeric_limits<double>::epsilon();
    check(std::abs(value - expected) <= tolerance, "Zahlenwert reads the leading decimal number", text);
    check(!(number[0] == '-' && value > 0.0), "a minus sign gives no positive value", text);
    check(number[0] == '-' || value >= 0.0, "no minus sign gives no negative value", text);
}

void checkIstNumerisch(const QString &text)
{
    bool expected = true;
    for (qsizetype i = 0; i < 2 && i < text.size(); ++i)
        expected = expected && isAsciiDigit(text[i]);
    check(IstNumerisch(text) == expected, "IstNumerisch: the first two characters are ASCII digits", text);
}

/// The step's text: at least two digits, an optional minus sign, nothing else.
void checkStepText(const QString &stepped, const QString &text)
{
    const qsizetype digitsFrom = stepped.startsWith(u'-') ? 1 : 0;
    check(stepped.size() - digitsFrom >= 2, "a step writes at least two digits", text);
    check(std::all_of(stepped.begin() + digitsFrom, stepped.end(), isAsciiDigit), "a step writes only digits",
        text);
}

/// @p fieldSized: the text fits an entry field (two characters), so the limits hold for the step's result
/// too.
void checkSpinSteps(const QString &text, int limit, bool fieldSized)
{
    const double value = Zahlenwert(text);

    const SpinUpStep up = spinUpStep(text, limit);
    if (value < limit) {
        check(up.newText.has_value() && !up.atLimit, "a value below the limit steps up", text);
        checkStepText(*up.newText, text);
        const double stepped = Zahlenwert(*up.newText);
        if (fieldSized)
            check(stepped <= limit, "a step up from a field stays within the limit", text);
        if (value > -1e15)
            check(stepped == roundHalfEven(value + 1.0) + 0.0, "a step up adds one", text);
    } else {
        check(!up.newText.has_value() && up.atLimit, "a value at or above the limit does not step up", text);
    }

    const std::optional<QString> down = spinDownStep(text);
    if (value > 0.0) {
        check(down.has_value(), "a value above 0 steps down", text);
        checkStepText(*down, text);
        const double stepped = Zahlenwert(*down);
        check(stepped >= -1.0, "a step down goes at most one below 0", text);
        if (value < 1e15)
            check(stepped == roundHalfEven(value - 1.0) + 0.0, "a step down subtracts one", text);
    } else {
        check(!down.has_value(), "a value of 0 or below does not step down", text);
    }
}

void checkGameSeconds(const QString &hours, const QString &minutes, const QString &seconds)
{
    const QString all = hours + u'\x1f' + minutes + u'\x1f' + seconds;
    const EnteredTime entered = EnteredTime::fromTexts(hours, minutes, seconds);
    check(entered.hours == Zahlenwert(hours) && entered.minutes == Zahlenwert(minutes)
            && entered.seconds == Zahlenwert(seconds),
        "fromTexts reads each field with Zahlenwert", all);
    const qint32 game = entered.gameSeconds();
    const double sum = entered.seconds + entered.minutes * 60.0 + entered.hours * 3600.0;
    if (std::isnan(sum))
        return;
    if (sum >= 2147483647.0)
        check(game == std::numeric_limits<qint32>::max(), "a game too long clamps to the largest count", all);
    else if (sum <= -2147483648.0)
        check(
            game == std::numeric_limits<qint32>::min(), "a game too short clamps to the smallest count", all);
    else
        check(std::abs(double(game) - sum) <= 0.5, "the game length is the nearest whole second", all);

    // What the fields can hold: at most two characters each.
    const EnteredTime typed = EnteredTime::fromTexts(hours.left(2), minutes.left(2), seconds.left(2));
    const qint32 typedGame = typed.gameSeconds();
    check(typedGame >= -32949 && typedGame <= 362439, "two-character fields give a game of -32949..362439 s",
        all);
}

void checkConversions(qint32 count, const QString &text)
{
    const double hours = StundenExtract(count);
    const double minutes = MinutenExtract(count);
    const qint16 seconds = SekundenExtract(count);
    check(minutes >= -59 && minutes <= 59 && seconds >= -59 && seconds <= 59, "minutes and seconds within 59",
        text);
    check(hours == std::trunc(hours) && minutes == std::trunc(minutes), "whole hours and minutes", text);
    check(hours * 3600.0 + minutes * 60.0 + seconds == double(count), "the fields add up to the count", text);
    const QString twoDigits = twoDigitText(qint64(count));
    check(Zahlenwert(twoDigits) == double(count), "twoDigitText keeps the value", text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const uint8_t mode = data[0];
    ++data;
    --size;

    QString text;
    if (mode & 1) {
        text.resize(qsizetype(size / 2));
        std::memcpy(text.data(), data, (size / 2) * 2);
    } else {
        text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    }
    const int limit = (mode & 2) ? 24 : 59;

    checkZahlenwert(text);
    checkIstNumerisch(text);
    checkSpinSteps(text, limit, false);
    checkSpinSteps(text.left(2), limit, true);

    // The two-digit text of a numeral: never undefined, and it reads back as the rounded value.
    const QString twoDigits = twoDigitText(text);
    check(twoDigits.size() >= 2, "twoDigitText gives at least two characters", text);

    const QStringList fields = text.split(u'\x1f');
    const QString hours = fields.value(0);
    const QString minutes = fields.value(1);
    const QString seconds = fields.value(2);
    checkGameSeconds(hours, minutes, seconds);

    qint32 count = 0;
    std::memcpy(&count, data, std::min<size_t>(size, sizeof count));
    checkConversions(count, text);
    return 0;
}
