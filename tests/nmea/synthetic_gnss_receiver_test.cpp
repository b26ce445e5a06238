// The made-up 10 Hz four-system receiver that the all-systems benchmarks replay.
#include "nmea_test.h"

#include "synthetic_gnss_receiver.h"

#include <gtest/gtest.h>

#include <set>

namespace fixwatch::test {
namespace {

TEST(SyntheticGnssReceiver, FillsButFitsA115200BaudLineWithValidSentences)
{
    SyntheticGnssReceiver receiver;
    const NmeaInterpreter allSystems(Talkers::AllSystems);
    std::size_t busiestSecond = 0;
    for (int second = 0; second < 900; ++second) {
        std::size_t characters = 0;
        for (int tick = 0; tick < SyntheticGnssReceiver::kTicksPerSecond; ++tick) {
            std::size_t tickCharacters = 0;
            for (const std::string& sentence : receiver.NextTick()) {
                ASSERT_TRUE(sentence.ends_with("\r\n")) << sentence;
                ASSERT_TRUE(allSystems.Parse(sentence.substr(0, sentence.size() - 2))) << sentence;
                tickCharacters += sentence.size();
            }
            EXPECT_LE(tickCharacters, SyntheticGnssReceiver::kMaxCharactersPerTick) << "second " << second;
            characters += tickCharacters;
        }
        busiestSecond = std::max(busiestSecond, characters);
    }
    EXPECT_LE(busiestSecond, 11'000u);
    EXPECT_GE(busiestSecond, 9'000u) << "near the line's capacity, as a benchmark should be";
}

TEST(SyntheticGnssReceiver, ShowsFourSystemsWhoseRisingSatellitesComeAndGo)
{
    SyntheticGnssReceiver receiver;
    Sky sky;
    auto runSeconds = [&](int seconds) {
        for (int tick = 0; tick < seconds * SyntheticGnssReceiver::kTicksPerSecond; ++tick)
            for (const std::string& sentence : receiver.NextTick())
                sky.Feed(sentence.substr(0, sentence.size() - 2));
        std::set<std::string_view> systems;
        int used = 0;
        for (const SkySatellite& s : sky.Satellites()) {
            systems.insert(SystemName(s.system));
            used += s.used;
            EXPECT_TRUE(s.elevation && s.azimuth && s.signal) << SatelliteText(s);
        }
        EXPECT_EQ(systems, (std::set<std::string_view>{"GPS", "GLONASS", "Galileo", "BeiDou"}));
        EXPECT_GT(used, 12) << "more than one GSA's worth";
        return sky.Satellites().size();
    };
    EXPECT_EQ(runSeconds(1), 31u) << "every satellite in view at the start";
    EXPECT_EQ(runSeconds(300), 27u) << "one satellite of each system has set";
    EXPECT_EQ(runSeconds(300), 31u) << "and risen again";
}

} // namespace
} // namespace fixwatch::test
