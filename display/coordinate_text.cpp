#include "coordinate_text.h"

#include <GeographicLib/Constants.hpp>
#include <GeographicLib/DMS.hpp>
#include <GeographicLib/GeoCoords.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace fixwatch {
namespace {

constexpr char kDegreeSign = '\xB0';    // ISO-8859-1
constexpr int kDecimalDegreePlaces = 7; // about 1 cm
constexpr int kSecondPlaces = 2;        // about 30 cm

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// One worded coordinate, "048° 07.038' N": its value in degrees, negative for `negative`.
std::optional<double> ReadCoordinate(std::string_view text, char positive, char negative,
                                     double limit)
{
    // Degrees: three digits, then the degree sign and a blank.
    if (text.size() < 5 || !IsDigit(text[0]) || !IsDigit(text[1]) || !IsDigit(text[2])
        || text[3] != kDegreeSign || text[4] != ' ')
        return std::nullopt;
    const std::string_view degreesText = text.substr(0, 3);
    text.remove_prefix(5);

    // Minutes: two digits, optional decimals, then "' " and the hemisphere letter, last.
    if (text.size() < 5 || !IsDigit(text[0]) || !IsDigit(text[1]))
        return std::nullopt;
    const std::size_t quote = text.find('\'');
    if (quote == std::string_view::npos || text.size() != quote + 3 || text[quote + 1] != ' ')
        return std::nullopt;
    const std::string_view minutesText = text.substr(0, quote);
    const bool digitsOnly = std::all_of(minutesText.begin() + 2, minutesText.end(), IsDigit);
    const bool decimals = minutesText.size() > 2 && minutesText[2] == '.'
                          && std::all_of(minutesText.begin() + 3, minutesText.end(), IsDigit);
    if (!digitsOnly && !decimals)
        return std::nullopt;
    if (minutesText[0] >= '6')
        return std::nullopt;
    const char hemisphere = text[quote + 2];
    if (hemisphere != positive && hemisphere != negative)
        return std::nullopt;

    // GeographicLib reads the figures, as GeoConvert reads "048d07.038'", so that a value
    // on a half of the last shown decimal rounds the same way in both.
    double value = 0;
    try {
        GeographicLib::DMS::flag indicator = GeographicLib::DMS::NONE;
        value = GeographicLib::DMS::Decode(std::string(degreesText) + 'd' + std::string(minutesText) + '\'',
                                           indicator);
    } catch (const GeographicLib::GeographicErr&) {
        return std::nullopt;
    }
    if (!(value <= limit))
        return std::nullopt;
    return hemisphere == negative ? -value : value;
}

// An absolute angle with its hemisphere letter after it, the sign of a zero too.
std::string WithHemisphere(const std::string& number, double angle, char positive,
                           char negative)
{
    return number + ' ' + (std::signbit(angle) ? negative : positive);
}

// "48.1173000° N".
std::string DecimalDegrees(double angle, char positive, char negative)
{
    const std::string number =
        GeographicLib::DMS::Encode(std::fabs(angle), GeographicLib::DMS::DEGREE,
                                   kDecimalDegreePlaces);
    return WithHemisphere(number + kDegreeSign, angle, positive, negative);
}

// "48° 07' 02.28" N": GeographicLib rounds and carries 59.995" to the next minute.
std::string DegreesMinutesSeconds(double angle, char positive, char negative)
{
    const std::string encoded = GeographicLib::DMS::Encode(
        std::fabs(angle), GeographicLib::DMS::SECOND, kSecondPlaces, GeographicLib::DMS::NONE, ':');
    std::string text;
    int separators = 0;
    for (const char c : encoded) {
        if (c != ':') {
            text += c;
            continue;
        }
        text += separators++ == 0 ? std::string{kDegreeSign, ' '} : std::string("' ");
    }
    return WithHemisphere(text + '"', angle, positive, negative);
}

// "32UPU8729932401" as the grid square "32UPU" and "87299 32401".
PositionText SplitMgrs(const std::string& mgrs)
{
    std::size_t digits = mgrs.size();
    while (digits > 0 && IsDigit(mgrs[digits - 1]))
        --digits;
    const std::string numbers = mgrs.substr(digits);
    const std::size_t half = numbers.size() / 2;
    return {mgrs.substr(0, digits), numbers.substr(0, half) + ' ' + numbers.substr(half)};
}

// "32n 687300 5332401" as the grid zone "32U" and "687300 5332401".
PositionText SplitUtm(const GeographicLib::GeoCoords& coords)
{
    const std::string utm = coords.UTMUPSRepresentation(0);
    const std::size_t blank = utm.find(' ');
    return {coords.MGRSRepresentation(-6),
            blank == std::string::npos ? std::string() : utm.substr(blank + 1)};
}

} // namespace

