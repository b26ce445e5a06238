#pragma once

#include <cstddef>
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
// Most integer fields are one to three plain digits (a GSV has sixteen of them): those are
// read inline in the caller, everything else by the general conversion.
namespace detail {
std::optional<std::int16_t> ToIntegerGeneral(std::string_view text);
} // namespace detail

inline std::optional<std::int16_t> ToInteger(std::string_view text)
{
    if (!text.empty() && text.size() <= 5) {
        int value = 0;
        std::size_t i = 0;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
            value = value * 10 + (text[i] - '0');
        if (i == text.size())
            return value <= INT16_MAX ? std::optional<std::int16_t>(static_cast<std::int16_t>(value)) : std::nullopt;
    }
    return detail::ToIntegerGeneral(text);
}

// Rounds to the nearest integer, halves to the even neighbour; empty outside int16 range.
std::optional<std::int16_t> RoundToInt16(double value);

} // namespace fixwatch
