#include "signal_history.h"

namespace fixwatch {

void SignalHistory::AddEpoch(double seconds, std::span<const SkySatellite> satellites, bool perBand)
{
    if (!perBand) {
        for (const SkySatellite& satellite : satellites)
            if (satellite.signal)
                Add(seconds, satellite.system, satellite.number, *satellite.signal);
        return;
    }
    std::array<int, kMeanBands> sums{};
    std::array<int, kMeanBands> counts{};
    for (const SkySatellite& satellite : satellites) {
        for (std::size_t b = 0; b <= kMeanBands; ++b) {
            const auto band = static_cast<SignalBand>(b);
            const auto cn0 = StrongestCn0(satellite, band);
            if (!cn0)
                continue;
            Add(seconds, satellite.system, satellite.number, *cn0, static_cast<std::uint8_t>(b));
            if (satellite.used && b < kMeanBands) {
                sums[b] += *cn0;
                ++counts[b];
            }
        }
    }
    BandMeans means{seconds, {}};
    for (std::size_t b = 0; b < kMeanBands; ++b)
        if (counts[b] > 0)
            means.mean[b] = static_cast<float>(sums[b]) / static_cast<float>(counts[b]);
    if (means_.size() >= epochCapacity_)
        means_.pop_front();
    means_.push_back(means);
}

} // namespace fixwatch
