#pragma once

#include "transcript.h"

#include "sky.h"

#include <string>
#include <vector>

namespace fixwatch::test {

// One satellite as "system number elevation azimuth signal", each missing value as "-",
// with " used" when a GSA lists it: "GPS 5 6 110 18 used".
inline std::string SatelliteText(const SkySatellite& s)
{
    auto value = [](const std::optional<int>& v) { return v ? std::to_string(*v) : std::string("-"); };
    return std::string(SystemName(s.system)) + " " + std::to_string(s.number) + " " + value(s.elevation) + " " +
           value(s.azimuth) + " " + value(s.signal) + (s.used ? " used" : "");
}

inline Lines SkyText(const Sky& sky)
{
    Lines lines;
    for (const SkySatellite& s : sky.Satellites())
        lines.push_back(SatelliteText(s));
    return lines;
}

// Feeds each sentence body ("$GPGSV,1,1,...") with "*" and its checksum added.
inline void FeedSealed(Sky& sky, const Lines& bodies)
{
    for (const std::string& body : bodies)
        sky.Feed(Sealed(body));
}

// What a sky makes of the bodies, fed in order to a new sky.
inline Lines SkyOf(const Lines& bodies, Talkers talkers = Talkers::AllSystems)
{
    Sky sky(talkers);
    FeedSealed(sky, bodies);
    return SkyText(sky);
}

} // namespace fixwatch::test
