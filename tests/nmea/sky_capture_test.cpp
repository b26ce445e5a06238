// The sky model on real receivers' captures: multi-signal u-blox, a Quectel numbering one
// sequence across two signals, BeiDou as BD and as GB, and captures that end mid-sequence.
#include "captures.h"
#include "sky_text.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace fixwatch::test {
namespace {

class SkyCapture : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (Captures().empty())
            GTEST_SKIP() << "no receiver logs at " << FIXWATCH_NMEA_LOGS;
    }

    static Lines FinalSky(const std::string& capture, Talkers talkers = Talkers::AllSystems)
    {
        Sky sky(talkers);
        for (const std::string& line : CaptureLines(Capture(capture)))
            sky.Feed(line);
        return SkyText(sky);
    }

    static Lines Only(const Lines& sky, const std::string& system)
    {
        Lines some;
        std::copy_if(sky.begin(), sky.end(), std::back_inserter(some),
                     [&](const std::string& s) { return s.rfind(system + " ", 0) == 0; });
        return some;
    }
};

// Two signals per system, each its own sequence numbered from 1: one satellite per system and
// number with its strongest signal; Galileo 33 from GA is Galileo, not SBAS.
TEST_F(SkyCapture, UbloxF9pMergesTheSignalsOfEachSatellite)
{
    const Lines sky = FinalSky("ublox-zed-f9p-nmea.nmea");
    EXPECT_EQ(sky.size(), 41u);
    for (const char* satellite : {
             "GPS 5 6 110 18",              // L1 18, L2 empty
             "GPS 10 24 284 33 used",       // L1 33, L2 18
             "GPS 27 16 218 32 used",       // L1 32, L2 29
             "GLONASS 66 58 305 34 used",   // L1 33, L2 34
             "GLONASS 72 9 137 15",         // L1 empty, L2 15
             "Galileo 12 62 237 35 used",   // E1 30, E5b 35
             "Galileo 33 62 34 12 used",
             "BeiDou 22 82 135 14 used",    // B1 14, a sequence with an empty signal ID
         })
        EXPECT_NE(std::find(sky.begin(), sky.end(), satellite), sky.end()) << satellite;
}

// Messages 1 and 2 without signal ID, message 3 with signal 8 listing L1 satellites again
// without position: the position stays, the strongest signal counts.
TEST_F(SkyCapture, QuectelLc79dNumbersOneSequenceAcrossTwoSignals)
{
    const Lines sky = FinalSky("quectelLC79D.nmea");
    EXPECT_EQ(Only(sky, "GPS"), (Lines{"GPS 2 25 260 38 used", "GPS 4 15 92 29 used", "GPS 5 - - 13",
                                       "GPS 6 12 215 44 used", "GPS 7 80 136 44 used", "GPS 9 52 89 34 used",
                                       "GPS 13 - - 28", "GPS 30 55 211 48 used"}));
    EXPECT_EQ(Only(sky, "Galileo"), (Lines{"Galileo 102 28 167 44", "Galileo 103 69 97 36"}));
    EXPECT_EQ(Only(sky, "BeiDou"), Lines{}) << "BD sent one sequence at the start and never again";

    // The other capture: signal 1 in messages 1 to 3, signal 8 in message 4.
    const Lines other = FinalSky("quectelLC79D-1.nmea");
    EXPECT_EQ(Only(other, "GPS").front(), "GPS 1 38 160 39 used") << "L1 33, L5 39";
    EXPECT_EQ(Only(other, "Galileo"), (Lines{"Galileo 103 35 240 43 used", "Galileo 136 20 167 41"}));
}

