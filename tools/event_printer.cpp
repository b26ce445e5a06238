#include "event_printer.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string_view>

namespace fixwatch {

namespace {

// Appends ISO-8859-1 bytes as UTF-8; runs of ASCII are copied whole.
void AppendLatin1AsUtf8(std::string& out, std::string_view latin1)
{
    while (!latin1.empty()) {
        const auto high = std::find_if(latin1.begin(), latin1.end(),
                                       [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
        const auto ascii = static_cast<std::size_t>(high - latin1.begin());
        out.append(latin1.data(), ascii);
        if (ascii == latin1.size())
            return;
        const auto byte = static_cast<unsigned char>(latin1[ascii]);
        const char pair[2] = {static_cast<char>(0xC0 | (byte >> 6)), static_cast<char>(0x80 | (byte & 0x3F))};
        out.append(pair, 2);
        latin1.remove_prefix(ascii + 1);
    }
}

// Writes `value` at `at` as std::to_chars writes it (the shortest text that reads back as
// the same double), which has room for 32 characters; returns the end. Receivers send
// values with up to three decimals below 100000, and for those the digits are found by
// scaling: such a text reads back as `value` exactly when m / 10^k == value, the fewest
// decimals give the fewest digits, and the fixed form is never longer than the exponent
// form, which to_chars would choose otherwise. Anything else is left to to_chars.
char* PutDouble(char* at, double value)
{
    static constexpr double kScale[] = {1, 10, 100, 1000};
    if (value != 0 && std::fabs(value) < 1e5) {
        for (int decimals = 0; decimals < 4; ++decimals) {
            const double scaled = std::nearbyint(value * kScale[decimals]);
            if (scaled / kScale[decimals] != value)
                continue;
            auto digits = static_cast<std::int64_t>(scaled);
            if (digits < 0) {
                *at++ = '-';
                digits = -digits;
            }
            char text[24];
            char* end = std::to_chars(text, text + sizeof text, digits).ptr;
            const auto count = static_cast<int>(end - text);
            if (count <= decimals) { // 0.05: zeros before the first digit
                *at++ = '0';
                *at++ = '.';
                at = std::fill_n(at, decimals - count, '0');
                return std::copy(text, end, at);
            }
            at = std::copy(text, end - decimals, at);
            if (decimals > 0) {
                *at++ = '.';
                at = std::copy(end - decimals, end, at);
            }
            return at;
        }
    }
    return std::to_chars(at, at + 32, value).ptr;
}

// Writes TAB and `value` in decimal at `at`, which has room for seven characters; returns the end.
char* PutInteger(char* at, std::int16_t value)
{
    *at++ = '\t';
    // Satellite numbers, elevations and signal levels: most values have one or two digits.
    if (value >= 0 && value < 100) {
        if (value >= 10)
            *at++ = static_cast<char>('0' + value / 10);
        *at++ = static_cast<char>('0' + value % 10);
        return at;
    }
    return std::to_chars(at, at + 6, value).ptr;
}

} // namespace

std::string Latin1ToUtf8(const std::string& latin1)
{
    std::string utf8;
    utf8.reserve(latin1.size());
    AppendLatin1AsUtf8(utf8, latin1);
    return utf8;
}

void EventPrinter::Text(const std::string& latin1)
{
    out_ += '\t';
    AppendLatin1AsUtf8(out_, latin1);
}

void EventPrinter::IntegerLine(std::int16_t value)
{
    char buffer[8];
    char* end = PutInteger(buffer, value);
    *end++ = '\n';
    Append(buffer, end);
}

void EventPrinter::NumberLine(double value)
{
    char buffer[40];
    buffer[0] = '\t';
    char* end = PutDouble(buffer + 1, value);
    *end++ = '\n';
    Append(buffer, end);
}

// The two most frequent events are composed on the stack and appended as one piece.
void EventPrinter::Channel(std::string_view name, std::int16_t satellite)
{
    char line[32];
    char* at = std::copy(name.begin(), name.end(), line);
    at = PutInteger(at, satellite);
    *at++ = '\n';
    Append(line, at);
}

void EventPrinter::PositionReceived(std::string latitude, std::string longitude)
{
    Name("PositionReceived");
    Text(latitude);
    Text(longitude);
    End();
}
// clang-format off
void EventPrinter::TimeChanged(std::string sTime) { Name("TimeChanged"); Text(sTime); End(); }
void EventPrinter::TimeChangedExtendex(std::string sTime) { Name("TimeChangedExtendex"); Text(sTime); End(); }
void EventPrinter::DateChanged(std::string satDate) { Name("DateChanged"); Text(satDate); End(); }
void EventPrinter::BearingReceived(double bearing) { Name("BearingReceived"); NumberLine(bearing); }
void EventPrinter::SpeedReceived(double speed) { Name("SpeedReceived"); NumberLine(speed); }
void EventPrinter::FixObtained() { Name("FixObtained"); End(); }
void EventPrinter::FixLost() { Name("FixLost"); End(); }
// clang-format on
void EventPrinter::SatelliteReceived(std::int16_t satelliteNumber, std::int16_t pseudoRandomCode,
                                     std::int16_t azimuth, std::int16_t elevation,
                                     std::int16_t signalToNoiseRatio)
{
    static constexpr std::string_view kName = "SatelliteReceived";
    char line[kName.size() + 5 * 7 + 1];
    char* at = std::copy(kName.begin(), kName.end(), line);
    for (std::int16_t value : {satelliteNumber, pseudoRandomCode, azimuth, elevation, signalToNoiseRatio})
        at = PutInteger(at, value);
    *at++ = '\n';
    Append(line, at);
}
// clang-format off
void EventPrinter::HDOPReceived(double value) { Name("HDOPReceived"); NumberLine(value); }
void EventPrinter::VDOPReceived(double value) { Name("VDOPReceived"); NumberLine(value); }
void EventPrinter::PDOPReceived(double value) { Name("PDOPReceived"); NumberLine(value); }
void EventPrinter::PositionFixReceived(std::string positionFix) { Name("PositionFixReceived"); Text(positionFix); End(); }
void EventPrinter::SatellitesUsedReceived(std::int16_t satellitesUsed) { Name("SatellitesUsedReceived"); IntegerLine(satellitesUsed); }
void EventPrinter::AltitudeReceived(double altitude) { Name("AltitudeReceived"); NumberLine(altitude); }
void EventPrinter::AltitudeUnitsReceived(std::string altitudeUnits) { Name("AltitudeUnitsReceived"); Text(altitudeUnits); End(); }
void EventPrinter::GeoidSeparationReceived(double geoidSeparation) { Name("GeoidSeparationReceived"); NumberLine(geoidSeparation); }
void EventPrinter::GeoidSeparationUnitsReceived(std::string geoidSeparationUnits) { Name("GeoidSeparationUnitsReceived"); Text(geoidSeparationUnits); End(); }
void EventPrinter::DGPSageReceived(std::int16_t dGPSage) { Name("DGPSageReceived"); IntegerLine(dGPSage); }
void EventPrinter::DGPSstationIDReceived(std::string dGPSstationID) { Name("DGPSstationIDReceived"); Text(dGPSstationID); End(); }
void EventPrinter::AutoManModeReceived(std::string autoManMode) { Name("AutoManModeReceived"); Text(autoManMode); End(); }
void EventPrinter::Mode3DReceived(std::string mode3D) { Name("Mode3DReceived"); Text(mode3D); End(); }
void EventPrinter::SatellitesInViewReceived(std::int16_t satellitesInView) { Name("SatellitesInViewReceived"); IntegerLine(satellitesInView); }
void EventPrinter::TrueTrack(std::string Ttrack) { Name("TrueTrack"); Text(Ttrack); End(); }
void EventPrinter::MagneticTrack(std::string Mtrack) { Name("MagneticTrack"); Text(Mtrack); End(); }
void EventPrinter::SpeedReceivedKnots(double speed_knots) { Name("SpeedReceivedKnots"); NumberLine(speed_knots); }
void EventPrinter::SpeedReceivedKmh(double speed_kmh) { Name("SpeedReceivedKmh"); NumberLine(speed_kmh); }
void EventPrinter::SpeedReceivedKnotsFull(std::string speed_knotsFull) { Name("SpeedReceivedKnotsFull"); Text(speed_knotsFull); End(); }
void EventPrinter::SpeedReceivedKmhFull(std::string speed_kmhFull) { Name("SpeedReceivedKmhFull"); Text(speed_kmhFull); End(); }
// clang-format on

} // namespace fixwatch
