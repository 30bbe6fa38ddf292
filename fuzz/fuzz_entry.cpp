// libFuzzer target for the routines behind the entry fields: the numeric
// reading, the digit check, the spin steps, the game length and the second
// counts' conversion. The first byte chooses UTF-8 or raw UTF-16 input; the
// text is split at U+001F into up to three field texts. Every routine must
// return without undefined behaviour; a few invariants are checked (an abort names the line).
#include "core/clock/numeral.h"
#include "core/clock/timeconversion.h"
#include "core/entry/gametimeentry.h"
#include "core/entry/spinstep.h"

#include <QStringList>
#include <cmath>
#include <cstdint>
#include <cstdlib>

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
        const double value = Zahlenwert(field);
        if (std::isnan(value) || (IstNumerisch(field) && value < 0)) // digits alone are never negative
            std::abort();
        spinUpStep(field, data[0] & 2 ? 24 : 59);
        spinDownStep(field);
        twoDigitText(field);
    }
    const qint32 seconds = EnteredTime::fromTexts(fields[0], fields[1], fields[2]).gameSeconds();
    if (std::abs(double(SekundenExtract(seconds))) >= 60 || std::abs(MinutenExtract(seconds)) >= 60)
        std::abort(); // the fields of a second count stay below 60
    return 0;
}
