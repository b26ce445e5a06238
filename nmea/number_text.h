#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace fixwatch {

// The value of the longest leading decimal number of a text ("1.2x" gives 1.2); blanks,
// tabs and line feeds are skipped wherever they stand; 0 when the text has no leading
// number. "." is the only decimal separator, whatever the locale. Never fails.
double LeadingNumber(std::string_view text);

// The whole text (blanks around it allowed) read as a decimal number, rounded to the
// nearest integer with halves going to the even neighbour. Empty when the text is not a
// number or the rounded value lies outside the 16-bit signed range.
std::optional<std::int16_t> ToInteger(std::string_view text);

// Rounds to the nearest integer, halves to the even neighbour; empty outside int16 range.
std::optional<std::int16_t> RoundToInt16(double value);

} // namespace fixwatch
