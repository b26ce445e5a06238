#pragma once

#include <array>

class QLabel;
class QProgressBar;

namespace fixwatch {

// The window's controls that show the fix, by their names and indexes. The window owns
// them; a null entry is a control that does not exist, and writing to it is skipped.
struct DisplayWidgets {
    std::array<QLabel*, 9> Lab_Posizione{};        // time, lat, lon, alt, km/h, knots, dir, date, geoid
    std::array<QLabel*, 4> Lab_PosizioneUM{};      // altitude unit, knots, km/h, geoid unit
    std::array<QLabel*, 13> Lab_PosizioneInfo{};   // counts, DOPs, status, modes, DGPS, tracks
    std::array<QLabel*, 12> Lab_PosizioneInfo3b{}; // channel status
    std::array<QLabel*, 12> Lab_SatCHN{};          // column numbers "01" to "12"
    std::array<QLabel*, 12> Lab_Sat{};             // satellite number
    std::array<QLabel*, 12> Lab_SatA{};            // azimuth
    std::array<QLabel*, 12> Lab_SatE{};            // elevation
    std::array<QProgressBar*, 12> PSat{};          // signal-to-noise bars
};

} // namespace fixwatch
