#pragma once

#include <QString>
#include <QtGlobal>

/**
 * @file
 * Second counts and their hours, minutes and seconds.
 *
 * A second count is a 32-bit signed number of whole seconds. The three
 * extract routines split one into its fields; a negative count gives
 * fields with its sign (-61 s is 0 h, -1 min, -1 s).
 */

/// Whole hours in @p zeitInSekunden.
double StundenExtract(qint32 zeitInSekunden);
/// Whole minutes left over after the hours, -59 to 59.
double MinutenExtract(qint32 zeitInSekunden);
/// Seconds left over after hours and minutes, -59 to 59.
qint16 SekundenExtract(qint32 zeitInSekunden);

/// Nearest whole number, an exact half going to the even neighbour (2.5 -> 2, 3.5 -> 4).
double roundHalfEven(double value);

/// Nearest 32-bit integer of @p value (ties to even), clamped to the 32-bit range.
qint32 roundToSeconds(double value);

/// A whole number with at least two digits, zero-filled on the left: 7 -> "07", 100 -> "100", -4 -> "-04".
QString twoDigitText(qint64 value);

/// The two-digit text of a numeral such as "7" (-> "07"); whatever is not a number reads as 0.
QString twoDigitText(const QString &numeral);
