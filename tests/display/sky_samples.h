#pragma once

// Satellites for the Sky tab's tests.
#include "gnss_system.h"

#include <optional>
#include <ostream>
#include <vector>

namespace fixwatch {

inline constexpr std::optional<int> kNone = std::nullopt;

inline SkySatellite Sat(GnssSystem system, int number, std::optional<int> elevation, std::optional<int> azimuth,
                        std::optional<int> signal, bool used)
{
    return {system, number, elevation, azimuth, signal, used};
}

// GoogleTest prints a satellite that fails a comparison like this.
inline void PrintTo(const SkySatellite& s, std::ostream* out)
{
    const auto value = [](const std::optional<int>& v) { return v ? std::to_string(*v) : std::string("-"); };
    *out << SystemName(s.system) << ' ' << s.number << " el " << value(s.elevation) << " az " << value(s.azimuth)
         << " snr " << value(s.signal) << (s.used ? " used" : " unused");
}

// A small multi-system sky in system then number order, chosen so that numeric and textual
// sorting differ (5 < 10 < 100), with some values empty.
inline std::vector<SkySatellite> SmallSky()
{
    using G = GnssSystem;
    return {Sat(G::GPS, 5, 45, 100, 40, true),        Sat(G::GPS, 10, 9, 20, kNone, false),
            Sat(G::GPS, 100, kNone, kNone, 12, false), Sat(G::GLONASS, 65, 80, 300, 31, true),
            Sat(G::Galileo, 5, 20, 200, 8, false),     Sat(G::BeiDou, 21, 60, kNone, 45, true)};
}

} // namespace fixwatch
