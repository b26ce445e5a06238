#include "sealed.h"
#include "sentence_stats.h"
#include "sentence_view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <vector>
#include <string>
#include <tuple>

namespace fixwatch {
namespace {

const SentenceStats::Row* Find(const SentenceStats& stats, std::string_view key)
{
    const auto& rows = stats.Rows();
    const auto at = std::find_if(rows.begin(), rows.end(), [&](const auto& row) { return row.key == key; });
    return at == rows.end() ? nullptr : &*at;
}

constexpr const char* kGga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47";

TEST(SentenceStats, CountsRatesAndBadChecksumsPerIdentifierWithTheCallersClock)
{
    SentenceStats stats;
    // Two GGA a second for 20 s, one of them damaged each second.
    for (int s = 0; s < 20; ++s) {
        stats.Count(SentenceView(kGga), s * 1000 + 100);
        stats.Count(SentenceView("$GPGGA,123519,4807.038,N*00"), s * 1000 + 600);
    }
    stats.Count(SentenceView("$PUBX,00,1*33"), 19500);
    const auto* gga = Find(stats, "GPGGA");
    ASSERT_NE(gga, nullptr);
    EXPECT_EQ(std::tuple(gga->count, gga->badChecksums, gga->lastSeenMs), std::tuple(40u, 20u, 19600));
    EXPECT_DOUBLE_EQ(stats.Rate(*gga, 20000), 2.0);
    EXPECT_DOUBLE_EQ(stats.Rate(*gga, 25000), 1.0); // five of the last ten seconds
    ASSERT_NE(Find(stats, "PUBX"), nullptr);
    EXPECT_EQ(stats.UseOf(*Find(stats, "PUBX")), "not read; proprietary");
}

TEST(SentenceStats, ARateCountsTheReceiversSecondsNotWhenItsLinesArrive)
{
    SentenceStats stats;
    // A 1 Hz RMC whose lines arrive around the turn of the clock's second, early or late.
    auto rmc = [](int second) {
        char body[96];
        const int t = (86380 + second) % 86400; // 23:59:40 on
        std::snprintf(body, sizeof body, "$GPRMC,%02d%02d%02d,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W",
                      t / 3600, t / 60 % 60, t % 60);
        return test::Sealed(body);
    };
    std::vector<double> rates;
    for (int s = 0; s < 40; ++s) { // over midnight
        const std::int64_t arrival = s * 1000 + (s % 3 == 0 ? 1020 : 980);
        stats.Count(SentenceView(rmc(s)), arrival);
        const auto* row = Find(stats, "GPRMC");
        if (s >= 10)
            rates.push_back(stats.Rate(*row, arrival + 300));
    }
    EXPECT_EQ(std::count(rates.begin(), rates.end(), 1.0), static_cast<long>(rates.size())) << "never 0.9 or 1.1";
    EXPECT_DOUBLE_EQ(stats.Rate(*Find(stats, "GPRMC"), 60000), 0.0) << "a receiver gone quiet sends nothing";
}

TEST(SentenceStats, SaysWhichDisplaysStayEmptyAndWhyATalkerIsNotRead)
{
    SentenceStats stats(Talkers::GpsOnly);
    EXPECT_EQ(stats.Missing().size(), 6u);
    stats.Count(SentenceView(kGga), 0);
    stats.Count(SentenceView("$GNGSV,1,1,00*67"), 0);
    const auto missing = stats.Missing();
    EXPECT_EQ(missing.size(), 5u);
    EXPECT_NE(std::find(missing.begin(), missing.end(), "no GSV: satellite columns and Sky tab empty"), missing.end());
    EXPECT_EQ(stats.UseOf(*Find(stats, "GNGSV")), "not read; tick All GNSS and Start again");

    stats.Begin(Talkers::AllSystems);
    EXPECT_TRUE(stats.Rows().empty());
    stats.Count(SentenceView("$GNGSV,1,1,00*67"), 0);
    EXPECT_EQ(stats.Missing().size(), 5u);
}

TEST(SentenceStats, MadeUpIdentifiersAreCappedIntoOneRow)
{
    SentenceStats stats;
    for (int i = 0; i < 200000; ++i) {
        const std::string line = "$X" + std::to_string(i) + ",1*00";
        stats.Count(SentenceView(line), i);
    }
    EXPECT_EQ(stats.Rows().size(), SentenceStats::kMaxRows);
    const auto* other = Find(stats, SentenceStats::kOtherKey);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(other->count, 200000u - (SentenceStats::kMaxRows - 1));
}

} // namespace
} // namespace fixwatch
