#include "alarm_kind.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace fixwatch {
namespace {

// clang-format off
constexpr std::array<std::string_view, kAlarmKinds.size()> kNames{
    "no-data", "fix-lost", "fix-degraded", "hdop", "satellites", "anchor", "date",
};
constexpr std::array<int, kAlarmKinds.size()> kSeriousness{
    0, 1, 3, 5, 4, 2, 6,
};
// clang-format on

// Limits that keep a typed value meaningful: a day of silence, a DOP no receiver reports,
// more satellites than a receiver tracks, and a radius beyond any anchorage.
constexpr double kMaxNoDataSeconds = 86400;
constexpr double kMaxHdop = 99.9;
constexpr int kMaxSatellites = 99;
constexpr double kMaxAnchorRadius = 100000;

std::optional<double> ReadNumber(std::string_view text)
{
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

std::string_view AlarmKindName(AlarmKind kind)
{
    return kNames[AlarmIndex(kind)];
}

std::optional<AlarmKind> ReadAlarmKind(std::string_view name)
{
    for (const AlarmKind kind : kAlarmKinds)
        if (kNames[AlarmIndex(kind)] == name)
            return kind;
    return std::nullopt;
}

int AlarmSeriousness(AlarmKind kind)
{
    return kSeriousness[AlarmIndex(kind)];
}

bool AlarmIsCritical(AlarmKind kind)
{
    return kind == AlarmKind::NoData || kind == AlarmKind::FixLost || kind == AlarmKind::Anchor;
}

std::optional<AlarmOption> ReadAlarmOption(std::string_view text, const AlarmSettings& settings,
                                           std::string* error)
{
    auto fail = [error](std::string why) -> std::optional<AlarmOption> {
        if (error != nullptr)
            *error = std::move(why);
        return std::nullopt;
    };
    const std::size_t colon = text.find(':');
    const std::string_view name = text.substr(0, colon);
    const std::optional<std::string_view> value =
        colon == std::string_view::npos ? std::nullopt : std::optional(text.substr(colon + 1));
    const auto kind = ReadAlarmKind(name);
    if (!kind)
        return fail("unknown alarm kind \"" + std::string(name)
                    + "\" (no-data, fix-lost, fix-degraded, hdop, satellites, anchor or date)");

    AlarmOption option{*kind, settings};
    AlarmSettings& s = option.settings;
    if (!value)
        return option;
    switch (*kind) {
    case AlarmKind::FixLost:
    case AlarmKind::FixDegraded:
    case AlarmKind::Date:
        return fail("the " + std::string(name) + " alarm takes no value");
    case AlarmKind::NoData: {
        const auto seconds = ReadNumber(*value);
        if (!seconds || *seconds < 1 || *seconds > kMaxNoDataSeconds)
            return fail("the seconds of no-data must be a number from 1 to 86400");
        s.noDataSeconds = *seconds;
        return option;
    }
    case AlarmKind::Hdop: {
        const auto limit = ReadNumber(*value);
        if (!limit || *limit <= 0 || *limit > kMaxHdop)
            return fail("the HDOP limit must be a number above 0 and up to 99.9");
        s.hdopLimit = *limit;
        return option;
    }
    case AlarmKind::Satellites: {
        const auto count = ReadNumber(*value);
        if (!count || *count < 1 || *count > kMaxSatellites || std::floor(*count) != *count)
            return fail("the number of satellites must be a whole number from 1 to 99");
        s.satellitesMinimum = static_cast<int>(*count);
        return option;
    }
    case AlarmKind::Anchor: {
        const std::size_t at = value->find('@');
        const auto radius = ReadNumber(value->substr(0, at));
        if (!radius || *radius <= 0 || *radius > kMaxAnchorRadius)
            return fail("the anchor radius must be a number of metres above 0 and up to 100000");
        s.anchorRadius = *radius;
        if (at == std::string_view::npos)
            return option;
        s.anchorPoint = ReadWgsPoint(value->substr(at + 1));
        if (!s.anchorPoint)
            return fail("the anchor point must be LATITUDE,LONGITUDE in decimal degrees "
                        "(-90 to 90, -180 to 180)");
        return option;
    }
    }
    return fail("unknown alarm kind");
}

std::optional<WgsPoint> ReadWgsPoint(std::string_view text)
{
    auto trimmed = [](std::string_view part) {
        while (!part.empty() && part.front() == ' ')
            part.remove_prefix(1);
        while (!part.empty() && part.back() == ' ')
            part.remove_suffix(1);
        return part;
    };
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos)
        return std::nullopt;
    const auto latitude = ReadNumber(trimmed(text.substr(0, comma)));
    const auto longitude = ReadNumber(trimmed(text.substr(comma + 1)));
    if (!latitude || !longitude || std::fabs(*latitude) > 90 || std::fabs(*longitude) > 180)
        return std::nullopt;
    return WgsPoint{*latitude, *longitude};
}

std::string ShortNumber(double value, int decimals)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    std::string result(text);
    if (result.find('.') != std::string::npos) {
        while (result.back() == '0')
            result.pop_back();
        if (result.back() == '.')
            result.pop_back();
    }
    if (result == "-0")
        result = "0";
    return result;
}

} // namespace fixwatch
