#pragma once

#include "number_text.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

// Every reader of a sentence's fields takes its numbers, times and angles from here, so that
// how strictly a field is read is said once, in this file.
//
// Two kinds of reading:
// - strict: the whole field is read or nothing is; an empty field, a blank, a stray letter
//   give nothing. The epoch model, the sky and the accuracy figures read this way: a value
//   they keep must be what the receiver meant.
// - lenient: the interpreter's reading, which shows what it can of any text, as the window
//   always has (its events must not change). Only the interpreter uses it.
namespace fixwatch::field {

// ---- Strict -------------------------------------------------------------------------------

// A decimal number as std::from_chars reads it ("-12.5", "0.9", "1e3"), taking the whole
// field and finite; nothing for "", " 1", "+1", "1.5x", "inf" or "nan".
std::optional<double> Decimal(std::string_view field);

// Decimal, and not below zero (a DOP, a speed, a course, an expected error).
std::optional<double> NonNegativeDecimal(std::string_view field);

// A whole number: an optional "-" and decimal digits, the whole field, within int ("08" is 8);
// nothing for "", "8.0", "+8", " 8" or a number too large.
std::optional<int> Whole(std::string_view field);

// Whole, and not below zero (a count of satellites).
inline std::optional<int> Count(std::string_view field)
{
    const auto value = Whole(field);
    return value && *value >= 0 ? value : std::nullopt;
}

// Decimal digits perhaps followed by "." and more digits, which are dropped ("45.7" is 45):
// receivers that send an elevation or a C/N0 with a fraction. No sign. Nothing when the field
// is empty, holds anything else, or the value exceeds `max`. Inline: a GSV has sixteen.
inline std::optional<int> TruncatedWhole(std::string_view field, int max)
{
    std::size_t i = 0;
    int value = 0;
    for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i) {
        value = value * 10 + (field[i] - '0');
        if (value > max)
            return std::nullopt;
    }
    if (i == 0)
        return std::nullopt;
    if (i < field.size()) {
        if (field[i] != '.')
            return std::nullopt;
        for (++i; i < field.size(); ++i) {
            if (field[i] < '0' || field[i] > '9')
                return std::nullopt;
        }
    }
    return value;
}

// A UTC time of day "hhmmss" or "hhmmss.sss" as milliseconds since midnight: hours 0-23,
// minutes 0-59, seconds below 61 (a leap second); the seconds read as Decimal. Nothing for a
// shorter field or anything out of range.
std::optional<std::int32_t> TimeOfDayMs(std::string_view field);

// How many digits a time field has after the second's point, at most 3.
int TimeDecimals(std::string_view field);

// The whole seconds of a time field's first six characters, "hhmmss", as seconds of the day;
// what follows them is not looked at (a clock that only ticks in seconds). Seconds up to 60.
std::optional<std::int64_t> WholeSecondOfDay(std::string_view field);

// A coordinate "ddmm.mmmm" with "N"/"S" (maxDegrees 90) or "dddmm.mmmm" with "E"/"W"
// (maxDegrees 180) as signed decimal degrees, north and east positive: digits with at most
// one point, no sign, no exponent; minutes below 60; the hemisphere one of those four letters.
std::optional<double> Coordinate(std::string_view value, std::string_view hemisphere, int maxDegrees);

// Degrees of a direction, 0 to below 360 (a heading, a course): Decimal in that range.
std::optional<double> Direction(std::string_view field);

// ---- Lenient: the interpreter's own ---------------------------------------------------------

// The longest leading decimal number, blanks skipped, 0 for none: "1.2x" is 1.2, "" is 0.
inline double LenientDecimal(std::string_view field) { return LeadingNumber(field); }

// The field as a decimal number rounded to a 16-bit integer (halves to even), blanks around
// it allowed; nothing when it is not a number or out of range.
inline std::optional<std::int16_t> LenientInteger(std::string_view field) { return ToInteger(field); }

} // namespace fixwatch::field
