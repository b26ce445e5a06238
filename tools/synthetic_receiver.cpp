#include "synthetic_receiver.h"
#include "synthetic_motion.h"

#include <charconv>
#include <cmath>
#include <numbers>

namespace fixwatch {
namespace {

using namespace synthetic;

// `value` with `decimals` places, always "." as separator.
std::string Fixed(double value, int decimals)
{
    char digits[64];
    const auto result = std::to_chars(digits, digits + sizeof digits, value,
                                      std::chars_format::fixed, decimals);
    return std::string(digits, result.ptr);
}

// A direction in degrees with one decimal, in [0, 360) after rounding.
std::string Direction(double degrees)
{
    const double tenths = std::fmod(std::round(degrees * 10.0), 3600.0);
    return Fixed((tenths < 0 ? tenths + 3600.0 : tenths) / 10.0, 1);
}

std::string TwoDigits(int value)
{
    return std::string{static_cast<char>('0' + value / 10 % 10), static_cast<char>('0' + value % 10)};
}

std::string Padded(long value, int width)
{
    std::string text = std::to_string(value);
    while (static_cast<int>(text.size()) < width)
        text.insert(text.begin(), '0');
    return text;
}

// "dddmm.mmmm" of an angle's size, rounded to the last place before it is split so that the
// minutes never read 60.
std::string DegreesMinutes(double angle, int degreeDigits)
{
    constexpr long kUnitsPerMinute = 10'000;
    constexpr long kUnitsPerDegree = 60 * kUnitsPerMinute;
    const long units = std::lround(std::fabs(angle) * kUnitsPerDegree);
    const long minutes = units % kUnitsPerDegree;
    return Padded(units / kUnitsPerDegree, degreeDigits) + Padded(minutes / kUnitsPerMinute, 2) + "."
           + Padded(minutes % kUnitsPerMinute, 4);
}

bool IsLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeapYear(y) ? 29 : kDays[m - 1];
}

} // namespace

SyntheticReceiver::SyntheticReceiver() : SyntheticReceiver(Start{}) {}

SyntheticReceiver::SyntheticReceiver(const Start& start)
    : start_(start), latitude_(start.latitude), longitude_(start.longitude)
{
    for (int i = 0; i < kSatelliteCount; ++i) {
        const int prn = 2 + 3 * i - (i % 4);
        satellites_[static_cast<std::size_t>(i)] = {prn, std::fmod(37.0 + 97.0 * i, 360.0),
                                                    15.0 + (i * 23) % 60, 0.7 * i};
    }
}

std::string SyntheticReceiver::Sentence(std::string_view body)
{
    unsigned char sum = 0;
    for (const char c : body)
        sum ^= static_cast<unsigned char>(c);
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text = "$";
    text.append(body);
    text += '*';
    text += kHex[sum >> 4];
    text += kHex[sum & 0x0F];
    text += "\r\n";
    return text;
}

std::string SyntheticReceiver::TimeText() const
{
    const long seconds = start_.hour * 3600L + start_.minute * 60L + start_.second + elapsed_;
    const long ofDay = seconds % 86400;
    return TwoDigits(static_cast<int>(ofDay / 3600)) + TwoDigits(static_cast<int>(ofDay / 60 % 60))
           + TwoDigits(static_cast<int>(ofDay % 60)) + ".00";
}

std::string SyntheticReceiver::DateAfter(const Start& start, long seconds)
{
    long days = (start.hour * 3600L + start.minute * 60L + start.second + seconds) / 86400;
    int y = start.year, m = start.month, d = start.day;
    while (days-- > 0) {
        if (++d > DaysInMonth(y, m)) {
            d = 1;
            if (++m > 12) {
                m = 1;
                ++y;
            }
        }
    }
    return TwoDigits(d) + TwoDigits(m) + TwoDigits(y % 100);
}

std::string SyntheticReceiver::DateText() const
{
    return DateAfter(start_, elapsed_);
}

std::string SyntheticReceiver::LatitudeFields() const
{
    return DegreesMinutes(latitude_, 2) + (latitude_ < 0 ? ",S" : ",N");
}

std::string SyntheticReceiver::LongitudeFields() const
{
    return DegreesMinutes(longitude_, 3) + (longitude_ < 0 ? ",W" : ",E");
}

