#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <span>
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

// One signal of a satellite as the receiver's GSV listed it (NMEA 4.10 and later send one
// sequence per signal).
struct SkySignal {
    char id = 0;              // the signal ID as sent, '0'-'9' or 'A'-'F'; 0 for a GSV without
                              // one, '?' for a field that is not one hexadecimal digit
    std::int16_t cn0 = -1;    // carrier-to-noise density in dB-Hz, -1 when not tracked
    std::uint32_t listed = 0; // which complete sequence last listed it: a count that only grows

    std::optional<int> Cn0() const { return cn0 < 0 ? std::nullopt : std::optional<int>(cn0); }
    // What a display shows; when it was last listed is no change of the sky.
    friend bool operator==(const SkySignal& a, const SkySignal& b) { return a.id == b.id && a.cn0 == b.cn0; }
};

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
    // Each signal listed, in signal ID order (a GSV without one first), at most kMaxSignals.
    static constexpr std::size_t kMaxSignals = 8;
    std::array<SkySignal, kMaxSignals> perSignal{}; // "signals" is a macro where Qt is included
    std::uint8_t signalCount = 0;

    std::span<const SkySignal> Signals() const { return {perSignal.data(), signalCount}; }

    // What a display shows: the signals past the count are no part of it.
    friend bool operator==(const SkySatellite& a, const SkySatellite& b)
    {
        return a.system == b.system && a.number == b.number && a.elevation == b.elevation && a.azimuth == b.azimuth
               && a.signal == b.signal && a.used == b.used && std::ranges::equal(a.Signals(), b.Signals());
    }
};

} // namespace fixwatch
