#pragma once

#include "gnss_system.h"

#include <optional>
#include <string_view>

namespace fixwatch {

// The carrier bands the window groups signals by: L1 with E1, B1 and G1; L2 with G2; L5 with
// E5a and B2a; E5b with B2b and B2I; E6 with L6 and B3; NavIC's S band. Other is a signal ID
// outside the table.
enum class SignalBand {
    L1,
    L2,
    L5,
    E5b,
    E6,
    S,
    Other,
};

inline constexpr SignalBand kAllSignalBands[] = {SignalBand::L1, SignalBand::L2, SignalBand::L5, SignalBand::E5b,
                                                 SignalBand::E6, SignalBand::S, SignalBand::Other};

// "L1", "L2", "L5", "E5b", "E6", "S", "Other".
std::string_view BandName(SignalBand band);

// The name of signal `id` (the GSV's signal ID as sent, one hexadecimal digit) of a satellite
// of `system`: "L1 C/A", "E5a", "B2a", ... SBAS satellites come in GPS's sentences and take
// GPS's names. Empty for an ID outside the table and for a GSV without one (id 0).
std::string_view SignalName(GnssSystem system, char id);

// The band of that signal. A GSV without a signal ID is L1's: receivers that send none track
// L1 alone.
SignalBand SignalBandOf(GnssSystem system, char id);

// The strongest C/N0 (dB-Hz) among the signals of `band` that `satellite` is tracking; nothing
// when it tracks none there.
std::optional<int> StrongestCn0(const SkySatellite& satellite, SignalBand band);

} // namespace fixwatch
