#include "compare_scenario.h"

#include "epochs.h"
#include "moved_capture.h"
#include "receiver_epoch.h"
#include "sky.h"

#include <GeographicLib/Geodesic.hpp>

#include <fstream>
#include <sstream>
#include <vector>

namespace fixwatch {

namespace {

std::vector<TimedReceiverEpoch> EpochsOf(const std::string& text)
{
    Sky sky(Talkers::AllSystems);
    EpochModel epochs(Talkers::AllSystems, 1, &sky);
    std::vector<TimedReceiverEpoch> out;
    const auto take = [&] {
        if (auto timed = ReceiverEpochOf(epochs.History().Newest(), sky.Satellites()))
            out.push_back(std::move(*timed));
    };
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        sky.Feed(line);
        if (epochs.Feed(line))
            take();
    }
    if (epochs.Finish())
        take();
    return out;
}

} // namespace

ComparePair CompareScenario(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    ComparePair pair;
    for (const std::string& line : lines)
        pair.a += line + '\n';
    // 1 m north of A's first fix, in degrees of latitude there.
    const std::vector<TimedReceiverEpoch> epochs = EpochsOf(pair.a);
    for (const TimedReceiverEpoch& timed : epochs) {
        if (!timed.epoch.fix)
            continue;
        double latitude = 0, longitude = 0;
        GeographicLib::Geodesic::WGS84().Direct(timed.epoch.latitude, timed.epoch.longitude, 0, 1.0, latitude, longitude);
        pair.b = test::MovedCapture(lines, latitude - timed.epoch.latitude, -3);
        break;
    }
    return pair;
}

void FeedComparison(LiveComparison& comparison, const ComparePair& pair)
{
    const std::vector<TimedReceiverEpoch> epochs[] = {EpochsOf(pair.a), EpochsOf(pair.b)};
    EpochPairing pairing([&](const ReceiverEpoch* a, const ReceiverEpoch* b, std::int64_t utcMs) {
        comparison.Add(a, b, utcMs);
    });
    for (int r : {0, 1}) {
        for (const TimedReceiverEpoch& timed : epochs[r]) {
            if (timed.epoch.fix) {
                comparison.FirstFix(static_cast<EpochPairing::Receiver>(r),
                                    static_cast<double>(timed.utcMs - epochs[r].front().utcMs) / 1000.0);
                break;
            }
        }
    }
    const std::size_t longest = std::max(epochs[0].size(), epochs[1].size());
    for (std::size_t i = 0; i < longest; ++i) {
        for (int r : {0, 1}) {
            if (i >= epochs[r].size())
                continue;
            pairing.Add(static_cast<EpochPairing::Receiver>(r), epochs[r][i].utcMs, epochs[r][i].epoch);
        }
    }
    pairing.Finish();
}

} // namespace fixwatch
