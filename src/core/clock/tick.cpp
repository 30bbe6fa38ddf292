#include "core/clock/tick.h"

#include "core/clock/numeral.h"
#include "core/clock/timeconversion.h"

double percentOf(qint32 part, qint32 whole)
{
    if (whole <= 0)
        return 100.0;
    return static_cast<double>(part) / static_cast<double>(whole) * 100.0;
}

namespace {

QString numeral(double wholeNumber)
{
    return QString::number(static_cast<qint64>(wholeNumber));
}

QString hms(const ClockState &s)
{
    return twoDigitText(s.Stunden) + u':' + twoDigitText(s.Minuten) + u':' + twoDigitText(s.Sekunden);
}

} // namespace

TickUpdate advanceOneSecond(ClockState &s)
{
    TickUpdate u;
    s.Zeitzähler += 1;
    u.lastTick = s.Zeitzähler == s.Spielzeit;
    s.SpielzeitRest = s.Spielzeit - s.Zeitzähler;
    s.SpielzeitAbgelaufen = s.Spielzeit - s.SpielzeitRest;

    if (s.Zeitzähler > s.Spielzeit) {
        // The game time lies behind us (lowered during the run): only the title follows.
        u.minimisedTitle = hms(s);
        return u;
    }
    u.display = true;

    s.Sekunden = QString::number(SekundenExtract(s.SpielzeitRest));
    s.Minuten = numeral(MinutenExtract(s.SpielzeitRest));
    s.Stunden = numeral(StundenExtract(s.SpielzeitRest));

    s.Halbzeit = roundToSeconds(s.Spielzeit / 2.0);
    if (s.Zeitzähler > s.Halbzeit) {
        s.Halbzeit2Abgelaufen = s.Zeitzähler - s.Halbzeit;
        s.Halbzeit2Rest = (s.Spielzeit - s.Halbzeit) - s.Halbzeit2Abgelaufen;
    } else {
        s.Halbzeit1Abgelaufen = s.Zeitzähler;
        s.Halbzeit1Rest = s.Halbzeit - s.Zeitzähler;
    }

    u.lblSekAb = twoDigitText(SekundenExtract(s.SpielzeitAbgelaufen));
    u.lblMinAb = twoDigitText(static_cast<qint64>(MinutenExtract(s.SpielzeitAbgelaufen)));
    u.lblStdAb = twoDigitText(static_cast<qint64>(StundenExtract(s.SpielzeitAbgelaufen)));

    // First half. A game of one second has a first half of length zero,
    // which is over before it starts.
    if (s.Halbzeit == 0) {
        u.halbzeit1 = { 100.0, Signal::Color::Red, true };
    } else {
        if (s.Halbzeit1Abgelaufen <= s.Halbzeit)
            u.halbzeit1.percent = percentOf(s.Halbzeit1Abgelaufen, s.Halbzeit);
        u.halbzeit1.color = Signal::forRemaining(s.Halbzeit1Rest);
        u.halbzeit1.showBanner = s.Halbzeit1Rest == 0;
    }

    // Second half: its share is measured in lengths of the first half.
    if (s.Halbzeit2Abgelaufen <= s.Halbzeit)
        u.halbzeit2.percent = percentOf(s.Halbzeit2Abgelaufen, s.Halbzeit);
    u.halbzeit2.color = Signal::forRemaining(s.Halbzeit2Rest);
    u.halbzeit2.showBanner = s.Halbzeit2Rest == 0 && s.Zeitzähler > s.Halbzeit;

    // Whole game: the last tick leaves the bar at the share of the tick before.
    u.zeit.color = Signal::forRemaining(s.SpielzeitRest);
    u.zeit.showBanner = s.SpielzeitRest == 0;
    if (s.SpielzeitAbgelaufen < s.Spielzeit)
        u.zeit.percent = percentOf(s.SpielzeitAbgelaufen, s.Spielzeit);

    u.lblStd = twoDigitText(s.Stunden);
    u.lblMin = twoDigitText(s.Minuten);
    const bool lastHalfMinute
        = Zahlenwert(s.Stunden) == 0.0 && Zahlenwert(s.Minuten) == 0.0 && Zahlenwert(s.Sekunden) <= 30.0;
    u.secondsRed = lastHalfMinute;
    u.lblSek = twoDigitText(s.Sekunden);
    u.minimisedTitle = hms(s);
    return u;
}
