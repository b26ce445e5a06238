#include "synthetic_gnss_receiver.h"
#include "synthetic_motion.h"

#include <cmath>
#include <cstdio>
#include <numbers>

namespace fixwatch {
namespace {

using namespace synthetic;
constexpr int kRiseAndSetSeconds = 300;
constexpr std::size_t kChannelsPerGsa = 12;

// `value` with one decimal, "." as separator.
std::string OneDecimal(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

// `value` in decimal with leading zeros up to `width` digits.
std::string Padded(int value, int width)
{
    char text[16];
    std::snprintf(text, sizeof text, "%0*d", width, value);
    return text;
}

// "dddmm.mmmm" of an angle's size, rounded before it is split so the minutes never read 60.
std::string DegreesMinutes(double angle, int degreeDigits)
{
    const long units = std::lround(std::fabs(angle) * 600'000.0);
    char text[32];
    std::snprintf(text, sizeof text, "%0*ld%02ld.%04ld", degreeDigits, units / 600'000, units % 600'000 / 10'000,
                  units % 10'000);
    return text;
}

// A direction with one decimal in [0, 360) after rounding.
std::string Direction(double degrees)
{
    const double tenths = std::fmod(std::round(degrees * 10.0), 3600.0);
    return OneDecimal((tenths < 0 ? tenths + 3600.0 : tenths) / 10.0);
}

} // namespace

SyntheticGnssReceiver::SyntheticGnssReceiver() : SyntheticGnssReceiver(SyntheticReceiver::Start{}) {}

SyntheticGnssReceiver::SyntheticGnssReceiver(const SyntheticReceiver::Start& start)
    : start_(start), latitude_(start.latitude), longitude_(start.longitude)
{
    // Numbers as NMEA 4.10 sends them: GPS 1-32, GLONASS 65-96, Galileo 1-36, BeiDou 1-63.
    struct Layout {
        const char* talker;
        int systemId;
        char signalId;
        std::vector<int> numbers;
    };
    const std::array<Layout, 4> layouts{{
        {"GP", 1, '1', {2, 5, 10, 12, 15, 18, 24, 25, 29}},
        {"GL", 2, '1', {65, 66, 72, 73, 80, 81, 88}},
        {"GA", 3, '7', {2, 7, 11, 12, 19, 26, 33}},
        {"GB", 4, '1', {6, 9, 16, 21, 29, 35, 40, 45}},
    }};
    for (std::size_t c = 0; c < layouts.size(); ++c) {
        Constellation& constellation = constellations_[c];
        constellation.talker = layouts[c].talker;
        constellation.systemId = layouts[c].systemId;
        constellation.signalId = layouts[c].signalId;
        for (std::size_t i = 0; i < layouts[c].numbers.size(); ++i) {
            const double k = static_cast<double>(c * 11 + i);
            constellation.satellites.push_back({layouts[c].numbers[i], std::fmod(23.0 + 97.0 * k, 360.0),
                                                15.0 + std::fmod(k * 23.0, 60.0), 0.7 * k});
        }
    }
}

bool SyntheticGnssReceiver::InView(const Constellation& c, std::size_t index) const
{
    // The last satellite of each system is in view every other five minutes.
    if (index + 1 < c.satellites.size())
        return true;
    return static_cast<long>(Seconds()) / kRiseAndSetSeconds % 2 == 0;
}

int SyntheticGnssReceiver::Elevation(const Satellite& s) const
{
    const double swing = 10.0 * std::sin(s.phase + Seconds() * 2.0 * std::numbers::pi / 3600.0);
    return static_cast<int>(std::lround(s.elevationMid + swing));
}

int SyntheticGnssReceiver::Azimuth(const Satellite& s) const
{
    return static_cast<int>(std::lround(std::fmod(s.azimuth + Seconds() * 0.01, 360.0))) % 360;
}

int SyntheticGnssReceiver::SignalToNoise(const Satellite& s) const
{
    const double wobble = 3.0 * std::sin(s.phase * 3.0 + Seconds() * 2.0 * std::numbers::pi / 40.0);
    return static_cast<int>(std::lround(22.0 + Elevation(s) / 3.0 + wobble));
}

std::string SyntheticGnssReceiver::TimeText() const
{
    const long tenths = (start_.hour * 3600L + start_.minute * 60L + start_.second) * kTicksPerSecond + ticks_;
    const long seconds = tenths / kTicksPerSecond % 86400;
    char text[16];
    std::snprintf(text, sizeof text, "%02ld%02ld%02ld.%ld0", seconds / 3600, seconds / 60 % 60, seconds % 60,
                  tenths % kTicksPerSecond);
    return text;
}

std::string SyntheticGnssReceiver::DateText() const
{
    return SyntheticReceiver::DateAfter(start_, ticks_ / kTicksPerSecond);
}

std::vector<std::string> SyntheticGnssReceiver::NextTick()
{
    const std::string time = TimeText();
    const std::string position = DegreesMinutes(latitude_, 2) + (latitude_ < 0 ? ",S," : ",N,")
                                 + DegreesMinutes(longitude_, 3) + (longitude_ < 0 ? ",W" : ",E");
    const double magnetic = std::fmod(track_ - kMagneticVariation + 360.0, 360.0);
    const double altitude = 122.0 + 3.0 * std::sin(Seconds() * 2.0 * std::numbers::pi / 600.0);

    int used = 0;
    std::vector<std::string> gsa;
    for (const Constellation& c : constellations_) {
        // Every satellite in view but the lowest is used.
        std::string body = "GNGSA,A,3";
        std::size_t channels = 0;
        for (std::size_t i = 0; i < c.satellites.size(); ++i) {
            if (!InView(c, i) || Elevation(c.satellites[i]) < 10 || channels == kChannelsPerGsa)
                continue;
            body += "," + Padded(c.satellites[i].number, 2);
            ++channels;
            ++used;
        }
        for (; channels < kChannelsPerGsa; ++channels)
            body += ',';
        body += ",1.3,0.7,1.1," + std::to_string(c.systemId);
        gsa.push_back(SyntheticReceiver::Sentence(body));
    }

    std::vector<std::string> out;
    out.push_back(SyntheticReceiver::Sentence("GNRMC," + time + ",A," + position + "," + OneDecimal(speedKnots_) + ","
                                              + Direction(track_) + "," + DateText() + ","
                                              + OneDecimal(kMagneticVariation) + ",E,A,V"));
    out.push_back(SyntheticReceiver::Sentence("GNVTG," + Direction(track_) + ",T," + Direction(magnetic) + ",M,"
                                              + OneDecimal(speedKnots_) + ",N," + OneDecimal(speedKnots_ * kKilometresPerNauticalMile)
                                              + ",K,A"));
    out.push_back(SyntheticReceiver::Sentence("GNGGA," + time + "," + position + ",1," + Padded(used, 2) + ",0.7,"
                                              + OneDecimal(altitude) + ",M,47.3,M,,"));
    out.insert(out.end(), gsa.begin(), gsa.end());

    for (const Constellation& c : constellations_) {
        std::vector<const Satellite*> inView;
        for (std::size_t i = 0; i < c.satellites.size(); ++i) {
            if (InView(c, i))
                inView.push_back(&c.satellites[i]);
        }
        const std::size_t messages = (inView.size() + 3) / 4;
        for (std::size_t m = 0; m < messages; ++m) {
            std::string body = std::string(c.talker) + "GSV," + std::to_string(messages) + ","
                               + std::to_string(m + 1) + "," + Padded(static_cast<int>(inView.size()), 2);
            for (std::size_t i = 4 * m; i < inView.size() && i < 4 * m + 4; ++i) {
                const Satellite& s = *inView[i];
                body += "," + Padded(s.number, 2) + "," + Padded(Elevation(s), 2) + "," + Padded(Azimuth(s), 3) + ","
                        + Padded(SignalToNoise(s), 2);
            }
            body += ',';
            body += c.signalId;
            out.push_back(SyntheticReceiver::Sentence(body));
        }
    }

    Advance();
    return out;
}

void SyntheticGnssReceiver::Advance()
{
    const double seconds = 1.0 / kTicksPerSecond;
    const double metres = speedKnots_ * kMetresPerSecondPerKnot * seconds;
    latitude_ += metres * std::cos(Radians(track_)) / kMetresPerDegreeLatitude;
    longitude_ += metres * std::sin(Radians(track_)) / (kMetresPerDegreeLatitude * std::cos(Radians(latitude_)));
    track_ = std::fmod(track_ + kTurnPerSecond * seconds, 360.0);
    ++ticks_;
    speedKnots_ = 21.6 + 2.0 * std::sin(Seconds() * 2.0 * std::numbers::pi / 120.0);
}

} // namespace fixwatch