std::optional<CoordinateFormat> CoordinateFormatNamed(std::string_view name)
{
    static constexpr std::array<std::pair<std::string_view, CoordinateFormat>, 6> kNames{{
        {"sent", CoordinateFormat::Sent},
        {"dd", CoordinateFormat::DecimalDegrees},
        {"dms", CoordinateFormat::DegreesMinutesSeconds},
        {"utm", CoordinateFormat::Utm},
        {"mgrs", CoordinateFormat::Mgrs},
        {"locator", CoordinateFormat::Locator},
    }};
    for (const auto& [text, format] : kNames) {
        if (text == name)
            return format;
    }
    return std::nullopt;
}

std::optional<UnitSystem> UnitSystemNamed(std::string_view name)
{
    if (name == "metric")
        return UnitSystem::Metric;
    if (name == "imperial")
        return UnitSystem::Imperial;
    if (name == "nautical")
        return UnitSystem::Nautical;
    return std::nullopt;
}

std::optional<GeoPoint> ReadPosition(std::string_view latitude, std::string_view longitude)
{
    const auto lat = ReadCoordinate(latitude, 'N', 'S', 90.0);
    const auto lon = ReadCoordinate(longitude, 'E', 'W', 180.0);
    if (!lat || !lon)
        return std::nullopt;
    return GeoPoint{*lat, *lon};
}

std::optional<PositionText> FormatPoint(const GeoPoint& point, CoordinateFormat format)
{
    try {
        switch (format) {
        case CoordinateFormat::Sent:
            return std::nullopt;
        case CoordinateFormat::DecimalDegrees:
            return PositionText{DecimalDegrees(point.latitude, 'N', 'S'),
                                DecimalDegrees(point.longitude, 'E', 'W')};
        case CoordinateFormat::DegreesMinutesSeconds:
            return PositionText{DegreesMinutesSeconds(point.latitude, 'N', 'S'),
                                DegreesMinutesSeconds(point.longitude, 'E', 'W')};
        case CoordinateFormat::Utm:
            return SplitUtm(GeographicLib::GeoCoords(point.latitude, point.longitude));
        case CoordinateFormat::Mgrs:
            return SplitMgrs(
                GeographicLib::GeoCoords(point.latitude, point.longitude).MGRSRepresentation(0));
        case CoordinateFormat::Locator:
            return PositionText{MaidenheadLocator(point), std::string()};
        }
    } catch (const GeographicLib::GeographicErr&) {
        // A point GeographicLib cannot place is shown as sent.
    }
    return std::nullopt;
}

PositionText FormatPosition(std::string_view latitude, std::string_view longitude,
                            CoordinateFormat format)
{
    if (format != CoordinateFormat::Sent) {
        if (const auto point = ReadPosition(latitude, longitude)) {
            if (auto text = FormatPoint(*point, format))
                return *text;
        }
    }
    return {std::string(latitude), std::string(longitude)};
}

std::string MaidenheadLocator(const GeoPoint& point)
{
    // Subsquares are 5' of longitude by 2.5' of latitude: 4320 of each around the globe,
    // 24 to a square and 240 to a field. The nudge keeps a point on a line (48° 02.5') from
    // falling below it through the rounding of its decimal minutes; 180° E is 180° W, and
    // the north pole belongs to the last row.
    constexpr int kSubsquares = 4320;
    constexpr double kNudge = 1e-9;
    auto index = [](double units) {
        return std::clamp(static_cast<int>(std::floor(units + kNudge)), 0, kSubsquares - 1);
    };
    double longitude = std::fmod(point.longitude + 180.0, 360.0);
    if (longitude < 0)
        longitude += 360.0;
    const int x = index(longitude * 12.0);
    const int y = index((point.latitude + 90.0) * 24.0);
    return {static_cast<char>('A' + x / 240), static_cast<char>('A' + y / 240),
            static_cast<char>('0' + x % 240 / 24), static_cast<char>('0' + y % 240 / 24),
            static_cast<char>('a' + x % 24), static_cast<char>('a' + y % 24)};
}

PositionText CoordinateCaptions(CoordinateFormat format)
{
    switch (format) {
    case CoordinateFormat::Utm:
        return {"UTM zone:", "East, North:"};
    case CoordinateFormat::Mgrs:
        return {"MGRS square:", "East, North:"};
    case CoordinateFormat::Locator:
        return {"Locator:", std::string()};
    case CoordinateFormat::Sent:
    case CoordinateFormat::DecimalDegrees:
    case CoordinateFormat::DegreesMinutesSeconds:
        break;
    }
    return {"Latitude:", "Longitude:"};
}

} // namespace fixwatch
