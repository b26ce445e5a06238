// The sky model: numbering, sequences, signals, GSA and hostile input on made-up sentences, then
// real receivers' captures.
#include "nmea_test.h"
#include "talkers.h"

#include <gtest/gtest.h>

namespace fixwatch::test {
namespace {

struct Row {
    const char* legend;
    Lines bodies;
    Lines sky;
};

void ExpectRows(const std::vector<Row>& rows)
{
    for (const Row& row : rows)
        EXPECT_EQ(SkyOf(row.bodies), row.sky) << row.legend;
}

// A 3D GSA of `talker` listing `used` (comma-separated) in its twelve channels, then `rest`.
std::string Gsa(const std::string& talker, const std::string& used, const std::string& rest = "")
{
    const auto listed = used.empty() ? 0 : std::ranges::count(used, ',') + 1;
    return "$" + talker + "GSA,A,3," + used + std::string(13 - listed, ',') + "1.0,0.6,0.8" + rest;
}

TEST(Sky, SystemFollowsTheTalkerOrForGpAndGnTheNumber)
{
    // Talker, number, system; nullptr: no system, the satellite is passed over.
    // clang-format off
    const std::tuple<const char*, int, const char*> ranges[] = {
        {"GP", 1, "GPS"},       {"GP", 32, "GPS"},      {"GP", 33, "SBAS"},     {"GN", 64, "SBAS"},
        {"GP", 65, "GLONASS"},  {"GN", 96, "GLONASS"},  {"GP", 97, nullptr},    {"GP", 119, nullptr},
        {"GP", 120, "SBAS"},    {"GN", 158, "SBAS"},    {"GP", 159, nullptr},   {"GP", 173, nullptr},
        {"GP", 192, nullptr},   {"GP", 193, "QZSS"},    {"GN", 199, "QZSS"},    {"GP", 200, nullptr},
        {"GN", 201, "BeiDou"},  {"GP", 237, "BeiDou"},  {"GN", 238, nullptr},   {"GP", 300, nullptr},
        {"GN", 301, "Galileo"}, {"GP", 336, "Galileo"}, {"GN", 337, nullptr},   {"GP", 400, nullptr},
        {"GN", 401, "BeiDou"},  {"GP", 437, "BeiDou"},  {"GN", 438, nullptr},   {"GP", 999, nullptr},
        {"GL", 5, "GLONASS"},   {"GL", 65, "GLONASS"},  {"GA", 33, "Galileo"},  {"GA", 103, "Galileo"},
        {"GB", 1, "BeiDou"},    {"GB", 201, "BeiDou"},  {"BD", 219, "BeiDou"},  {"GQ", 2, "QZSS"},
        {"QZ", 193, "QZSS"},    {"GI", 3, "NavIC"},     {"GL", 0, nullptr},     {"GA", 1000, nullptr},
    };
    // clang-format on
    for (const auto& [talker, n, system] : ranges) {
        const std::string number = std::to_string(n);
        const Lines expected = system ? Lines{system + (" " + number) + " 45 180 40"} : Lines{};
        EXPECT_EQ(SkyOf({"$" + std::string(talker) + "GSV,1,1,01," + number + ",45,180,40"}), expected)
            << talker << " " << number;
    }
}

TEST(Sky, ACompleteSequenceCountsACutOffOneChangesNothing)
{
    const std::string m1 = "$GPGSV,2,1,05,01,10,100,31,02,20,200,32,03,30,300,33,04,40,040,34";
    const std::string m2 = "$GPGSV,2,2,05,05,50,050,35";
    const Lines first{"GPS 1 10 100 31", "GPS 2 20 200 32", "GPS 3 30 300 33", "GPS 4 40 40 34",
                      "GPS 5 50 50 35"};
    const std::string six = "$GPGSV,2,1,05,06,10,100,31";
    // clang-format off
    ExpectRows({
        {"messages 1 and 2 of 2", {m1, m2}, first},
        {"message 1 alone is not yet a sequence", {m1}, {}},
        {"input ends in the middle of the next sequence", {m1, m2, "$GPGSV,2,1,02,07,10,100,31"}, first},
        {"the next sequence misses its message 1", {m1, m2, "$GPGSV,2,2,05,09,50,050,35"}, first},
        {"message 2 arrives twice before message 3",
         {m1, m2, "$GPGSV,3,1,09,06,10,100,31", "$GPGSV,3,2,09,07,10,100,31", "$GPGSV,3,2,09,07,10,100,31",
          "$GPGSV,3,3,09,08,10,100,31"},
         first},
        {"the message count changes within a sequence", {m1, m2, six, "$GPGSV,3,2,05,07,10,100,31"}, first},
        {"a damaged line in the middle cuts it off", {m1, m2, six, "$GPGSV,2,2,02,07,10,100"}, first},
        {"the next complete sequence replaces the first", {m1, m2, "$GPGSV,1,1,02,02,21,201,30,06,60,060,36"},
         {"GPS 2 21 201 30", "GPS 6 60 60 36"}},
        {"an empty sequence empties its talker only", {m1, m2, "$GLGSV,1,1,01,65,10,100,31", "$GPGSV,1,1,00"},
         {"GLONASS 65 10 100 31"}},
        {"a sequence changes only its own systems, the others keep their place",
         {"$GPGSV,1,1,02,05,20,200,32,193,30,300,33", "$GLGSV,1,1,01,65,10,100,31", "$GBGSV,1,1,01,08,40,040,34",
          "$GLGSV,1,1,01,66,11,101,30", "$GPGSV,1,1,02,06,21,201,35,194,31,301,36"},
         {"GPS 6 21 201 35", "GLONASS 66 11 101 30", "BeiDou 8 40 40 34", "QZSS 194 31 301 36"}},
        {"empty blocks padding the message are no satellites", {"$GPGSV,1,1,01,36,19,156,51,,,,,,,,,,,,,1"},
         {"SBAS 36 19 156 51"}},
        {"values out of range are empty", {"$GPGSV,1,1,01,07,91,360,100"}, {"GPS 7 - - -"}},
        {"a message number beyond the count is passed over", {"$GPGSV,1,2,01,07,10,100,31"}, {}},
        {"more than 32 messages is not a sequence", {"$GPGSV,33,1,01,07,10,100,31"}, {}},
        {"a field count that is neither 3 + 4n nor 3 + 4n + 1", {"$GPGSV,1,1,02,2,40,16,00,090,"}, {}},
    });
    // clang-format on
}

TEST(Sky, SignalsOfOneSatelliteMergeAndReplaceOnlyTheirOwnListing)
{
    const std::string l1 = "$GPGSV,1,1,02,05,06,110,19,10,24,284,34,1";
    const std::string l2 = "$GPGSV,1,1,02,05,06,110,,10,24,284,27,6";
    const std::string l5[] = {"$GPGSV,2,1,05,06,12,215,45,07,80,137,44,09,53,089,27,30,55,211,49",
                              "$GPGSV,2,2,05,06,,,40,31,,,20,8"};
    const std::string gps30 = "$GPGSV,1,1,01,30,10,100,25,6";
    const Lines l1Sky{"GPS 5 6 110 19", "GPS 10 24 284 34"};
    const auto plus = [](Lines lines, const std::string& more) { lines.push_back(more); return lines; };
    const Lines l5Sky{"GPS 6 12 215 45", "GPS 7 80 137 44", "GPS 9 53 89 27", "GPS 30 55 211 49"};
    // clang-format off
    ExpectRows({
        {"a later L2 sequence without a satellite leaves its L1 listing",
         {l1, l2, "$GPGSV,1,1,01,05,06,110,20,6"}, {"GPS 5 6 110 20", l1Sky[1]}},
        {"an empty position on L2 keeps L1's", {l1, "$GPGSV,1,1,01,05,,,40,6"}, {"GPS 5 6 110 40", l1Sky[1]}},
        {"the latest position wins", {l1, "$GPGSV,1,1,01,05,07,111,,6"}, {"GPS 5 7 111 19", l1Sky[1]}},
        {"a signal no longer sent while another went twice round is dropped", {l1, gps30, l1, l1, l1}, l1Sky},
        {"a signal missing for one round only stays", {l1, gps30, l1, l1}, plus(l1Sky, "GPS 30 10 100 25")},
        {"a signal sent every round stays", {l1, gps30, l1, gps30, l1}, plus(l1Sky, "GPS 30 10 100 25")},
        {"a talker no longer sent while another went twice round is dropped",
         {l1, "$BDGSV,1,1,01,219,,,47", l1, l1, l1}, l1Sky},
        {"a cut-off sequence still shows its signal is sent",
         {l1, gps30, l1, "$GPGSV,2,1,02,30,10,100,26,6", l1, l1}, plus(l1Sky, "GPS 30 10 100 25")},
        {"one numbering across L1 and L5, message 2 with a signal ID", {l5[0], l5[1]},
         plus(l5Sky, "GPS 31 - - 20")},
        {"the next such sequence without L5 replaces the whole talker",
         {l5[0], l5[1], "$GPGSV,1,1,04,06,12,215,45,07,80,137,44,09,53,089,27,30,55,211,49"}, l5Sky},
    });
    // clang-format on
}

TEST(Sky, GsaMarksTheSatellitesUsed)
{
    const std::string gps = "$GPGSV,1,1,02,05,06,110,19,10,24,284,34";
    const std::string glonass = "$GLGSV,1,1,02,65,53,144,30,82,13,214,33";
    const std::string beidou = "$BDGSV,1,1,02,08,09,030,39,11,40,081,42";
    const std::string gps5 = "GPS 5 6 110 19", gps10 = "GPS 10 24 284 34", glo65 = "GLONASS 65 53 144 30",
                      glo82 = "GLONASS 82 13 214 33", bd8 = "BeiDou 8 9 30 39", bd11 = "BeiDou 11 40 81 42";
    const std::string used = " used";
    // clang-format off
    ExpectRows({
        {"GSA with system IDs, GLONASS numbered 65-96",
         {gps, glonass, Gsa("GN", "10", ",1"), Gsa("GN", "82", ",2")},
         {gps5, gps10 + used, glo65, glo82 + used}},
        {"a system ID GSA with BeiDou numbered 201-263 matches BD 01-63",
         {beidou, "$GNGSA,A,2,208,,,,,,,,,,,,1.6,1.3,0.9,4"}, {bd8 + used, bd11}},
        {"consecutive GNGSA without system ID add up", {gps, glonass, Gsa("GN", "05,10"), Gsa("GN", "65")},
         {gps5 + used, gps10 + used, glo65 + used, glo82}},
        {"a new run of GNGSA replaces the last",
         {gps, glonass, Gsa("GN", "05,10"), Gsa("GN", "65"), gps, Gsa("GN", "05")},
         {gps5 + used, gps10, glo65, glo82}},
        {"GSA of two talkers each keep their own", {gps, beidou, Gsa("GP", "05"), Gsa("BD", "11")},
         {gps5 + used, gps10, bd8, bd11 + used}},
        {"a fourth DOP in field 18 is not a system ID", {gps, beidou, Gsa("BD", "08", ",1.2")},
         {gps5, gps10, bd8 + used, bd11}},
        {"no fix: nothing is used any more",
         {gps, Gsa("GN", "05,10", ",1"), "$GPGSA,A,1,,,,,,,,,,,,,99.9,99.9,99.9"}, {gps5, gps10}},
        {"a GSA talker no longer sent while another went twice round is forgotten",
         {gps, Gsa("GN", "05"), gps, Gsa("GP", "10"), gps, Gsa("GP", "10"), gps, Gsa("GP", "10")},
         {gps5, gps10 + used}},
        {"a GSA talker missing for one round stays",
         {gps, Gsa("GN", "05"), gps, Gsa("GP", "10"), gps, Gsa("GP", "10")}, {gps5 + used, gps10 + used}},
        {"more than twelve used: a second GSA of one system adds to the first",
         {gps, glonass, Gsa("GN", "05", ",1"), Gsa("GN", "10", ",1"), Gsa("GN", "82", ",2")},
         {gps5 + used, gps10 + used, glo65, glo82 + used}},
        {"the next epoch's GSA of that system replaces both",
         {gps, Gsa("GN", "05", ",1"), Gsa("GN", "10", ",1"), "$GNGGA,123520", Gsa("GN", "10", ",1")},
         {gps5, gps10 + used}},
        {"the systems' sequence starting again replaces",
         {gps, glonass, Gsa("GN", "05", ",1"), Gsa("GN", "82", ",2"), Gsa("GN", "10", ",1")},
         {gps5, gps10 + used, glo65, glo82 + used}},
        {"a used satellite not in view adds nothing", {Gsa("GN", "05", ",1")}, {}},
        {"an unknown system ID is passed over", {gps, Gsa("GN", "05", ",7")}, {gps5, gps10}},
    });
    // clang-format on
}

// That Feed says exactly when the sky changed is checked on every capture below.
TEST(Sky, ReadsOnlyMatchingChecksumsAndTheChosenTalkersAndClearForgetsEverything)
{
    Sky sky;
    for (const std::string& line :
         {std::string("$GPGSV,1,1,01,05,06,110,19*00"), Sealed("$GPGSV,1,1,01,05,06,110,19") + "\r",
          Sealed("$PQGSV,1,1,01,05,06,110,19"), Sealed("$GPGGA,1,1,01,05,06,110,19"), std::string()})
        EXPECT_FALSE(sky.Feed(line)) << line;
    EXPECT_TRUE(sky.Satellites().empty());

    const Lines mixed{"$GPGSV,1,1,01,05,06,110,19", "$GLGSV,1,1,01,65,53,144,30", Gsa("GN", "05,65"),
                      Gsa("GP", "05")};
    EXPECT_EQ(SkyOf(mixed, Talkers::GpsOnly), (Lines{"GPS 5 6 110 19 used"}));

    for (const char* body : {"$GPGSV,1,1,01,05,06,110,19,1", "$GPGSV,1,1,01,05,06,110,30,6",
                             "$GPGSA,A,3,05,,,,,,,,,,,,1,1,1"})
        sky.Feed(Sealed(body));
    ASSERT_EQ(SkyText(sky), (Lines{"GPS 5 6 110 30 used"}));
    sky.Clear();
    EXPECT_TRUE(sky.Satellites().empty());
    EXPECT_TRUE(sky.Feed(Sealed("$GPGSV,1,1,01,05,06,110,20,1")));
    EXPECT_EQ(SkyText(sky), (Lines{"GPS 5 6 110 20"})) << "the other signal and the GSA are forgotten too";
}

TEST(Sky, MemoryStaysBoundedWhateverArrives)
{
    // Four new satellites per message, 32 messages, 16 signals, every talker: far more than any sky.
    Sky sky;
    for (int round = 0; round < 3; ++round)
        for (std::string_view talker : kGnssTalkers)
            for (int signal = 0; signal < 16; ++signal)
                for (int message = 1; message <= 32; ++message) {
                    std::string gsv = "$" + std::string(talker) + "GSV,32," + std::to_string(message) + ",99";
                    for (int block = 0; block < 4; ++block)
                        gsv += "," + std::to_string(1 + (round * 131 + message * 4 + block) % 437) + ",1,2,3";
                    sky.Feed(Sealed(gsv + "," + "0123456789ABCDEF"[signal]));
                }
    EXPECT_LE(sky.Satellites().size(), 9 * Sky::kMaxListed);
    EXPECT_GT(sky.Satellites().size(), 100u);
}

// On real receivers' captures.
class SkyCapture : public ::testing::Test {
protected:
    void SetUp() override { FIXWATCH_NEED_CAPTURES(); }

