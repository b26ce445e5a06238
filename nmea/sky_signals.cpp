#include "sky_signals.h"

#include <array>

namespace fixwatch {
namespace {

struct SignalEntry {
    std::string_view name;
    SignalBand band;
};

using SignalTable = std::array<SignalEntry, 16>; // by signal ID 0 to F; an empty name is no signal

constexpr SignalBand L1 = SignalBand::L1, L2 = SignalBand::L2, L5 = SignalBand::L5, E5b = SignalBand::E5b,
                     E6 = SignalBand::E6, S = SignalBand::S;

// The signal IDs of NMEA 4.11, per system; Galileo's L1-A and L1-BC named E1 as users know them.
constexpr SignalTable kGps{{{},
                            {"L1 C/A", L1},
                            {"L1 P(Y)", L1},
                            {"L1 M", L1},
                            {"L2 P(Y)", L2},
                            {"L2C-M", L2},
                            {"L2C-L", L2},
                            {"L5-I", L5},
                            {"L5-Q", L5}}};
constexpr SignalTable kGlonass{{{}, {"G1 C/A", L1}, {"G1 P", L1}, {"G2 C/A", L2}, {"G2 P", L2}}};
constexpr SignalTable kGalileo{{{},
                                {"E5a", L5},
                                {"E5b", E5b},
                                {"E5 a+b", L5},
                                {"E6-A", E6},
                                {"E6-BC", E6},
                                {"E1-A", L1},
                                {"E1-BC", L1}}};
constexpr SignalTable kBeiDou{{{},
                               {"B1I", L1},
                               {"B1Q", L1},
                               {"B1C", L1},
                               {"B1A", L1},
                               {"B2a", L5},
                               {"B2b", E5b},
                               {"B2 a+b", L5},
                               {"B3I", E6},
                               {"B3Q", E6},
                               {"B3A", E6},
                               {"B2I", E5b},
                               {"B2Q", E5b}}};
constexpr SignalTable kQzss{{{},
                             {"L1 C/A", L1},
                             {"L1C (D)", L1},
                             {"L1C (P)", L1},
                             {"LIS", L1},
                             {"L2C-M", L2},
                             {"L2C-L", L2},
                             {"L5-I", L5},
                             {"L5-Q", L5},
                             {"L6D", E6},
                             {"L6E", E6}}};
constexpr SignalTable kNavic{{{}, {"L5-SPS", L5}, {"S-SPS", S}, {"L5-RS", L5}, {"S-RS", S}, {"L1-SPS", L1}}};

const SignalTable& TableOf(GnssSystem system)
{
    switch (system) {
    case GnssSystem::GPS:
    case GnssSystem::SBAS: return kGps;
    case GnssSystem::GLONASS: return kGlonass;
    case GnssSystem::Galileo: return kGalileo;
    case GnssSystem::BeiDou: return kBeiDou;
    case GnssSystem::QZSS: return kQzss;
    case GnssSystem::NavIC: return kNavic;
    }
    return kGps;
}

// The hexadecimal digit as an index, or -1.
int IdIndex(char id)
{
    if (id >= '0' && id <= '9')
        return id - '0';
    if (id >= 'A' && id <= 'F')
        return 10 + (id - 'A');
    return -1;
}

} // namespace

std::string_view BandName(SignalBand band)
{
    switch (band) {
    case SignalBand::L1: return "L1";
    case SignalBand::L2: return "L2";
    case SignalBand::L5: return "L5";
    case SignalBand::E5b: return "E5b";
    case SignalBand::E6: return "E6";
    case SignalBand::S: return "S";
    case SignalBand::Other: return "Other";
    }
    return "";
}

std::string_view SignalName(GnssSystem system, char id)
{
    const int index = IdIndex(id);
    return index < 0 ? std::string_view{} : TableOf(system)[static_cast<std::size_t>(index)].name;
}

SignalBand SignalBandOf(GnssSystem system, char id)
{
    if (id == 0)
        return SignalBand::L1;
    const int index = IdIndex(id);
    if (index < 0)
        return SignalBand::Other;
    const SignalEntry& entry = TableOf(system)[static_cast<std::size_t>(index)];
    return entry.name.empty() ? SignalBand::Other : entry.band;
}

std::optional<int> StrongestCn0(const SkySatellite& satellite, SignalBand band)
{
    std::optional<int> strongest;
    for (const SkySignal& signal : satellite.Signals()) {
        const auto cn0 = signal.Cn0();
        if (cn0 && SignalBandOf(satellite.system, signal.id) == band && (!strongest || *cn0 > *strongest))
            strongest = cn0;
    }
    return strongest;
}

} // namespace fixwatch