TEST_F(SkyCapture, BeiDouAsBdAndAsGb)
{
    const Lines bd = Only(FinalSky("beidou-bd.nmea"), "BeiDou");
    EXPECT_EQ(bd.size(), 12u);
    EXPECT_EQ(bd.front(), "BeiDou 1 42 130 45");
    EXPECT_EQ(bd[1], "BeiDou 2 33 240 35 used") << "BDGSA lists 02, 03, 04";

    const Lines gb = Only(FinalSky("beidou-gb.nmea"), "BeiDou");
    EXPECT_EQ(gb.size(), 11u);
    EXPECT_EQ(gb.front(), "BeiDou 201 49 147 44 used") << "GNGSA lists 201";
    EXPECT_EQ(gb.back(), "BeiDou 214 36 147 -");
    EXPECT_EQ(Only(FinalSky("beidou-gb.nmea", Talkers::GpsOnly), "BeiDou"), Lines{}) << "GB is not read by default";
}

// The capture stops after message 1 of 3 of a GLONASS sequence: the last complete one stands.
TEST_F(SkyCapture, ACaptureEndingMidSequenceKeepsTheLastCompleteOne)
{
    const Lines glonass = Only(FinalSky("st-teseo-liv3f.nmea"), "GLONASS");
    EXPECT_EQ(glonass.size(), 10u);
    EXPECT_NE(std::find(glonass.begin(), glonass.end(), "GLONASS 87 40 47 33 used"), glonass.end())
        << "the cut-off message says 32";
    EXPECT_NE(std::find(glonass.begin(), glonass.end(), "GLONASS 72 31 92 33"), glonass.end());

    // The same cut made in another capture: everything after the start of the last Galileo
    // sequence's second message is lost.
    const Lines lines = CaptureLines(Capture("ublox-zed-f9p-nmea.nmea"));
    std::size_t cut = lines.size();
    while (cut > 0 && lines[cut - 1].rfind("$GAGSV,3,2,", 0) != 0)
        --cut;
    ASSERT_GT(cut, 2u);
    Sky before, cutOff;
    for (std::size_t i = 0; i + 2 < cut; ++i) { // up to the line before message 1
        before.Feed(lines[i]);
        cutOff.Feed(lines[i]);
    }
    cutOff.Feed(lines[cut - 2]);
    cutOff.Feed(lines[cut - 1]);
    EXPECT_EQ(SkyText(cutOff), SkyText(before));
}

// Whatever a capture holds, the sky is ordered, each satellite once, its values in range,
// and Feed says exactly when it changed.
TEST_F(SkyCapture, EveryCaptureGivesAWellFormedSky)
{
    std::size_t withSatellites = 0;
    for (const auto& file : Captures()) {
        for (Talkers talkers : {Talkers::GpsOnly, Talkers::AllSystems}) {
            Sky sky(talkers);
            std::vector<SkySatellite> last;
            for (const std::string& line : CaptureLines(file)) {
                const bool changed = sky.Feed(line);
                ASSERT_EQ(changed, sky.Satellites() != last) << file.filename() << ": " << line;
                last = sky.Satellites();
            }
            const auto& s = sky.Satellites();
            for (std::size_t i = 0; i < s.size(); ++i) {
                EXPECT_TRUE(!s[i].elevation || (*s[i].elevation >= 0 && *s[i].elevation <= 90)) << file.filename();
                EXPECT_TRUE(!s[i].azimuth || (*s[i].azimuth >= 0 && *s[i].azimuth <= 359)) << file.filename();
                EXPECT_TRUE(!s[i].signal || (*s[i].signal >= 0 && *s[i].signal <= 99)) << file.filename();
                if (talkers == Talkers::GpsOnly) {
                    EXPECT_TRUE(s[i].system != GnssSystem::Galileo || s[i].number > 300) << file.filename();
                }
                if (i > 0) {
                    EXPECT_TRUE(s[i - 1].system < s[i].system ||
                                (s[i - 1].system == s[i].system && s[i - 1].number < s[i].number))
                        << file.filename() << ": " << SatelliteText(s[i - 1]) << " then " << SatelliteText(s[i]);
                }
            }
            withSatellites += s.empty() ? 0 : 1;
        }
    }
    EXPECT_GT(withSatellites, 150u);
}

} // namespace
} // namespace fixwatch::test
