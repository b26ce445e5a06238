// Receiver B against receiver A as the Compare tab follows them: the latest epoch's signals,
// the per-band summaries over the last minute and since Start, B's offsets as a series, each
// receiver's availability, bounded memory over a long run, and a real capture against a copy
// of it moved 1 m north and 3 dB weaker.
#include "compare_scenario.h"
#include "live_comparison.h"

#include "captures.h"

#include <GeographicLib/Geodesic.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace fixwatch {
namespace {

using Receiver = EpochPairing::Receiver;

constexpr std::int64_t kNoon = 1'796'040'000'000; // 2026-11-30 12:00 UTC, ms

ReceiverEpoch At(std::optional<double> latitude, double longitude = 170.5, std::vector<BandCn0> tracked = {})
{
    ReceiverEpoch epoch;
    epoch.fix = latitude.has_value();
    epoch.latitude = latitude.value_or(0);
    epoch.longitude = longitude;
    epoch.height = 20.0;
    epoch.quality = latitude ? 1 : 0;
    epoch.tracked = std::move(tracked);
    return epoch;
}

// A's point and B's `east` and `north` metres from it, on the ellipsoid.
std::pair<ReceiverEpoch, ReceiverEpoch> Apart(double east, double north)
{
    double latitude = 0, longitude = 0;
    GeographicLib::Geodesic::WGS84().Direct(-45.8776, 170.5, std::atan2(east, north) * 180 / std::numbers::pi,
                                            std::hypot(east, north), latitude, longitude);
    ReceiverEpoch b = At(latitude, longitude);
    return {At(-45.8776), b};
}

TEST(LiveComparison, LatestSignalsAndTheSatellitesOnlyOneTracked)
{
    using enum GnssSystem;
    LiveComparison comparison;
    ReceiverEpoch alone = At(-45.0, 170.0, {{GPS, 5, SignalBand::L1, 40}});
    comparison.Add(&alone, nullptr, kNoon);
    EXPECT_FALSE(comparison.AnyShared()) << "an epoch of A alone is none in common";
    EXPECT_TRUE(comparison.Signals().empty());

    ReceiverEpoch a = At(-45.0, 170.0,
                         {{GPS, 5, SignalBand::L1, 40},
                          {GPS, 5, SignalBand::L2, 30},
                          {GPS, 12, SignalBand::L5, 35},
                          {Galileo, 7, SignalBand::L5, 33},
                          {BeiDou, 20, SignalBand::L1, 38}});
    ReceiverEpoch b = At(-45.0, 170.0,
                         {{GPS, 5, SignalBand::L1, 43},
                          {GPS, 5, SignalBand::L2, 29},
                          {GLONASS, 3, SignalBand::L1, 41},
                          {BeiDou, 20, SignalBand::L1, 44}});
    comparison.Add(&a, &b, kNoon + 1000);
    EXPECT_TRUE(comparison.AnyShared());
    const std::vector<LiveComparison::SignalRow>& rows = comparison.Signals();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].system, GPS);
    EXPECT_EQ(rows[0].band, SignalBand::L1);
    EXPECT_EQ(rows[0].Difference(), 3);
    EXPECT_EQ(rows[1].band, SignalBand::L2);
    EXPECT_EQ(rows[1].Difference(), -1);
    EXPECT_EQ(rows[2].system, BeiDou);
    EXPECT_EQ(rows[2].a, 38);
    EXPECT_EQ(rows[2].b, 44);
    EXPECT_EQ(comparison.OnlyText(EpochPairing::A), "only A: G12 L5, E7 L5");
    EXPECT_EQ(comparison.OnlyText(EpochPairing::B), "only B: R3 L1");
    EXPECT_EQ(comparison.OnlyText(EpochPairing::A, 1), "only A: G12 L5 and 1 more");

    const auto summaries = comparison.BandSummaries();
    ASSERT_EQ(summaries.size(), 2u) << "L1 and L2 compared, L5 tracked by A alone";
    EXPECT_EQ(summaries[0].band, SignalBand::L1);
    EXPECT_DOUBLE_EQ(*summaries[0].lastMinute, 4.5);
    EXPECT_DOUBLE_EQ(*summaries[1].lastMinute, -1);

    // A later shared epoch without signals in common: the table and the lists follow it.
    ReceiverEpoch quiet = At(-45.0);
    comparison.Add(&quiet, &quiet, kNoon + 2000);
    EXPECT_TRUE(comparison.Signals().empty());
    EXPECT_EQ(comparison.OnlyText(EpochPairing::A), "");
    EXPECT_EQ(comparison.BandSummaries().size(), 2u) << "the summaries are since Start";

    comparison.Clear();
    EXPECT_FALSE(comparison.AnyShared());
    EXPECT_TRUE(comparison.BandSummaries().empty());
    EXPECT_EQ(comparison.SeriesSize(), 0u);
}

