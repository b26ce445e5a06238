#pragma once

#include "gnss_system.h"

#include <compare>
#include <vector>

namespace fixwatch {

// Which satellite a row or a mark of the Sky tab stands for: its system and number. Orders
// by system in display order, then by number.
struct SatelliteKey {
    GnssSystem system = GnssSystem::GPS;
    int number = 0;

    friend auto operator<=>(const SatelliteKey&, const SatelliteKey&) = default;
};

inline SatelliteKey KeyOf(const SkySatellite& satellite)
{
    return {satellite.system, satellite.number};
}

// The satellites in system then number order, each once (the first of duplicates). A list
// already in that order, as the sky model gives it, is returned as it is.
std::vector<SkySatellite> InSkyOrder(const std::vector<SkySatellite>& satellites);

// The systems that have a satellite in the list, in display order.
std::vector<GnssSystem> SystemsIn(const std::vector<SkySatellite>& satellites);

} // namespace fixwatch