    // The final sky of a capture, only the satellites of `system` when one is given.
    static Lines FinalSky(const std::string& capture, const std::string& system = "",
                          Talkers talkers = Talkers::AllSystems)
    {
        Lines some = SkyText(SkyFed(CaptureLines(capture), false, talkers));
        std::erase_if(some, [&](const std::string& s) { return !s.starts_with(system.empty() ? "" : system + " "); });
        return some;
    }

    static bool Has(const Lines& sky, const std::string& s) { return std::ranges::find(sky, s) != sky.end(); }
};

TEST_F(SkyCapture, BeiDouAsBdAndAsGb)
{
    const Lines bd = FinalSky("beidou-bd.nmea", "BeiDou");
    ASSERT_EQ(bd.size(), 12u);
    EXPECT_EQ(bd[0], "BeiDou 1 42 130 45");
    EXPECT_EQ(bd[1], "BeiDou 2 33 240 35 used") << "BDGSA lists 02, 03, 04";

    const Lines gb = FinalSky("beidou-gb.nmea", "BeiDou");
    ASSERT_EQ(gb.size(), 11u);
    EXPECT_EQ(gb.front(), "BeiDou 201 49 147 44 used") << "GNGSA lists 201";
    EXPECT_EQ(gb.back(), "BeiDou 214 36 147 -");
}

TEST_F(SkyCapture, ACaptureEndingMidSequenceKeepsTheLastCompleteOne)
{
    // The capture stops after message 1 of 3 of a GLONASS sequence, which says GLONASS 87 has 32.
    const Lines glonass = FinalSky("st-teseo-liv3f.nmea", "GLONASS");
    EXPECT_EQ(glonass.size(), 10u);
    EXPECT_TRUE(Has(glonass, "GLONASS 87 40 47 33 used"));
    EXPECT_TRUE(Has(glonass, "GLONASS 72 31 92 33"));
}

// Whatever a capture holds, the sky is ordered, each satellite once, its values in range,
// and Feed says exactly when it changed.
TEST_F(SkyCapture, EveryCaptureGivesAWellFormedSky)
{
    const auto in = [](std::optional<int> v, int high) { return !v || (*v >= 0 && *v <= high); };
    const auto key = [](const SkySatellite& x) { return std::pair(x.system, x.number); };
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
            for (std::size_t i = 0; i < last.size(); ++i) {
                const SkySatellite& s = last[i];
                EXPECT_TRUE(in(s.elevation, 90) && in(s.azimuth, 359) && in(s.signal, 99)
                            && (talkers == Talkers::AllSystems || s.system != GnssSystem::Galileo || s.number > 300)
                            && (i == 0 || key(last[i - 1]) < key(s)))
                    << file.filename() << ": " << (i ? SatelliteText(last[i - 1]) + " then " : "")
                    << SatelliteText(s);
            }
            withSatellites += !last.empty();
        }
    }
    EXPECT_GT(withSatellites, 150u);
}

} // namespace
} // namespace fixwatch::test
