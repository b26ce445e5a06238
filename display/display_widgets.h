#pragma once

#include "fix_fields.h"

#include <array>

class QLabel;
class QProgressBar;

namespace fixwatch {

// The window's controls that show the fix, by their names and indexes. The window owns
// them; a null entry is a control that does not exist, and writing to it is skipped.
struct DisplayWidgets {
    std::array<QLabel*, kFixFieldCount> Lab_Posizione{};         // FixField
    std::array<QLabel*, kFixUnitFieldCount> Lab_PosizioneUM{};   // FixUnitField
    std::array<QLabel*, kFixInfoFieldCount> Lab_PosizioneInfo{}; // FixInfoField
    std::array<QLabel*, kChannelCount> Lab_PosizioneInfo3b{};    // channel status
    std::array<QLabel*, kChannelCount> Lab_SatCHN{};             // column numbers "01" to "12"
    std::array<QLabel*, kChannelCount> Lab_Sat{};                // satellite number
    std::array<QLabel*, kChannelCount> Lab_SatA{};               // azimuth
    std::array<QLabel*, kChannelCount> Lab_SatE{};               // elevation
    std::array<QProgressBar*, kChannelCount> PSat{};             // signal-to-noise bars
};

} // namespace fixwatch
