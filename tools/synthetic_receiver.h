#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fixwatch {

// A made-up GPS receiver with a fix: it drives along a slowly turning track and sees 9 to
// 12 satellites whose elevation, azimuth and signal change slowly. Each call of NextSecond
// gives the sentences one second of such a receiver sends, in the usual order: GGA, GSA,
// three GSV, RMC, VTG and GLL, each with its checksum and CR LF.
class SyntheticReceiver {
public:
    struct Start {
        int year = 2024, month = 5, day = 1;   // UTC date of the first second
        int hour = 12, minute = 0, second = 0; // UTC time of the first second
        double latitude = 45.4642;             // degrees, north positive
        double longitude = 9.1900;             // degrees, east positive
    };

    SyntheticReceiver();
    explicit SyntheticReceiver(const Start& start);

    std::vector<std::string> NextSecond();

    // "$" + body + "*" + the two upper-case hexadecimal digits of the XOR of body's bytes.
    static std::string Sentence(std::string_view body);

    // "ddmmyy": the UTC date `seconds` after `start`, as RMC sends it.
    static std::string DateAfter(const Start& start, long seconds);

private:
    struct Satellite {
        int prn;
        double azimuth;      // degrees at the start
        double elevationMid; // degrees; elevation swings slowly around it
        double phase;        // radians, where the swing starts
    };

    static constexpr int kSatelliteCount = 12;

    std::string TimeText() const;
    std::string DateText() const;
    std::string LatitudeFields() const;
    std::string LongitudeFields() const;
    int SatellitesInView() const;
    int Elevation(const Satellite& s) const;
    int Azimuth(const Satellite& s) const;
    int SignalToNoise(const Satellite& s) const;
    void Advance();

    Start start_;
    long elapsed_ = 0; // seconds since the start
    double latitude_;
    double longitude_;
    double track_ = 60.0; // degrees true
    double speedKnots_ = 21.6;
    std::array<Satellite, kSatelliteCount> satellites_;
};

} // namespace fixwatch
