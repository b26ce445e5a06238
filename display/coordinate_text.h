#pragma once

#include <optional>
#include <string>
#include <string_view>

// Position texts in the form the user chose, and the unit sets of the display. Plain C++ (no
// Qt), so that fixwatch-events prints exactly what the window shows. Texts in and out are
// ISO-8859-1 bytes, like the interpreter's: the degree sign is the one byte 0xB0.
namespace fixwatch {

enum class CoordinateFormat {
    Sent,                  // degrees and minutes as the interpreter words them
    DecimalDegrees,        // 48.1173000° N
    DegreesMinutesSeconds, // 48° 07' 02.28" N
    Utm,                   // 32U | 687300 5332401 (UPS near the poles: Z | 2000000 1344403)
    Mgrs,                  // 32UPU | 87299 32401
    Locator,               // JN58sc | (empty)
};

enum class UnitSystem {
    Metric,   // km/h and knots, metres
    Imperial, // mph and knots, feet
    Nautical, // knots and km/h, metres
};

// The option names: sent, dd, dms, utm, mgrs, locator; metric, imperial, nautical.
std::optional<CoordinateFormat> CoordinateFormatNamed(std::string_view name);
std::optional<UnitSystem> UnitSystemNamed(std::string_view name);

// A point on the WGS84 ellipsoid, in degrees: north and east positive.
struct GeoPoint {
    double latitude = 0;
    double longitude = 0;
};

// Reads the interpreter's worded position back into numbers: "048° 07.038' N" and
// "011° 31.000' E". Only a well-formed pair reads: three digits of degrees, minutes of two
// digits with any decimals, N or S and E or W, latitude at most 90° and longitude at most
// 180°. A field the receiver sent without its leading zero is worded with wrong degrees, so
// it does not read either.
std::optional<GeoPoint> ReadPosition(std::string_view latitude, std::string_view longitude);

// What the latitude and the longitude labels show.
struct PositionText {
    std::string first;
    std::string second;
    bool operator==(const PositionText&) const = default;
};

// The point in `format`; nothing for CoordinateFormat::Sent.
std::optional<PositionText> FormatPoint(const GeoPoint& point, CoordinateFormat format);

// The two worded texts in `format`: as sent when the format is Sent or when they do not
// both read as a position.
PositionText FormatPosition(std::string_view latitude, std::string_view longitude,
                            CoordinateFormat format);

// The six-character Maidenhead locator (field, square, subsquare) of the point.
std::string MaidenheadLocator(const GeoPoint& point);

// The captions before the latitude and longitude labels in `format`.
PositionText CoordinateCaptions(CoordinateFormat format);

// Unit conversions of the display.
constexpr double kMetresPerFoot = 0.3048;
constexpr double kKilometresPerMile = 1.609344;

} // namespace fixwatch
