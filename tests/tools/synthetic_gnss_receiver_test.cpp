// The made-up 10 Hz four-system receiver that the all-systems benchmarks replay.
#include "nmea_test.h"

#include "synthetic_gnss_receiver.h"

#include <gtest/gtest.h>

#include <set>

namespace fixwatch::test {
namespace {

// Valid sentences that fill a 115200 baud line without overflowing it, and four systems whose
// rising satellites come and go.
TEST(SyntheticGnssReceiver, FillsButFitsTheLineAndShowsFourSystemsWhoseSatellitesSetAndRise)
{
    SyntheticGnssReceiver receiver;
    const NmeaInterpreter allSystems(Talkers::AllSystems);
    Sky sky;
    std::size_t busiestSecond = 0;
    std::vector<std::size_t> inView; // after 1, 301 and 601 seconds
    for (int second = 0; second < 601; ++second) {
        std::size_t characters = 0;
        for (int tick = 0; tick < SyntheticGnssReceiver::kTicksPerSecond; ++tick) {
            std::size_t tickCharacters = 0;
            for (const std::string& sentence : receiver.NextTick()) {
                const std::string line = sentence.substr(0, sentence.size() - 2);
                ASSERT_TRUE(sentence.ends_with("\r\n") && allSystems.Parse(line)) << sentence;
                sky.Feed(line);
                tickCharacters += sentence.size();
            }
            EXPECT_LE(tickCharacters, SyntheticGnssReceiver::kMaxCharactersPerTick) << "second " << second;
            characters += tickCharacters;
        }
        busiestSecond = std::max(busiestSecond, characters);
        if (second % 300 != 0)
            continue;
        std::set<std::string_view> systems;
        int used = 0;
        for (const SkySatellite& s : sky.Satellites()) {
            systems.insert(SystemName(s.system));
            used += s.used;
            EXPECT_TRUE(s.elevation && s.azimuth && s.signal) << SatelliteText(s);
        }
        EXPECT_EQ(systems, (std::set<std::string_view>{"GPS", "GLONASS", "Galileo", "BeiDou"}));
        EXPECT_GT(used, 12) << "more than one GSA's worth";
        inView.push_back(sky.Satellites().size());
    }
    EXPECT_LE(busiestSecond, 11'000u);
    EXPECT_GE(busiestSecond, 9'000u) << "near the line's capacity, as a benchmark should be";
    EXPECT_EQ(inView, (std::vector<std::size_t>{31, 27, 31})) << "one of each system sets and rises again";
}

} // namespace
} // namespace fixwatch::test
