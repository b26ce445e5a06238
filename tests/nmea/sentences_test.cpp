// The checksum rule and the sentence check that guard every handler, the six sentences field by
// field, the number conversions and the wording of times, dates and positions.
#include "nmea_test.h"
#include "number_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

namespace fixwatch::test {
namespace {

const std::string kGga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47";

TEST(GetChecksum, XorsTheCharactersAfterEveryDollarUpToTheFirstStarInUpperCaseHex)
{
    // clang-format off
    const std::pair<std::string, std::string> rows[] = {
        {"abc", "60"},        {kGga, "47"},       {"0:", "0A"},         {"\xFF", "FF"},
        {"", "00"},           {"$", "00"},        {"$*", "00"},         {"*abc", "00"},
        {"abc*def*12", "60"}, {"$abc", "60"},     {"$$GPGGA$", "56"},   {"GP$GGA,1", "4B"},
    };
    // clang-format on
    const NmeaInterpreter gps;
    for (const auto& [text, sum] : rows)
        EXPECT_EQ(gps.GetChecksum(text), sum) << '"' << text << '"';
}

TEST(SentenceCheck, AcceptsOnlyTheSixIdentifiersWithAMatchingChecksumAndRejectsWithoutRaisingAnything)
{
    for (const char* id : {"$GPGGA", "$GPGLL", "$GPGSA", "$GPGSV", "$GPRMC", "$GPVTG"})
        EXPECT_TRUE(Interpret(Sealed(id)).accepted) << id;
    EXPECT_EQ(Interpret("$GPGGA*56").events, Lines{}) << "an identifier alone raises nothing";
    // Wrong checksums, other sentences and proprietary ones are refused on the captures.
    // clang-format off
    const std::pair<const char*, std::string> cases[] = {
        {"trailing CR LF", kGga + "\r\n"}, {"trailing blank", kGga + " "}, {"leading blank", " " + kGga},
        {"lower-case identifier", Sealed("$gpgga,123519")}, {"no dollar", Sealed("GPGGA,123519")},
        {"empty line", ""},
    };
    // clang-format on
    for (const auto& [legend, sentence] : cases) {
        const Transcript t = Interpret(sentence);
        EXPECT_FALSE(t.accepted) << legend;
        EXPECT_TRUE(t.events.empty()) << legend;
    }
}

TEST(SentenceCheck, SentenceWithoutStarIsAcceptedWhenItsLastTwoCharactersMatchAndStillLosesThree)
{
    // "$GPGGA,123519" + "3" + "40" sums to 40: "340" stands where "*" and the checksum would.
    ASSERT_EQ(NmeaInterpreter().GetChecksum("$GPGGA,123519340"), "40");
    const Transcript t = Interpret("$GPGGA,123519340");
    EXPECT_TRUE(t.accepted);
    EXPECT_EQ(t.events, (Lines{"TimeChangedExtendex\t12:35:19 GMT", "TimeChanged\t12:35:19"}));
}

// Each row's body, sealed, raises exactly its events.
struct Row {
    const char* legend;
    const char* body;
    Lines events;
};

void ExpectRows(const std::vector<Row>& rows)
{
    for (const Row& row : rows)
        EXPECT_EQ(Events(Sealed(row.body)), row.events) << row.legend;
}

// "SatelliteReceived" for the satellite in GSV position `at`: number, azimuth, elevation, signal.
std::string Sv(int at, int number, int azimuth, int elevation, int signal)
{
    std::string text = "SatelliteReceived";
    for (int value : {at, number, azimuth, elevation, signal})
        text += "\t" + std::to_string(value);
    return text;
}

// `before`, then "ChNNSatReceived\tS" for each channel given (-1: the channel raises nothing),
// then `after`.
Lines GsaEvents(Lines before, std::initializer_list<int> channels, const Lines& after = {})
{
    for (int channel = 0; int satellite : channels) {
        char line[32];
        std::snprintf(line, sizeof line, "Ch%02dSatReceived\t%d", ++channel, satellite);
        if (satellite >= 0)
            before.push_back(line);
    }
    before.insert(before.end(), after.begin(), after.end());
    return before;
}

const std::initializer_list<int> kNoChannels = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};

TEST(Gga, EachFieldIsRaisedOnlyWhenPresentAndReadableAndOnlyQualities1To3AreValid)
{
    // clang-format off
    ExpectRows({
        {"differential fields; age 2.5 rounds half to even", "$GPGGA,,,,,,2,,,,,,,2.5,0120",
         {"PositionFixReceived\tValid DGPS", "DGPSageReceived\t2", "DGPSstationIDReceived\t0120"}},
        {"empty hemisphere suppresses the position only", "$GPGGA,123519,4807.038,,01131.000,E,1",
         {"TimeChangedExtendex\t12:35:19 GMT", "TimeChanged\t12:35:19", "PositionFixReceived\tValid SPS"}},
        {"empty east-west", "$GPGGA,,4807.038,N,01131.000,", {}},
        {"ending after the position", "$GPGGA,123519,4807.038,N,01131.000,E",
         {"TimeChangedExtendex\t12:35:19 GMT", "TimeChanged\t12:35:19",
          "PositionReceived\t048° 07.038' N\t011° 31.000' E"}},
        {"empty unit drops the unit event but not the value", "$GPGGA,,,,,,,,,545.4,,46.9,,,",
         {"AltitudeReceived\t545.4", "GeoidSeparationReceived\t46.9"}},
        {"numbers read their leading number", "$GPGGA,,,,,,,,1.2x,-12.5,ft",
         {"HDOPReceived\t1.2", "AltitudeReceived\t-12.5", "AltitudeUnitsReceived\tft"}},
        {"integer that is not a number", "$GPGGA,,,,,,,ab,0.9", {"HDOPReceived\t0.9"}},
        {"integer out of range", "$GPGGA,,,,,,,,,,,,,40000,ABCD", {"DGPSstationIDReceived\tABCD"}},
        {"fields beyond the station are ignored", "$GPGGA,,,,,,,,,,,,,,0001,extra,99",
         {"DGPSstationIDReceived\t0001"}},
    });
    const std::pair<std::string, std::string> words[] = {
        {"3", "Valid PPS"}, {"01", "Invalid"}, {"x", "Invalid"}, // 0, 1, 2 and 6 on the captures
    };
    // clang-format on
    for (const auto& [field, word] : words)
        EXPECT_EQ(Events(Sealed("$GPGGA,,,,,," + field)), Lines{"PositionFixReceived\t" + word}) << field;
}

TEST(RmcGllVtgGsa, StatusModeUnitAndChannelFieldsGateOnlyTheirOwnEvents)
{
    // clang-format off
    ExpectRows({
        {"void RMC ending early", "$GPRMC,235947,V",
         {"TimeChangedExtendex\t23:59:47 GMT", "TimeChanged\t23:59:47", "FixLost"}},
        {"unknown RMC status: neither fix event", "$GPRMC,,a", {}},
        {"RMC status of two letters", "$GPRMC,,AV", {}},
        {"GLL status is case-sensitive", "$GPGLL,,,,,225444.5,a",
         {"TimeChangedExtendex\t22:54:44.5 GMT", "TimeChanged\t22:54:44"}},
        {"VTG rows without a unit are skipped", "$GPVTG,054.7,,034.4,M,005.5,,010.2,",
         {"MagneticTrack\t034.4 M"}},
        {"VTG rows missing", "$GPVTG,054.7,T", {"TrueTrack\t054.7 T"}},
        {"VTG unit letters are not checked", "$GPVTG,1,x,2,yz,abc,N,20,K,A",
         {"TrueTrack\t1 x", "MagneticTrack\t2 yz", "SpeedReceivedKnots\t0", "SpeedReceivedKnotsFull\tabc N",
          "SpeedReceivedKmh\t20", "SpeedReceivedKmhFull\t20 K"}},
        {"GSA without mode", "$GPGSA,,1", {"Mode3DReceived\tNo Fix"}},
        {"GSA manual 2D", "$GPGSA,M,2", {"AutoManModeReceived\tForced 2D/3D", "Mode3DReceived\t2D"}},
        {"GSA lower-case mode, unknown fix type", "$GPGSA,a,x", {"AutoManModeReceived\tUnknown", "Mode3DReceived\tNo Fix"}},
        {"GSA channels 7 to 12 missing", "$GPGSA,A,3,01,02,03,04,05,06",
         GsaEvents({"AutoManModeReceived\tAuto 2D/3D", "Mode3DReceived\t3D"}, {1, 2, 3, 4, 5, 6})},
        {"GSA empty DOPs raise nothing", "$GPGSA,,,1,,,,,,,,,,,,,1.5",
         GsaEvents({}, {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {"HDOPReceived\t1.5"})},
        {"GSA unconvertible channels raise nothing", "$GPGSA,,,01,x,03,99999,,,,,,,,",
         GsaEvents({}, {1, -1, 3, -1, 0, 0, 0, 0, 0, 0, 0, 0})},
        {"GSA DOPs read their leading number, extra fields are ignored", "$GPGSA,,,,,,,,,,,,,,,x,1.3m,2.1,9.9,1",
         GsaEvents({}, kNoChannels, {"PDOPReceived\t0", "HDOPReceived\t1.3", "VDOPReceived\t2.1"})},
    });
    // clang-format on
}

TEST(Gsv, BlocksAreNumberedAcrossTheGroupAndIncompleteOnesSkipped)
{
    const auto inView = [](int n) { return "SatellitesInViewReceived\t" + std::to_string(n); };
    // clang-format off
    ExpectRows({
        {"incomplete trailing block is ignored", "$GPGSV,1,1,02,22,42,067,42,24,14,311",
         {inView(2), Sv(1, 22, 67, 42, 42)}},
        {"at most four blocks, a zero signal kept", "$GPGSV,1,1,05,1,0,0,00,2,0,0,0,3,0,0,0,4,0,0,0,5,0,0,0",
         {inView(5), Sv(1, 1, 0, 0, 0), Sv(2, 2, 0, 0, 0), Sv(3, 3, 0, 0, 0), Sv(4, 4, 0, 0, 0)}},
        {"empty in-view field raises nothing", "$GPGSV,1,1,,22,42,067,42", {Sv(1, 22, 67, 42, 42)}},
        {"missing in-view field is raised with the starting value", "$GPGSV,1,1", {inView(0)}},
        {"unconvertible in-view field too", "$GPGSV,1,1,x", {inView(0)}},
        {"unusable message number gives position 0", "$GPGSV,1,x,02,22,42,067,42,24,14,311,43",
         {inView(2), Sv(0, 22, 67, 42, 42), Sv(0, 24, 311, 14, 43)}},
        {"an unconvertible block value keeps the last one", "$GPGSV,2,1,08,x,y,z,w,16,57,208,39,?,60,!,41",
         {inView(8), Sv(1, 0, 0, 0, 0), Sv(2, 16, 208, 57, 39), Sv(3, 16, 208, 60, 41)}},
        {"16-bit position: 8191 * 4 + 4 overflows, the fourth block keeps the third's",
         "$GPGSV,9,8192,16,1,1,1,1,2,2,2,2,3,3,3,3,4,4,4,4",
         {inView(16), Sv(32765, 1, 1, 1, 1), Sv(32766, 2, 2, 2, 2), Sv(32767, 3, 3, 3, 3),
          Sv(32767, 4, 4, 4, 4)}},
        {"16-bit position: 8192 * 4 overflows, position 0", "$GPGSV,9,8193,16,1,1,1,1",
         {inView(16), Sv(0, 1, 1, 1, 1)}},
    });
    // clang-format on
}

TEST(LeadingNumber, ReadsTheLongestLeadingDecimalNumberAndSaturates)
{
    // clang-format off
    const std::pair<const char*, double> cases[] = {
        {"545.4", 545.4}, {"0.9", 0.9},   {"-12.5", -12.5}, {"+3", 3},      {"1.2x", 1.2},
        {"", 0},          {"x", 0},       {"-", 0},         {".5", 0.5},    {"7.", 7},
        {"1.5.6", 1.5},   {"1,5", 1},     {"1E3", 1000},    {"2.5E-1", 0.25}, {"1E", 1},
        {"1E+", 1},       {" 1 2.5", 12.5}, {"\t-\n4", -4}, {"08", 8},      {"1E-999", 0},
    };
    // clang-format on
    for (auto [text, value] : cases)
        EXPECT_DOUBLE_EQ(LeadingNumber(text), value) << '"' << text << '"';
    EXPECT_TRUE(std::isinf(LeadingNumber("1E999")));
}

TEST(LeadingNumber, IgnoresTheProcessLocale)
{
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        GTEST_SKIP() << "no German locale on this machine";
    EXPECT_DOUBLE_EQ(LeadingNumber("4807.038"), 4807.038);
    EXPECT_EQ(ToInteger("2.5"), 2);
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(ToInteger, RoundsHalvesToEvenAndChecksTheRange)
{
    // clang-format off
    const std::pair<const char*, std::optional<std::int16_t>> cases[] = {
        {"08", 8},          {"2.5", 2},          {"3.5", 4},          {"-2.5", -2},
        {" 12 ", 12},       {"\t7", 7},          {"32767", 32767},    {"-32768", -32768},
        {"32767.4", 32767}, {"32767.5", {}},     {"32768", {}},       {"-32769", {}},
        {"1E2", 100},       {"ab", {}},          {"", {}},            {" ", {}},
        {"1x", {}},         {"1 2", {}},         {"+5", 5},           {".5", 0},
    };
    // clang-format on
    for (auto [text, value] : cases)
        EXPECT_EQ(ToInteger(text), value) << '"' << text << '"';
}

// Times, dates and positions are the sent characters rearranged; degrees get three digits. The
// captures' recorded transcripts hold the everyday cases.
TEST(Wording, TimesDatesAndPositionsAreTheSentCharactersRearranged)
{
    // clang-format off
    const std::pair<const char*, const char*> times[] = {
        {"123519.00", "12:35:19.00"}, {"1235190", "12:35:19"}, {"1235", "12:35:"}, {"1", "1::"},
        {"ab:cdef", "ab::c:de"}, // the digits are not tested
        {"123519.0000000000000000000000000000000000000000000000000000000000001",
         "12:35:19.0000000000000000000000000000000000000000000000000000000000001"},
    };
    // clang-format on
    for (auto [field, extended] : times) {
        const std::string full = extended, shortTime = full.substr(0, full.find('.'));
        EXPECT_EQ(Events(Sealed(std::string("$GPGGA,") + field)),
                  (Lines{"TimeChangedExtendex\t" + full + " GMT", "TimeChanged\t" + shortTime}))
            << field;
    }
    // The year is the two characters after the month, whatever follows or lacks.
    for (auto [field, date] : {std::pair{"2303", "23/03/"}, std::pair{"23031994", "23/03/19"}})
        EXPECT_EQ(Events(Sealed(std::string("$GPRMC,,,,,,,,,") + field)), Lines{std::string("DateChanged\t") + date})
            << field;
    const std::pair<const char*, const char*> positions[] = {
        {"807.038,N,1131.000,E", "080° 7.038' N\t113° 1.000' E"}, // always 2 (3) characters of degrees
        {"5,N,12,E", "005°  N\t012°  E"},                         // short fields lose the minutes
        {"48,N,011,E", "048° ' N\t011° ' E"},
        // texts longer than the usual few characters are joined whole
        {"4807.0380000000000000000000000000000000000000000000000000000000000001,N,01131.000,East",
         "048° 07.0380000000000000000000000000000000000000000000000000000000000001' N\t011° 31.000' East"},
    };
    for (auto [fields, position] : positions)
        EXPECT_EQ(Events(Sealed(std::string("$GPGLL,") + fields)),
                  (Lines{std::string("PositionReceived\t") + position}))
            << fields;
}

} // namespace
} // namespace fixwatch::test
