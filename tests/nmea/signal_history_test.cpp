// The signals kept for the History tab's C/N0 chart: one sample per satellite, or per band of
// it with every band kept, and the used satellites' mean per band; bounded.
#include "sealed.h"
#include "signal_history.h"
#include "sky.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

namespace fixwatch {
namespace {

using test::Sealed;

// GPS 10 and 12 on L1 and L5, Galileo 11 on E1 only; 10 and 11 used, 12 not.
Sky DualBandSky()
{
    Sky sky;
    for (const char* line : {"$GPGSV,1,1,02,10,45,120,40,12,30,200,30,1", "$GPGSV,1,1,02,10,45,120,34,12,30,200,24,8",
                             "$GAGSV,1,1,01,11,60,050,44,7", "$GNGSA,A,3,10,,,,,,,,,,,,1.5,0.9,1.2,1",
                             "$GNGSA,A,3,11,,,,,,,,,,,,1.5,0.9,1.2,3"})
        sky.Feed(Sealed(line));
    return sky;
}

TEST(SignalHistory, PerBandKeepsEachBandOfEverySatelliteAndTheUsedOnesMeanPerBand)
{
    SignalHistory history;
    history.AddEpoch(100, DualBandSky().Satellites(), true);
    using Sample = std::tuple<int, int, int>; // Key(system, number), band, C/N0
    const int g10 = SignalHistory::Key(GnssSystem::GPS, 10), g12 = SignalHistory::Key(GnssSystem::GPS, 12),
              e11 = SignalHistory::Key(GnssSystem::Galileo, 11);
    const int l1 = static_cast<int>(SignalBand::L1), l5 = static_cast<int>(SignalBand::L5);
    std::vector<Sample> expected = {{g10, l1, 40}, {g10, l5, 34}, {g12, l1, 30}, {g12, l5, 24}, {e11, l1, 44}};
    std::vector<Sample> samples;
    for (std::size_t i = 0; i < history.Size(); ++i)
        samples.emplace_back(history[i].key, history[i].band, history[i].cn0);
    std::ranges::sort(samples);
    std::ranges::sort(expected);
    EXPECT_EQ(samples, expected);

    ASSERT_EQ(history.Means().size(), 1u);
    const auto& means = history.Means().front();
    EXPECT_EQ(means.seconds, 100);
    EXPECT_EQ(means.mean[static_cast<std::size_t>(SignalBand::L1)], 42.0f) << "G10 40 and E11 44; G12 is not used";
    EXPECT_EQ(means.mean[static_cast<std::size_t>(SignalBand::L5)], 34.0f) << "G10 alone";
    EXPECT_FALSE(means.mean[static_cast<std::size_t>(SignalBand::L2)]) << "no used satellite on L2";
}

TEST(SignalHistory, WithoutBandsEachSatelliteKeepsItsStrongestSignalAndNoMeans)
{
    SignalHistory history;
    history.AddEpoch(100, DualBandSky().Satellites(), false);
    ASSERT_EQ(history.Size(), 3u);
    for (std::size_t i = 0; i < history.Size(); ++i)
        EXPECT_EQ(history[i].band, SignalHistory::kStrongest);
    EXPECT_EQ(history[0].cn0, 40) << "G10's strongest, L1";
    EXPECT_TRUE(history.Means().empty());
}

TEST(SignalHistory, SamplesAndMeansStayWithinTheirBoundsAndClearForgetsBoth)
{
    SignalHistory history(4, 2);
    const Sky sky = DualBandSky();
    for (int t = 0; t < 5; ++t)
        history.AddEpoch(t, sky.Satellites(), true);
    EXPECT_EQ(history.Size(), 4u);
    EXPECT_EQ(history[3].seconds, 4) << "the newest kept";
    ASSERT_EQ(history.Means().size(), 2u);
    EXPECT_EQ(history.Means().front().seconds, 3);
    history.Clear();
    EXPECT_EQ(history.Size(), 0u);
    EXPECT_TRUE(history.Means().empty());
}

} // namespace
} // namespace fixwatch
