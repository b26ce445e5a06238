#include "field_reading.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace fixwatch::field {

namespace {

constexpr std::int32_t kDayMs = 24 * 60 * 60 * 1000;

// Digits with at most one point among them, as a coordinate is written.
bool PlainDigits(std::string_view field)
{
    bool point = false;
    for (char c : field) {
        if (c == '.' && !point)
            point = true;
        else if (c < '0' || c > '9')
            return false;
    }
    return true;
}

} // namespace

std::optional<double> Decimal(std::string_view field)
{
    if (field.empty())
        return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (error != std::errc() || end != field.data() + field.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<double> NonNegativeDecimal(std::string_view field)
{
    const auto value = Decimal(field);
    return value && *value >= 0 ? value : std::nullopt;
}

std::optional<int> Whole(std::string_view field)
{
    int value = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (field.empty() || error != std::errc() || end != field.data() + field.size())
        return std::nullopt;
    return value;
}

std::optional<std::int32_t> TimeOfDayMs(std::string_view field)
{
    if (field.size() < 6)
        return std::nullopt;
    const auto hours = Whole(field.substr(0, 2));
    const auto minutes = Whole(field.substr(2, 2));
    const auto seconds = Decimal(field.substr(4));
    if (!hours || !minutes || !seconds || field[4] == '-' || *hours < 0 || *hours > 23 || *minutes < 0
        || *minutes > 59 || *seconds < 0 || *seconds >= 61)
        return std::nullopt;
    const auto ms = static_cast<std::int32_t>(std::lround(*seconds * 1000));
    return std::min(kDayMs - 1, (*hours * 60 + *minutes) * 60'000 + ms);
}

int TimeDecimals(std::string_view field)
{
    const std::size_t point = field.find('.');
    return point == std::string_view::npos ? 0 : static_cast<int>(std::min<std::size_t>(field.size() - point - 1, 3));
}

std::optional<std::int64_t> WholeSecondOfDay(std::string_view field)
{
    if (field.size() < 6 || !std::all_of(field.begin(), field.begin() + 6, [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    auto two = [&](std::size_t at) { return (field[at] - '0') * 10 + (field[at + 1] - '0'); };
    if (two(0) > 23 || two(2) > 59 || two(4) > 60)
        return std::nullopt;
    return two(0) * 3600 + two(2) * 60 + two(4);
}

std::optional<double> Coordinate(std::string_view value, std::string_view hemisphere, int maxDegrees)
{
    if (!PlainDigits(value))
        return std::nullopt;
    const auto number = NonNegativeDecimal(value);
    if (!number || hemisphere.size() != 1)
        return std::nullopt;
    const double degrees = std::floor(*number / 100);
    const double minutes = *number - degrees * 100;
    double result = degrees + minutes / 60;
    if (minutes >= 60 || result > maxDegrees)
        return std::nullopt;
    const char h = hemisphere[0];
    if (h == 'S' || h == 'W')
        result = -result;
    else if (h != 'N' && h != 'E')
        return std::nullopt;
    return result;
}

std::optional<double> Direction(std::string_view field)
{
    const auto value = NonNegativeDecimal(field);
    return value && *value < 360 ? value : std::nullopt;
}

} // namespace fixwatch::field
