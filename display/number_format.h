#pragma once

#include <QString>

#include <cstdint>

namespace fixwatch {

// The picture patterns of the display. `decimalPoint` is the separator of the user's
// regional settings (QLocale::decimalPoint()); no digit grouping is ever written and the
// minus sign is always "-".
//
// Rounding: the value is first written as the shortest decimal text that reads back as the
// same double, then rounded at the pattern's last place with an exact half going away from
// zero. So 0.125 gives 0.125 and 2.0005 gives 2.001 (as typed), where rounding the binary
// value would give 2.0 for 2.0005 because its double lies just below the half.

// "###0.0##": at least one and at most three decimals, 12 -> "12.0", 0.25 -> "0.25",
// 12.34567 -> "12.346".
QString FormatUpToThreeDecimals(double value, const QString& decimalPoint);

// "###0.0": exactly one decimal, 99.99 -> "100.0".
QString FormatOneDecimal(double value, const QString& decimalPoint);

// Exactly `decimals` decimals (0 to 3), rounded as above: 41.4848 with 1 -> "41.5".
QString FormatDecimals(double value, int decimals, const QString& decimalPoint);

// How many decimals (0 to 3) `value` carries as received: those of the shortest text that
// reads back as the same double, so 14.2 -> 1, 0.08 -> 2, 7 -> 0. A converted value is shown
// with as many, never with the false precision of the conversion factor.
int DecimalsCarried(double value);

// "#0" and plain decimal integers: no leading zeros, "-" before a negative value.
QString FormatInteger(std::int16_t value);

// "00": at least two digits, 1 -> "01".
QString FormatTwoDigits(int value);

// A received date "dd/mm/yy" (day and month of one or two digits, a year of two or four
// digits) written as "dd/mm/yyyy". Two-digit years 00 to 68 are 2000 to 2068 and 69 to 99
// are 1969 to 1999. A text that is not a real calendar date is returned unchanged.
QString FormatDate(const QString& satDate);

} // namespace fixwatch
