#pragma once

#include "synthetic_receiver.h"

#include <array>
#include <string>
#include <vector>

namespace fixwatch {

// A made-up multi-system receiver at 10 Hz, for benchmarks of the all-systems path: GPS,
// GLONASS, Galileo and BeiDou. Each call of NextTick gives the sentences of one 100 ms
// epoch, as an NMEA 4.10 receiver sends them: GNRMC, GNVTG, GNGGA, one GNGSA per system
// ending in its system ID, then GPGSV, GLGSV, GAGSV and GBGSV, each sequence ending in its
// signal ID. Every sentence has its checksum and CR LF. One satellite of each system rises
// and sets every five minutes; elevation, azimuth and signal drift slowly.
//
// An epoch is at most kMaxCharactersPerTick characters, so ten a second fit a 115200-baud
// line (11,520 characters a second at 10 bits a character).
class SyntheticGnssReceiver {
public:
    static constexpr int kTicksPerSecond = 10;
    static constexpr std::size_t kMaxCharactersPerTick = 1'100;

    SyntheticGnssReceiver();
    explicit SyntheticGnssReceiver(const SyntheticReceiver::Start& start);

    std::vector<std::string> NextTick();

private:
    struct Satellite {
        int number;          // as the sentences send it
        double azimuth;      // degrees at the start
        double elevationMid; // degrees; elevation swings slowly around it
        double phase;        // radians, where the swing starts
    };
    struct Constellation {
        const char* talker;                // of its GSV
        int systemId;                      // NMEA 4.10 system ID of its GSA
        char signalId;                     // NMEA 4.10 signal ID of its GSV
        std::vector<Satellite> satellites; // the last one rises and sets
    };

    double Seconds() const { return static_cast<double>(ticks_) / kTicksPerSecond; }
    bool InView(const Constellation& c, std::size_t index) const;
    int Elevation(const Satellite& s) const;
    int Azimuth(const Satellite& s) const;
    int SignalToNoise(const Satellite& s) const;
    std::string TimeText() const;
    std::string DateText() const;
    void Advance();

    SyntheticReceiver::Start start_;
    long ticks_ = 0;
    double latitude_;
    double longitude_;
    double track_ = 60.0; // degrees true
    double speedKnots_ = 21.6;
    std::array<Constellation, 4> constellations_;
};

} // namespace fixwatch