int SyntheticReceiver::SatellitesInView() const
{
    // One satellite rises or sets every five minutes: 9 to 12 in view.
    const long step = elapsed_ / 300 % 6;
    static constexpr int kInView[] = {12, 11, 10, 9, 10, 11};
    return kInView[step];
}

int SyntheticReceiver::Elevation(const Satellite& s) const
{
    const double swing = 10.0 * std::sin(s.phase + elapsed_ * 2.0 * std::numbers::pi / 3600.0);
    return static_cast<int>(std::lround(s.elevationMid + swing));
}

int SyntheticReceiver::Azimuth(const Satellite& s) const
{
    return static_cast<int>(std::lround(std::fmod(s.azimuth + elapsed_ * 0.01, 360.0))) % 360;
}

int SyntheticReceiver::SignalToNoise(const Satellite& s) const
{
    const double wobble = 3.0 * std::sin(s.phase * 3.0 + elapsed_ * 2.0 * std::numbers::pi / 40.0);
    return static_cast<int>(std::lround(22.0 + Elevation(s) / 3.0 + wobble));
}

std::vector<std::string> SyntheticReceiver::NextSecond()
{
    const int inView = SatellitesInView();
    const int used = inView - 1;
    const std::string time = TimeText();
    const std::string position = LatitudeFields() + "," + LongitudeFields();
    const double hdop = 0.9 + 0.1 * (12 - inView);
    const double altitude = 122.0 + 3.0 * std::sin(elapsed_ * 2.0 * std::numbers::pi / 600.0);
    const double magnetic = std::fmod(track_ - kMagneticVariation + 360.0, 360.0);

    std::vector<std::string> out;
    out.push_back(Sentence("GPGGA," + time + "," + position + ",1," + TwoDigits(used) + ","
                           + Fixed(hdop, 1) + "," + Fixed(altitude, 1) + ",M,47.3,M,,"));

    std::string gsa = "GPGSA,A,3";
    for (int i = 0; i < kSatelliteCount; ++i) {
        gsa += ',';
        if (i < used)
            gsa += TwoDigits(satellites_[static_cast<std::size_t>(i)].prn);
    }
    gsa += "," + Fixed(hdop * 1.6, 1) + "," + Fixed(hdop, 1) + "," + Fixed(hdop * 1.3, 1);
    out.push_back(Sentence(gsa));

    for (int message = 1; message <= 3; ++message) {
        std::string gsv = "GPGSV,3," + std::to_string(message) + "," + TwoDigits(inView);
        for (int i = (message - 1) * 4; i < message * 4 && i < inView; ++i) {
            const Satellite& s = satellites_[static_cast<std::size_t>(i)];
            gsv += "," + TwoDigits(s.prn) + "," + TwoDigits(Elevation(s)) + ","
                   + Padded(Azimuth(s), 3) + "," + TwoDigits(SignalToNoise(s));
        }
        out.push_back(Sentence(gsv));
    }

    out.push_back(Sentence("GPRMC," + time + ",A," + position + "," + Fixed(speedKnots_, 1) + ","
                           + Direction(track_) + "," + DateText() + "," + Fixed(kMagneticVariation, 1)
                           + ",E"));
    out.push_back(Sentence("GPVTG," + Direction(track_) + ",T," + Direction(magnetic) + ",M,"
                           + Fixed(speedKnots_, 1) + ",N," + Fixed(speedKnots_ * kKilometresPerNauticalMile, 1)
                           + ",K"));
    out.push_back(Sentence("GPGLL," + position + "," + time + ",A"));

    Advance();
    return out;
}

void SyntheticReceiver::Advance()
{
    const double metres = speedKnots_ * kMetresPerSecondPerKnot;
    latitude_ += metres * std::cos(Radians(track_)) / kMetresPerDegreeLatitude;
    longitude_ += metres * std::sin(Radians(track_))
                  / (kMetresPerDegreeLatitude * std::cos(Radians(latitude_)));
    track_ = std::fmod(track_ + kTurnPerSecond, 360.0);
    speedKnots_ = 21.6 + 2.0 * std::sin(elapsed_ * 2.0 * std::numbers::pi / 120.0);
    ++elapsed_;
}

} // namespace fixwatch