TEST(LiveComparison, OffsetsAreOnThePlaneAtAsMeanPositionAndThinnedForDrawing)
{
    LiveComparison comparison;
    const std::pair<double, double> moves[] = {{3, 4}, {3, 4}, {-3, -4}, {6, 8}};
    for (std::size_t i = 0; i < std::size(moves); ++i) {
        auto [a, b] = Apart(moves[i].first, moves[i].second);
        comparison.Add(&a, &b, kNoon + static_cast<std::int64_t>(i) * 1000);
    }
    // The geodesic runs on the ellipsoid, the receivers 20 m above it: a few ppm apart.
    constexpr double kTolerance = 1e-4;
    const auto offsets = comparison.Offsets();
    ASSERT_EQ(offsets.size(), std::size(moves));
    for (std::size_t i = 0; i < offsets.size(); ++i) {
        EXPECT_EQ(offsets[i].utcMs, kNoon + static_cast<std::int64_t>(i) * 1000);
        EXPECT_NEAR(offsets[i].east, moves[i].first, kTolerance) << i;
        EXPECT_NEAR(offsets[i].north, moves[i].second, kTolerance) << i;
        ASSERT_TRUE(offsets[i].up);
        EXPECT_NEAR(*offsets[i].up, 0, kTolerance);
    }
    // Thinned for drawing: evenly, and the newest kept.
    const auto two = comparison.Offsets(2);
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(two[0].utcMs, kNoon + 1000);
    EXPECT_EQ(two[1].utcMs, kNoon + 3000);

    // Without B's height the offset is horizontal only.
    auto [a, b] = Apart(1, 0);
    b.height.reset();
    comparison.Add(&a, &b, kNoon + 4000);
    EXPECT_FALSE(comparison.Offsets().back().up);
    EXPECT_NEAR(comparison.Offsets().back().east, 1, kTolerance);
}

TEST(LiveComparison, AvailabilityCountsFixesTheOtherHadNotAndFollowsQuality)
{
    LiveComparison comparison;
    ReceiverEpoch fix = At(-45.0);
    ReceiverEpoch none = At(std::nullopt);
    ReceiverEpoch dgps = At(-45.0);
    dgps.quality = 2;
    dgps.satellitesUsed = 14;
    dgps.satellitesInView = 22;
    comparison.FirstFix(EpochPairing::B, 4.5);
    comparison.FirstFix(EpochPairing::B, 9.0);   // only the first counts
    comparison.Add(&none, &fix, kNoon);          // B alone has a fix
    comparison.Add(nullptr, &fix, kNoon + 1000); // A sent nothing
    comparison.Add(&fix, nullptr, kNoon + 2000); // B sent nothing
    comparison.Add(&dgps, &fix, kNoon + 3000);
    comparison.Add(&dgps, &none, kNoon + 4000);
    comparison.Add(&none, &none, kNoon + 5000);

    const auto& a = comparison.AvailabilityOf(EpochPairing::A);
    const auto& b = comparison.AvailabilityOf(EpochPairing::B);
    EXPECT_EQ(a.fixOnly, 2u);
    EXPECT_EQ(b.fixOnly, 2u);
    EXPECT_EQ(comparison.Totals().onlyA, 2u) << "the counts are fixwatch-events --compare's";
    EXPECT_EQ(comparison.Totals().onlyB, 2u);
    EXPECT_FALSE(a.timeToFirstFix);
    EXPECT_EQ(b.timeToFirstFix, 4.5);
    EXPECT_EQ(a.satellitesUsed, 0) << "the latest epoch's, which had none";

    struct Span {
        std::int64_t from, to;
        int quality;
    };
    const Span expectedA[] = {{0, 0, 0}, {2000, 2000, 1}, {3000, 4000, 2}, {5000, 5000, 0}};
    ASSERT_EQ(a.quality.size(), std::size(expectedA));
    for (std::size_t i = 0; i < std::size(expectedA); ++i) {
        EXPECT_EQ(a.quality[i].fromMs - kNoon, expectedA[i].from) << i;
        EXPECT_EQ(a.quality[i].toMs - kNoon, expectedA[i].to) << i;
        EXPECT_EQ(a.quality[i].quality, expectedA[i].quality) << i;
    }
    comparison.Add(&dgps, &fix, kNoon + 6000);
    EXPECT_EQ(comparison.AvailabilityOf(EpochPairing::A).satellitesUsed, 14) << "the latest epoch's";
    EXPECT_EQ(comparison.AvailabilityOf(EpochPairing::A).satellitesInView, 22);
}

