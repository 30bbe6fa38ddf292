#pragma once

#include <QString>

/**
 * @file
 * Reading numerals: the entry fields' texts and the clock's time texts.
 */

/**
 * The numeric value of @p text: blanks, tabs and line feeds are left out
 * wherever they stand, then the leading decimal number is read (optional
 * sign, digits, optionally "." and more digits; "." whatever the locale).
 * A text that does not begin with a number reads as 0: "5a" -> 5,
 * "a5" -> 0, ".5" -> 0.5, "1." -> 1, "-" -> 0.
 */
double Zahlenwert(const QString &text);

/**
 * The digit check made at Start: true when the first and the second
 * character (where there are any) are digits "0" to "9". An empty text
 * passes, as it counts as "0".
 */
bool IstNumerisch(const QString &text);
