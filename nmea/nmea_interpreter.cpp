#include "nmea_interpreter.h"

#include "checksum.h"
#include "field_reading.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <cstdint>
#include <cstring>
#include <optional>

namespace fixwatch {
namespace {

NmeaEvents& DroppingReceiver()
{
    static NmeaEvents none;
    return none;
}

// Characters `from` to `from + count - 1` (0-based) of `text`, as far as they exist.
std::string_view Chars(std::string_view text, std::size_t from, std::size_t count = std::string_view::npos)
{
    if (from >= text.size())
        return {};
    return text.substr(from, count);
}

// Joins texts into one string with a single allocation at most (none for short texts). The
// parts are a few characters each: a short text is gathered on the stack and copied once.
std::string Concat(std::initializer_list<std::string_view> parts)
{
    std::size_t size = 0;
    for (std::string_view part : parts)
        size += part.size();
    char gathered[64];
    if (size > sizeof gathered) {
        std::string text;
        text.reserve(size);
        for (std::string_view part : parts)
            text.append(part);
        return text;
    }
    char* out = gathered;
    for (std::string_view part : parts) {
        // Most parts are one to three characters: a library call costs more than the copy.
        switch (part.size()) {
        case 3: out[2] = part[2]; [[fallthrough]];
        case 2: out[1] = part[1]; [[fallthrough]];
        case 1: out[0] = part[0]; [[fallthrough]];
        case 0: break;
        default: std::memcpy(out, part.data(), part.size());
        }
        out += part.size();
    }
    return std::string(gathered, size);
}

std::string Join(std::string_view value, std::string_view unit)
{
    return Concat({value, " ", unit});
}

// 16-bit signed arithmetic that reports an overflow instead of wrapping.
std::optional<std::int16_t> Checked16(int value)
{
    if (value < INT16_MIN || value > INT16_MAX)
        return std::nullopt;
    return static_cast<std::int16_t>(value);
}

constexpr char kDegreeSign = '\xB0'; // U+00B0 in ISO-8859-1

// Degrees padded to three digits, the degree sign, the minutes as received, the hemisphere.
std::string FormatCoordinate(std::string_view field, std::string_view hemisphere, std::size_t degreeDigits)
{
    // The last three characters of "000" followed by the degree digits that are there.
    const std::string_view degrees = Chars(field, 0, degreeDigits);
    char padded[3] = {'0', '0', '0'};
    const std::size_t kept = std::min<std::size_t>(degrees.size(), 3);
    std::copy(degrees.end() - static_cast<std::ptrdiff_t>(kept), degrees.end(), padded + 3 - kept);
    static constexpr char kDegreeAndBlank[] = {kDegreeSign, ' '};
    const std::string_view minutes = field.size() >= degreeDigits ? Chars(field, degreeDigits) : std::string_view{};
    const std::string_view minuteSign = field.size() >= degreeDigits ? "'" : "";
    return Concat({std::string_view(padded, 3), std::string_view(kDegreeAndBlank, 2), minutes, minuteSign, " ",
                   hemisphere});
}

} // namespace

NmeaInterpreter::NmeaInterpreter() : events_(DroppingReceiver()) {}

NmeaInterpreter::NmeaInterpreter(NmeaEvents& receiver) : events_(receiver) {}

NmeaInterpreter::NmeaInterpreter(Talkers talkers) : events_(DroppingReceiver()), talkers_(talkers) {}

NmeaInterpreter::NmeaInterpreter(NmeaEvents& receiver, Talkers talkers) : events_(receiver), talkers_(talkers) {}

std::string NmeaInterpreter::GetChecksum(std::string_view sentence) const
{
    return NmeaChecksum(sentence);
}

bool NmeaInterpreter::Parse(std::string_view sentence) const
{
    return Parse(SentenceView(sentence, talkers_));
}

bool NmeaInterpreter::Parse(const SentenceView& sentence) const
{
    if (!sentence.ChecksumMatches())
        return false;

    // The sentence's talker decides whether it is read at all; its formatter picks the handler,
    // which never looks at the talker again.
    const auto talker = sentence.GnssTalker();
    if (talkers_ == Talkers::GpsOnly && talker != 0u)
        return false;
    // Every system's reading also takes the position of any other instrument (an inertial
    // system's $INRMC), but never its satellites, whose numbers say nothing without a system.
    if (!talker && !IsDeviceTalker(sentence.Talker()))
        return false;
    using Handler = bool (NmeaInterpreter::*)(const SentenceView&) const;
    struct Route {
        char formatter[4];
        Handler handler;
    };
    static constexpr std::array<Route, 6> kRoutes{{
        {"GGA", &NmeaInterpreter::ParseGGA},
        {"GLL", &NmeaInterpreter::ParseGLL},
        {"GSA", &NmeaInterpreter::ParseGSA},
        {"GSV", &NmeaInterpreter::ParseGSV},
        {"RMC", &NmeaInterpreter::ParseRMC},
        {"VTG", &NmeaInterpreter::ParseVTG},
    }};
    const std::string_view formatter = sentence.Type(); // three characters, as the talker was found
    if (!talker && (formatter == "GSA" || formatter == "GSV"))
        return false;
    for (const Route& route : kRoutes) {
        if (formatter[0] == route.formatter[0] && formatter[1] == route.formatter[1]
            && formatter[2] == route.formatter[2])
            return (this->*route.handler)(sentence);
    }
    return false;
}

// $GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47
//        1      2        3 4         5 6 7  8   9     10 11 12 13 14
bool NmeaInterpreter::ParseGGA(const SentenceView& sentence) const
{
    auto field = [&](std::size_t k) { return sentence.FieldOrEmpty(k); };

    if (!field(1).empty())
        ParseTime(field(1));
    if (!field(2).empty() && !field(3).empty() && !field(4).empty() && !field(5).empty())
        ParsePosition(field(2), field(3), field(4), field(5));
    if (!field(6).empty())
        ParseFixQuality(field(6));
    if (!field(7).empty()) {
        if (auto used = field::LenientInteger(field(7)))
            events_.SatellitesUsedReceived(*used);
    }
    if (!field(8).empty())
        events_.HDOPReceived(field::LenientDecimal(field(8)));
    if (!field(9).empty())
        events_.AltitudeReceived(field::LenientDecimal(field(9)));
    if (!field(10).empty())
        events_.AltitudeUnitsReceived(std::string(field(10)));
    if (!field(11).empty())
        events_.GeoidSeparationReceived(field::LenientDecimal(field(11)));
    if (!field(12).empty())
        events_.GeoidSeparationUnitsReceived(std::string(field(12)));
    if (!field(13).empty()) {
        if (auto age = field::LenientInteger(field(13)))
            events_.DGPSageReceived(*age);
    }
    if (!field(14).empty())
        events_.DGPSstationIDReceived(std::string(field(14)));
    return true;
}

// $GPGLL,4916.45,N,12311.12,W,225444,A*31
//        1       2 3        4 5      6
bool NmeaInterpreter::ParseGLL(const SentenceView& sentence) const
{
    auto field = [&](std::size_t k) { return sentence.FieldOrEmpty(k); };

    if (!field(1).empty() && !field(2).empty() && !field(3).empty() && !field(4).empty())
        ParsePosition(field(1), field(2), field(3), field(4));
    if (!field(5).empty())
        ParseTime(field(5));
    if (!field(6).empty())
        ParseStatus(field(6));
    return true;
}

// $GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39
//        1 2 3..14 (channels 1 to 12)   15  16  17
bool NmeaInterpreter::ParseGSA(const SentenceView& sentence) const
{
    auto field = [&](std::size_t k) { return sentence.FieldOrEmpty(k); };

    if (!field(1).empty())
        ParseAutoManMode(field(1));
    if (!field(2).empty())
        ParseMode3D(field(2));

    using ChannelEvent = void (NmeaEvents::*)(std::int16_t);
    static constexpr std::array<ChannelEvent, 12> kChannels{
        &NmeaEvents::Ch01SatReceived,
        &NmeaEvents::Ch02SatReceived,
        &NmeaEvents::Ch03SatReceived,
        &NmeaEvents::Ch04SatReceived,
        &NmeaEvents::Ch05SatReceived,
        &NmeaEvents::Ch06SatReceived,
        &NmeaEvents::Ch07SatReceived,
        &NmeaEvents::Ch08SatReceived,
        &NmeaEvents::Ch09SatReceived,
        &NmeaEvents::Ch10SatReceived,
        &NmeaEvents::Ch11SatReceived,
        &NmeaEvents::Ch12SatReceived,
    };
    for (std::size_t channel = 1; channel <= kChannels.size(); ++channel) {
        auto value = sentence.FieldAt(channel + 2);
        if (!value)
            continue; // a channel the sentence does not have raises nothing
        if (value->empty()) {
            (events_.*kChannels[channel - 1])(0); // an empty channel is reported as 0
        } else if (auto prn = field::LenientInteger(*value)) {
            (events_.*kChannels[channel - 1])(*prn);
        }
    }

    if (!field(15).empty())
        events_.PDOPReceived(field::LenientDecimal(field(15)));
    if (!field(16).empty())
        events_.HDOPReceived(field::LenientDecimal(field(16)));
    if (!field(17).empty())
        events_.VDOPReceived(field::LenientDecimal(field(17)));
    return true;
}

// $GPGSV,3,2,11,14,25,170,00,16,57,208,39,18,67,296,40,19,40,246,00*74
//        1 2 3  block i = 1..4: PRN 4i, elevation 4i+1, azimuth 4i+2, SNR 4i+3
bool NmeaInterpreter::ParseGSV(const SentenceView& sentence) const
{

    // Values local to this call; a conversion that fails leaves its value as it was.
    std::int16_t messageNumber = 0;
    std::int16_t satellitesInView = 0;
    std::int16_t positionInGroup = 0;
    std::int16_t prn = 0, elevation = 0, azimuth = 0, snr = 0;

    // A missing field 2 or 3 reads like a failed conversion, an empty one is skipped.
    auto field2 = sentence.FieldAt(2);
    if (!field2 || !field2->empty()) {
        if (auto n = field2 ? field::LenientInteger(*field2) : std::nullopt)
            messageNumber = *n;
    }
    auto field3 = sentence.FieldAt(3);
    if (!field3 || !field3->empty()) {
        if (auto n = field3 ? field::LenientInteger(*field3) : std::nullopt)
            satellitesInView = *n;
        events_.SatellitesInViewReceived(satellitesInView);
    }

    for (int i = 1; i <= 4; ++i) {
        if (messageNumber != 0) {
            // (messageNumber - 1) * 4 + i in 16-bit arithmetic; an overflow keeps the old value.
            auto previous = Checked16(messageNumber - 1);
            auto times4 = previous ? Checked16(*previous * 4) : std::nullopt;
            if (auto position = times4 ? Checked16(*times4 + i) : std::nullopt)
                positionInGroup = *position;
        }
        const std::size_t first = 4 * static_cast<std::size_t>(i);
        if (sentence.FieldCount() < first + 4)
            continue; // the block is not complete in this sentence
        const std::string_view number = sentence.Field(first), up = sentence.Field(first + 1),
                               around = sentence.Field(first + 2), signal = sentence.Field(first + 3);
        if (number.empty() || up.empty() || around.empty() || signal.empty())
            continue; // e.g. a satellite in view but not tracked
        if (auto v = field::LenientInteger(number))
            prn = *v;
        if (auto v = field::LenientInteger(up))
            elevation = *v;
        if (auto v = field::LenientInteger(around))
            azimuth = *v;
        if (auto v = field::LenientInteger(signal))
            snr = *v;
        events_.SatelliteReceived(positionInGroup, prn, azimuth, elevation, snr);
    }
    return true;
}

// $GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A
//        1      2 3        4 5         6 7     8     9      10    11
bool NmeaInterpreter::ParseRMC(const SentenceView& sentence) const
{
    auto field = [&](std::size_t k) { return sentence.FieldOrEmpty(k); };

    if (!field(1).empty())
        ParseTime(field(1));
    if (!field(2).empty())
        ParseStatus(field(2));
    if (!field(3).empty() && !field(4).empty() && !field(5).empty() && !field(6).empty())
        ParsePosition(field(3), field(4), field(5), field(6));
    if (!field(7).empty())
        events_.SpeedReceived(field::LenientDecimal(field(7)));
    if (!field(8).empty())
        events_.BearingReceived(field::LenientDecimal(field(8)));
    if (!field(9).empty())
        ParseDate(field(9));
    return true;
}

// $GPVTG,054.7,T,034.4,M,005.5,N,010.2,K*48
//        1     2 3     4 5     6 7     8
bool NmeaInterpreter::ParseVTG(const SentenceView& sentence) const
{
    auto field = [&](std::size_t k) { return sentence.FieldOrEmpty(k); };

    if (!field(1).empty() && !field(2).empty())
        ParseTrueTrack(field(1), field(2));
    if (!field(3).empty() && !field(4).empty())
        ParseMagneticTrack(field(3), field(4));
    if (!field(5).empty() && !field(6).empty())
        ParseSpeedKnots(field(5), field(6));
    if (!field(7).empty() && !field(8).empty())
        ParseSpeedKmh(field(7), field(8));
    return true;
}

void NmeaInterpreter::ParseTime(std::string_view field) const
{
    if (field.empty())
        return;
    const std::string_view hh = Chars(field, 0, 2), mm = Chars(field, 2, 2), ss = Chars(field, 4, 2);
    const std::string_view fraction = field.size() >= 8 ? Chars(field, 6) : std::string_view{};
    events_.TimeChangedExtendex(Concat({hh, ":", mm, ":", ss, fraction, " GMT"}));
    events_.TimeChanged(Concat({hh, ":", mm, ":", ss}));
}

void NmeaInterpreter::ParseDate(std::string_view field) const
{
    if (field.empty())
        return;
    events_.DateChanged(Concat({Chars(field, 0, 2), "/", Chars(field, 2, 2), "/", Chars(field, 4, 2)}));
}

void NmeaInterpreter::ParsePosition(std::string_view latitude, std::string_view northSouth,
                                    std::string_view longitude, std::string_view eastWest) const
{
    std::string latitudeText;
    if (!latitude.empty() && !northSouth.empty())
        latitudeText = FormatCoordinate(latitude, northSouth, 2);
    std::string longitudeText;
    if (!longitude.empty() && !eastWest.empty())
        longitudeText = FormatCoordinate(longitude, eastWest, 3);
    events_.PositionReceived(std::move(latitudeText), std::move(longitudeText));
}

void NmeaInterpreter::ParseFixQuality(std::string_view field) const
{
    if (field.empty())
        return;
    // Qualities 0 to 8: invalid, GPS (SPS), DGPS, PPS, RTK fixed and float, estimated (dead
    // reckoning), manual input, simulator.
    static constexpr std::array<const char*, 9> kNamed{"Invalid", "Valid SPS", "Valid DGPS",
                                                       "Valid PPS", "RTK Fixed", "RTK Float",
                                                       "Estimated", "Manual", "Simulator"};
    const int last = fixQualityWords_ == FixQualityWords::Named ? 8 : 3;
    const char* word = "Invalid";
    if (field.size() == 1 && field[0] >= '1' && field[0] <= '0' + last)
        word = kNamed[static_cast<std::size_t>(field[0] - '0')];
    events_.PositionFixReceived(word);
}

void NmeaInterpreter::ParseStatus(std::string_view field) const
{
    if (field == "A")
        events_.FixObtained();
    else if (field == "V")
        events_.FixLost();
}

void NmeaInterpreter::ParseAutoManMode(std::string_view field) const
{
    if (field.empty())
        return;
    const char* word = "Unknown";
    if (field == "A")
        word = "Auto 2D/3D";
    else if (field == "M")
        word = "Forced 2D/3D";
    events_.AutoManModeReceived(word);
}

void NmeaInterpreter::ParseMode3D(std::string_view field) const
{
    if (field.empty())
        return;
    const char* word = "No Fix";
    if (field == "2")
        word = "2D";
    else if (field == "3")
        word = "3D";
    events_.Mode3DReceived(word);
}

void NmeaInterpreter::ParseTrueTrack(std::string_view value, std::string_view unit) const
{
    if (!value.empty())
        events_.TrueTrack(Join(value, unit));
}

void NmeaInterpreter::ParseMagneticTrack(std::string_view value, std::string_view unit) const
{
    if (!value.empty())
        events_.MagneticTrack(Join(value, unit));
}

void NmeaInterpreter::ParseSpeedKnots(std::string_view value, std::string_view unit) const
{
    if (value.empty())
        return;
    events_.SpeedReceivedKnots(field::LenientDecimal(value));
    events_.SpeedReceivedKnotsFull(Join(value, unit));
}

void NmeaInterpreter::ParseSpeedKmh(std::string_view value, std::string_view unit) const
{
    if (value.empty())
        return;
    events_.SpeedReceivedKmh(field::LenientDecimal(value));
    events_.SpeedReceivedKmhFull(Join(value, unit));
}

} // namespace fixwatch
