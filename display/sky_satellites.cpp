#include "sky_satellites.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace fixwatch {

std::vector<SkySatellite> InSkyOrder(const std::vector<SkySatellite>& satellites)
{
    const auto strictlyBefore = [](const SkySatellite& a, const SkySatellite& b) {
        return KeyOf(a) < KeyOf(b);
    };
    const auto notAfter = [](const SkySatellite& a, const SkySatellite& b) {
        return !(KeyOf(a) < KeyOf(b));
    };
    if (std::adjacent_find(satellites.begin(), satellites.end(), notAfter) == satellites.end())
        return satellites;

    std::vector<SkySatellite> ordered = satellites;
    std::stable_sort(ordered.begin(), ordered.end(), strictlyBefore);
    const auto sameKey = [](const SkySatellite& a, const SkySatellite& b) {
        return KeyOf(a) == KeyOf(b);
    };
    ordered.erase(std::unique(ordered.begin(), ordered.end(), sameKey), ordered.end());
    return ordered;
}

std::vector<GnssSystem> SystemsIn(const std::vector<SkySatellite>& satellites)
{
    std::array<bool, std::size(kAllGnssSystems)> present{};
    for (const SkySatellite& satellite : satellites) {
        const auto index = static_cast<std::size_t>(satellite.system);
        if (index < present.size())
            present[index] = true;
    }
    std::vector<GnssSystem> systems;
    for (GnssSystem system : kAllGnssSystems)
        if (present[static_cast<std::size_t>(system)])
            systems.push_back(system);
    return systems;
}

} // namespace fixwatch