TEST(LiveComparison, LastMinuteIsTheMinuteBeforeTheLatestEpochAndAClockStartingAgainBeginsTheSeriesAgain)
{
    LiveComparison comparison;
    // Two minutes at 1 Hz: B 1 dB stronger in the first, 3 dB in the second.
    for (std::int64_t second = 0; second < 120; ++second) {
        ReceiverEpoch a = At(-45.0, 170.0, {{GnssSystem::GPS, 1, SignalBand::L1, 40}});
        ReceiverEpoch b = At(-45.0, 170.0, {{GnssSystem::GPS, 1, SignalBand::L1, second < 60 ? 41 : 43}});
        comparison.Add(&a, &b, kNoon + second * 1000);
    }
    auto summary = comparison.BandSummaries().at(0);
    EXPECT_DOUBLE_EQ(*summary.lastMinute, 3);
    EXPECT_EQ(summary.lastMinuteCount, 60u);
    EXPECT_DOUBLE_EQ(*summary.sinceStart, 2);
    EXPECT_EQ(summary.sinceStartCount, 120u);

    // A falls silent for a minute and a half: nothing compared in the last minute.
    ReceiverEpoch a = At(-45.0);
    comparison.Add(&a, nullptr, kNoon + 210'000);
    summary = comparison.BandSummaries().at(0);
    EXPECT_EQ(summary.lastMinuteCount, 0u);
    EXPECT_EQ(summary.sinceStartCount, 120u);

    // A late epoch a few seconds back is no new start; a day back is.
    const std::size_t before = comparison.Offsets().size();
    comparison.Add(&a, &a, kNoon + 205'000);
    EXPECT_EQ(comparison.Offsets().size(), before + 1);
    comparison.Add(&a, &a, kNoon - 86'400'000);
    EXPECT_EQ(comparison.Offsets().size(), 1u);
    EXPECT_EQ(comparison.AvailabilityOf(EpochPairing::A).quality.size(), 1u);
    EXPECT_EQ(comparison.Totals().epochs, 122u) << "the totals are since Start";
}

TEST(LiveComparison, MemoryStaysBoundedOverHoursAt10Hz)
{
    LiveComparison comparison;
    std::vector<BandCn0> tracked;
    for (int n = 1; n <= 12; ++n)
        tracked.push_back({GnssSystem::GPS, n, SignalBand::L1, 30 + n});
    ReceiverEpoch a = At(-45.0, 170.0, tracked);
    ReceiverEpoch b = At(-45.00001, 170.0, tracked);
    ReceiverEpoch none = At(std::nullopt);
    std::size_t atTwoHours = 0;
    for (std::int64_t i = 0; i < 3 * 36'000; ++i) {
        // Every fifth epoch B has no fix, so that the quality series changes all the time.
        comparison.Add(&a, i % 5 == 0 ? &none : &b, kNoon + i * 100);
        if (i == 2 * 36'000)
            atTwoHours = comparison.SeriesSize();
    }
    EXPECT_NEAR(static_cast<double>(comparison.SeriesSize()), static_cast<double>(atTwoHours), 2)
        << "flat after the first hour";
    EXPECT_LE(comparison.Offsets().size(), LiveComparison::kMaxSeries);
    EXPECT_LE(comparison.AvailabilityOf(EpochPairing::B).quality.size(), LiveComparison::kMaxSeries);
    EXPECT_EQ(comparison.Totals().epochs, 3u * 36'000 * 4 / 5) << "the totals still count every epoch";
}

TEST(LiveComparison, RealCaptureAgainstACopyOneMetreNorthAndThreeDecibelsWeaker)
{
    const char* capture = "ublox-zed-f9p-nmea.nmea"; // GPS, GLONASS, Galileo, BeiDou on L1 and L2
    FIXWATCH_NEED_CAPTURES(capture);
    // B is the capture moved 1 m north of A's first fix and 3 dB weaker, as the screenshots show it.
    const ComparePair pair = CompareScenario(test::CapturePath(capture));
    ASSERT_FALSE(pair.b.empty());
    LiveComparison comparison;
    FeedComparison(comparison, pair);

    ASSERT_TRUE(comparison.AnyShared());
    const ReceiverComparison::Result totals = comparison.Totals();
    EXPECT_GT(totals.epochs, 10u);
    EXPECT_EQ(totals.onlyA + totals.onlyB, 0u);
    EXPECT_NEAR(*totals.north, 1.000, 0.001);
    EXPECT_NEAR(*totals.east, 0, 0.001);
    EXPECT_NEAR(*totals.up, 0, 0.001);
    EXPECT_NEAR(*totals.horizontalRms, 1.000, 0.001);
    EXPECT_NEAR(totals.cn0.mean, -3.00, 0.005);
    EXPECT_GT(totals.cn0.count, 100u);
    EXPECT_GE(comparison.BandSummaries().size(), 2u) << "L1 and L2";
    EXPECT_FALSE(comparison.Signals().empty());
    for (const auto& row : comparison.Signals())
        EXPECT_EQ(row.Difference(), -3);
}

} // namespace
} // namespace fixwatch
