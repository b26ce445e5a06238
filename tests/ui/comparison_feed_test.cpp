// Two receivers' sessions paired epoch by epoch for the comparison, without a window.
#include "comparison_feed.h"
#include "live_comparison.h"
#include "sealed.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace fixwatch {
namespace {

using test::Line;

// One epoch of a multi-system receiver at `time` (hhmmss) on `date` (ddmmyy): its RMC and GGA,
// a GPS satellite and a Galileo one at `cn0` dB-Hz.
std::string Epoch(const std::string& time, const std::string& date = "071226", int cn0 = 40)
{
    const std::string c = std::to_string(cn0);
    return Line("$GNRMC," + time + ".00,A,4916.4500,N,12311.1200,W,0.0,0.0," + date + ",,,A")
           + Line("$GNGGA," + time + ".00,4916.4500,N,12311.1200,W,1,08,0.9,100.0,M,-17.0,M,,")
           + Line("$GPGSV,1,1,01,05,40,083," + c + ",1") + Line("$GAGSV,1,1,01,07,30,120," + c + ",7");
}

// An epoch as the comparison was handed it.
struct Handed {
    bool a = false, b = false;
    std::int64_t utcMs = 0;
    std::size_t tracked = 0; // A's bands, or B's when A has none
};

struct Pair {
    Pair()
    {
        a.Begin(Talkers::GpsOnly); // the window shows GPS alone; the comparison still reads all
        b.Begin(Talkers::AllSystems);
        a.AddConsumer(&feed.Consumer(EpochPairing::A));
        b.AddConsumer(&feed.Consumer(EpochPairing::B));
        feed.decided = [this](const ReceiverEpoch* ea, const ReceiverEpoch* eb, std::int64_t utcMs) {
            handed.push_back({ea != nullptr, eb != nullptr, utcMs, (ea ? ea : eb)->tracked.size()});
        };
        feed.firstFix = [this](EpochPairing::Receiver r, double after) { firstFixes.emplace_back(r, after); };
        feed.changed = [this] { ++changes; };
    }

    LiveComparison comparison;
    double seconds = 0;
    ComparisonFeed feed{comparison, [this] { return seconds; }};
    ReceiverSession a, b; // declared after the feed, so they go before it
    std::vector<Handed> handed;
    std::vector<std::pair<EpochPairing::Receiver, double>> firstFixes;
    int changes = 0;
};

constexpr std::int64_t kDec7At120000 = 1796644800000; // 2026-12-07 12:00:00 UTC

// How epochs wait for each other and what Stop hands on are pinned by analysis.EpochPairing.
TEST(ComparisonFeed, PairsTheEpochsOfBothReceiversByUtcReadingEverySystemOfA)
{
    Pair p;
    p.seconds = 4.5;
    // An epoch closes when the next one begins.
    p.a.HandleInput(Epoch("120000") + Epoch("120001") + Epoch("120002"));
    p.seconds = 7.0;
    p.b.HandleInput(Epoch("120000", "071226", 37) + Epoch("120001") + Epoch("120002") + Epoch("120003"));
    ASSERT_EQ(p.handed.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(p.handed[i].a && p.handed[i].b);
        EXPECT_EQ(p.handed[i].utcMs, kDec7At120000 + 1000 * static_cast<std::int64_t>(i));
        EXPECT_EQ(p.handed[i].tracked, 2u) << "A's Galileo satellite is compared though A shows GPS alone";
    }
    EXPECT_EQ(p.firstFixes, (std::vector<std::pair<EpochPairing::Receiver, double>>{{EpochPairing::A, 4.5},
                                                                                    {EpochPairing::B, 7.0}}));
    EXPECT_GT(p.changes, 0);
}

TEST(ComparisonFeed, ClearForgetsWhatWaitsAndCountsTheFirstFixAgain)
{
    Pair p;
    p.a.HandleInput(Epoch("120000") + Epoch("120001"));
    ASSERT_EQ(p.firstFixes.size(), 1u);
    p.feed.Clear();
    p.feed.Finish();
    EXPECT_TRUE(p.handed.empty()) << "an epoch of the last run was handed on after Start";

    // A receiver started again is read from nothing: its next closed epoch is a first fix.
    p.a.Begin(Talkers::GpsOnly);
    p.seconds = 2.0;
    p.a.HandleInput(Epoch("130000") + Epoch("130001"));
    ASSERT_EQ(p.firstFixes.size(), 2u);
    EXPECT_EQ(p.firstFixes.back().second, 2.0);
    // B's epochs of the next day at the same time of day are never A's.
    p.b.HandleInput(Epoch("130000", "081226") + Epoch("130001", "081226"));
    p.feed.Finish();
    ASSERT_EQ(p.handed.size(), 2u);
    EXPECT_TRUE(p.handed[0].a && !p.handed[0].b);
    EXPECT_EQ(p.handed[0].utcMs, kDec7At120000 + 3'600'000);
    EXPECT_TRUE(!p.handed[1].a && p.handed[1].b);
    EXPECT_EQ(p.handed[1].utcMs, kDec7At120000 + 86'400'000 + 3'600'000);
}

} // namespace
} // namespace fixwatch
