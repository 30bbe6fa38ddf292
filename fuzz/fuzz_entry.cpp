// libFuzzer target for the routines behind the entry fields: the numeric
// reading, the digit check, the spin steps, the game length and the second
// counts' conversion. The first byte chooses UTF-8 or raw UTF-16 input; the
// text is split at U+001F into up to three field texts. Every routine must
// return without undefined behaviour; the reading is checked against strtod.
#include "core/clock/numeral.h"
#include "core/clock/timeconversion.h"
#include "core/entry/gametimeentry.h"
#include "core/entry/spinstep.h"

#include <QStringList>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

namespace {

void check(bool condition, const char *what)
{
    if (!condition)
        std::fprintf(stderr, "invariant broken: %s\n", what), std::abort();
}

/// The leading number after blanks, tabs and line feeds are left out, read by strtod.
double reference(const QString &text)
{
    std::string ascii;
    for (const QChar c : text)
        if (c != u' ' && c != u'\t' && c != u'\n')
            ascii += c.unicode() < 0x80 && c.unicode() > 0 ? char(c.unicode()) : '#';
    std::size_t end = ascii.find_first_not_of("+-") == 1 ? 1 : 0;
    const std::size_t digits = ascii.find_first_not_of("0123456789", end);
    std::size_t stop = digits == std::string::npos ? ascii.size() : digits;
    if (stop < ascii.size() && ascii[stop] == '.')
        stop = std::min(ascii.find_first_not_of("0123456789", stop + 1), ascii.size());
    const std::string number = ascii.substr(0, stop);
    if (number.find_first_of("0123456789") == std::string::npos)
        return 0.0;
    const double value = std::strtod(number.c_str(), nullptr);
    return std::isinf(value) ? std::copysign(std::numeric_limits<double>::max(), value) : value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const auto *rest = reinterpret_cast<const char *>(data + 1);
    const QString text = data[0] & 1
        ? QString::fromUtf16(reinterpret_cast<const char16_t *>(rest), (size - 1) / 2)
        : QString::fromUtf8(rest, qsizetype(size - 1));
    const QStringList fields = (text.split(QChar(0x1f)) + QStringList(3, QString())).mid(0, 3);
    for (const QString &field : fields) {
        check(
            std::abs(Zahlenwert(field) - reference(field)) <= 1e-300 || Zahlenwert(field) == reference(field),
            "Zahlenwert differs from strtod");
        IstNumerisch(field);
        spinUpStep(field, data[0] & 2 ? 24 : 59);
        spinDownStep(field);
        twoDigitText(field);
    }
    const qint32 seconds = EnteredTime::fromTexts(fields[0], fields[1], fields[2]).gameSeconds();
    check(std::abs(double(SekundenExtract(seconds))) < 60 && std::abs(MinutenExtract(seconds)) < 60,
        "fields of a second count stay below 60");
    return 0;
}
