#include "number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace fixwatch {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the longest prefix of `s` that reads as sign, digits, "." digits, exponent.
// Zero when `s` does not begin with a number.
std::size_t NumberPrefixLength(std::string_view s)
{
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    std::size_t digits = 0;
    while (i < s.size() && IsDigit(s[i])) {
        ++i;
        ++digits;
    }
    std::size_t end = digits > 0 ? i : 0;
    if (i < s.size() && s[i] == '.') {
        std::size_t j = i + 1;
        std::size_t decimals = 0;
        while (j < s.size() && IsDigit(s[j])) {
            ++j;
            ++decimals;
        }
        if (decimals > 0 || digits > 0) {
            digits += decimals;
            i = j;
            end = i;
        }
    }
    if (digits == 0)
        return 0;
    if (i < s.size() && s[i] == 'E') {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            ++j;
        std::size_t expDigits = 0;
        while (j < s.size() && IsDigit(s[j])) {
            ++j;
            ++expDigits;
        }
        if (expDigits > 0)
            end = j;
    }
    return end;
}

// Converts a text that NumberPrefixLength accepted whole. Overflow gives an infinity,
// underflow a zero, both with the number's sign.
double ConvertNumber(std::string_view number)
{
    bool negative = false;
    if (!number.empty() && (number.front() == '+' || number.front() == '-')) {
        negative = number.front() == '-';
        number.remove_prefix(1);
    }
    double value = 0.0;
    auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    (void)ptr;
    if (ec == std::errc::result_out_of_range) {
        auto e = number.find('E');
        bool tiny = e != std::string_view::npos && e + 1 < number.size() && number[e + 1] == '-';
        value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    } else if (ec != std::errc()) {
        value = 0.0;
    }
    return negative ? -value : value;
}

// The most decimal digits read by the fast paths: their value is exact in a double.
constexpr std::size_t kFastDigits = 15;
constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

// The common field "-12.345" (optional "-", digits, optional "." and digits, nothing else,
// at most kFastDigits digits) read exactly as from_chars reads it: both the digits as an
// integer and the power of ten are exact doubles, so one division rounds correctly. Nothing
// for any other text, which takes the general path.
std::optional<double> PlainDecimal(std::string_view s)
{
    std::size_t i = 0;
    const bool negative = !s.empty() && s[0] == '-';
    i += negative;
    std::uint64_t digits = 0;
    std::size_t count = 0, decimals = 0;
    const std::size_t whole = i;
    for (; i < s.size() && IsDigit(s[i]); ++i, ++count)
        digits = digits * 10 + static_cast<unsigned>(s[i] - '0');
    if (i == whole)
        return std::nullopt;
    if (i < s.size() && s[i] == '.') {
        for (++i; i < s.size() && IsDigit(s[i]); ++i, ++count, ++decimals)
            digits = digits * 10 + static_cast<unsigned>(s[i] - '0');
    }
    if (i != s.size() || count > kFastDigits)
        return std::nullopt;
    const double value = static_cast<double>(digits) / kPowersOfTen[decimals];
    return negative ? -value : value;
}

} // namespace

double LeadingNumber(std::string_view text)
{
    if (const auto plain = PlainDecimal(text))
        return *plain;

    auto isSkipped = [](char c) { return c == ' ' || c == '\t' || c == '\n'; };
    // Fields almost never hold blanks, so copy only when there is something to drop.
    std::string compact;
    if (std::any_of(text.begin(), text.end(), isSkipped)) {
        compact.reserve(text.size());
        for (char c : text) {
            if (!isSkipped(c))
                compact.push_back(c);
        }
        text = compact;
    }
    std::size_t length = NumberPrefixLength(text);
    if (length == 0)
        return 0.0;
    return ConvertNumber(text.substr(0, length));
}

std::optional<std::int16_t> RoundToInt16(double value)
{
    if (std::isnan(value))
        return std::nullopt;
    double rounded = std::nearbyint(value); // default rounding mode: halves to even
    if (rounded < -32768.0 || rounded > 32767.0)
        return std::nullopt;
    return static_cast<std::int16_t>(rounded);
}

std::optional<std::int16_t> detail::ToIntegerGeneral(std::string_view text)
{
    auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    if (text.empty() || NumberPrefixLength(text) != text.size())
        return std::nullopt;
    return RoundToInt16(ConvertNumber(text));
}

} // namespace fixwatch
