#include "receiver_epoch.h"

#include "satellite_numbering.h"

#include <algorithm>
#include <chrono>
#include <numeric>

namespace fixwatch {

std::vector<BandCn0> TrackedBands(const std::vector<SkySatellite>& satellites)
{
    std::vector<BandCn0> tracked;
    for (const SkySatellite& satellite : satellites) {
        const int number = NativeNumber(satellite.system, satellite.number);
        for (SignalBand band : kAllSignalBands) {
            if (const auto cn0 = StrongestCn0(satellite, band))
                tracked.push_back({satellite.system, number, band, *cn0});
        }
    }
    // Two listings of one satellite under numberings that differ (GLONASS 65 and slot 1) meet
    // here; the stronger reading stays.
    std::sort(tracked.begin(), tracked.end(), [](const BandCn0& a, const BandCn0& b) {
        return a != b ? a < b : a.cn0 > b.cn0;
    });
    tracked.erase(std::unique(tracked.begin(), tracked.end()), tracked.end());
    return tracked;
}

std::optional<TimedReceiverEpoch> ReceiverEpochOf(const Epoch& epoch, const std::vector<SkySatellite>& satellites)
{
    if (!epoch.timeMs)
        return std::nullopt;
    TimedReceiverEpoch timed;
    timed.utcMs = *epoch.timeMs;
    if (epoch.date) {
        using namespace std::chrono;
        const sys_days day{year{epoch.date->year} / month{static_cast<unsigned>(epoch.date->month)}
                           / std::chrono::day{static_cast<unsigned>(epoch.date->day)}};
        timed.utcMs += std::int64_t{day.time_since_epoch().count()} * 86'400'000;
    }
    ReceiverEpoch& out = timed.epoch;
    out.fix = epoch.HasFix() && !epoch.Simulated() && epoch.latitude && epoch.longitude;
    if (out.fix) {
        out.latitude = *epoch.latitude;
        out.longitude = *epoch.longitude;
        if (epoch.altitude)
            out.height = *epoch.altitude + epoch.geoidSeparation.value_or(0.0);
    }
    out.quality = epoch.fixQuality;
    out.satellitesUsed = std::accumulate(epoch.usedBySystem.begin(), epoch.usedBySystem.end(), 0);
    if (out.satellitesUsed == 0 && epoch.satellitesUsed)
        out.satellitesUsed = *epoch.satellitesUsed;
    out.satellitesInView = std::accumulate(epoch.inViewBySystem.begin(), epoch.inViewBySystem.end(), 0);
    out.tracked = TrackedBands(satellites);
    return timed;
}

} // namespace fixwatch
