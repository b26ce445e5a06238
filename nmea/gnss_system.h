#pragma once

#include <optional>
#include <string_view>

namespace fixwatch {

// The satellite systems a multi-system receiver reports, in the order the program sorts
// and shows them.
enum class GnssSystem {
    GPS,
    SBAS,
    GLONASS,
    Galileo,
    BeiDou,
    QZSS,
    NavIC,
};

inline constexpr GnssSystem kAllGnssSystems[] = {
    GnssSystem::GPS, GnssSystem::SBAS, GnssSystem::GLONASS, GnssSystem::Galileo,
    GnssSystem::BeiDou, GnssSystem::QZSS, GnssSystem::NavIC};

// "GPS", "SBAS", "GLONASS", "Galileo", "BeiDou", "QZSS", "NavIC".
constexpr std::string_view SystemName(GnssSystem system)
{
    switch (system) {
    case GnssSystem::GPS: return "GPS";
    case GnssSystem::SBAS: return "SBAS";
    case GnssSystem::GLONASS: return "GLONASS";
    case GnssSystem::Galileo: return "Galileo";
    case GnssSystem::BeiDou: return "BeiDou";
    case GnssSystem::QZSS: return "QZSS";
    case GnssSystem::NavIC: return "NavIC";
    }
    return "";
}

// The one-letter prefix of a satellite's number: G S R E C J I.
constexpr char SystemLetter(GnssSystem system)
{
    switch (system) {
    case GnssSystem::GPS: return 'G';
    case GnssSystem::SBAS: return 'S';
    case GnssSystem::GLONASS: return 'R';
    case GnssSystem::Galileo: return 'E';
    case GnssSystem::BeiDou: return 'C';
    case GnssSystem::QZSS: return 'J';
    case GnssSystem::NavIC: return 'I';
    }
    return '?';
}

// One satellite in view, merged over every signal and sentence that reported it. A value
// the receiver left empty stays empty: a satellite without elevation or azimuth cannot be
// placed on a sky plot, one without a signal is in view but not tracked.
struct SkySatellite {
    GnssSystem system = GnssSystem::GPS;
    int number = 0;               // as the sentences send it
    std::optional<int> elevation; // degrees above the horizon, 0..90
    std::optional<int> azimuth;   // degrees from true north, 0..359
    std::optional<int> signal;    // strongest signal-to-noise ratio over its signals, dB-Hz
    bool used = false;            // in the last fix solution (GSA)

    friend bool operator==(const SkySatellite&, const SkySatellite&) = default;
};

} // namespace fixwatch
