// The six sentences: GGA, GLL, RMC, VTG, GSA and GSV, field by field.
#include "nmea_test.h"

#include <gtest/gtest.h>

namespace fixwatch::test {
namespace {

TEST(Gga, WorkedExampleRaisesTenEventsInFieldOrder)
{
    const Transcript t = Interpret("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47");
    EXPECT_TRUE(t.accepted);
    EXPECT_EQ(t.events, (Lines{"TimeChangedExtendex\t12:35:19 GMT", "TimeChanged\t12:35:19",
                               "PositionReceived\t048° 07.038' N\t011° 31.000' E", "PositionFixReceived\tValid SPS",
                               "SatellitesUsedReceived\t8", "HDOPReceived\t0.9", "AltitudeReceived\t545.4",
                               "AltitudeUnitsReceived\tM", "GeoidSeparationReceived\t46.9",
                               "GeoidSeparationUnitsReceived\tM"}));
}

TEST(Gga, EachFieldIsRaisedOnlyWhenPresentAndReadable)
{
    const struct {
        const char* legend;
        const char* body;
        Lines events;
    } rows[] = {
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
        {"no number at all reads 0", "$GPGGA,,,,,,,,x", {"HDOPReceived\t0"}},
        {"integer that is not a number", "$GPGGA,,,,,,,ab,0.9", {"HDOPReceived\t0.9"}},
        {"integer out of range", "$GPGGA,,,,,,,,,,,,,40000,ABCD", {"DGPSstationIDReceived\tABCD"}},
        {"integers at the ends of the range", "$GPGGA,,,,,,,-32768,,,,,,32767",
         {"SatellitesUsedReceived\t-32768", "DGPSageReceived\t32767"}},
        {"no fix does not gate the other values", "$GPGGA,000000,0000.000,N,00000.000,E,0,00,99.9,0.0,M",
         {"TimeChangedExtendex\t00:00:00 GMT", "TimeChanged\t00:00:00",
          "PositionReceived\t000° 00.000' N\t000° 00.000' E", "PositionFixReceived\tInvalid",
          "SatellitesUsedReceived\t0", "HDOPReceived\t99.9", "AltitudeReceived\t0", "AltitudeUnitsReceived\tM"}},
        {"fields beyond the station are ignored", "$GPGGA,,,,,,,,,,,,,,0001,extra,99",
         {"DGPSstationIDReceived\t0001"}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(Events(Sealed(row.body)), row.events) << row.legend;
}

TEST(Gga, FixQualityWords)
{
    const std::pair<const char*, const char*> words[] = {
        {"0", "Invalid"}, {"1", "Valid SPS"}, {"2", "Valid DGPS"}, {"3", "Valid PPS"},
        {"6", "Invalid"}, {"01", "Invalid"},  {"x", "Invalid"},
    };
    for (auto [field, word] : words)
        EXPECT_EQ(Events(Sealed(std::string("$GPGGA,,,,,,") + field)), (Lines{std::string("PositionFixReceived\t") + word}))
            << field;
}

TEST(GllRmcVtg, WorkedExamplesRaiseTheirEventsInFieldOrder)
{
    const std::pair<const char*, Lines> rows[] = {
        {"$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A",
         {"TimeChangedExtendex\t12:35:19 GMT", "TimeChanged\t12:35:19", "FixObtained",
          "PositionReceived\t048° 07.038' N\t011° 31.000' E", "SpeedReceived\t22.4", "BearingReceived\t84.4",
          "DateChanged\t23/03/94"}},
        {"$GPGLL,4916.45,N,12311.12,W,225444,A*31",
         {"PositionReceived\t049° 16.45' N\t123° 11.12' W", "TimeChangedExtendex\t22:54:44 GMT",
          "TimeChanged\t22:54:44", "FixObtained"}},
        {"$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K*48",
         {"TrueTrack\t054.7 T", "MagneticTrack\t034.4 M", "SpeedReceivedKnots\t5.5", "SpeedReceivedKnotsFull\t005.5 N",
          "SpeedReceivedKmh\t10.2", "SpeedReceivedKmhFull\t010.2 K"}},
    };
    for (const auto& [sentence, events] : rows) {
        const Transcript t = Interpret(sentence);
        EXPECT_TRUE(t.accepted) << sentence;
        EXPECT_EQ(t.events, events) << sentence;
    }
}

TEST(Rmc, VoidOrUnknownStatusGatesNoValue)
{
    EXPECT_EQ(Events(Sealed("$GPRMC,235947.000,V,,,,,,,060180,,")),
              (Lines{"TimeChangedExtendex\t23:59:47.000 GMT", "TimeChanged\t23:59:47", "FixLost", "DateChanged\t06/01/80"}));
    EXPECT_EQ(Events(Sealed("$GPRMC,235947,V")),
              (Lines{"TimeChangedExtendex\t23:59:47 GMT", "TimeChanged\t23:59:47", "FixLost"}));
    EXPECT_EQ(Events(Sealed("$GPRMC,,V,4807.038,N,01131.000,E,000.0,360.0,010100")),
              (Lines{"FixLost", "PositionReceived\t048° 07.038' N\t011° 31.000' E", "SpeedReceived\t0",
                     "BearingReceived\t360", "DateChanged\t01/01/00"}));
    EXPECT_EQ(Events(Sealed("$GPRMC,,a")), Lines{}) << "unknown status: neither fix event";
    EXPECT_EQ(Events(Sealed("$GPRMC,,AV")), Lines{});
}

TEST(Gll, StatusIsCaseSensitiveAndAModeFieldIsIgnored)
{
    EXPECT_EQ(Events(Sealed("$GPGLL,,,,,225444.5,a")),
              (Lines{"TimeChangedExtendex\t22:54:44.5 GMT", "TimeChanged\t22:54:44"}));
    EXPECT_EQ(Events(Sealed("$GPGLL,,,,,,V,N")), (Lines{"FixLost"}));
}

TEST(Vtg, RowsWithAnEmptyValueOrUnitOrMissingAreSkippedAndNothingIsConverted)
{
    EXPECT_EQ(Events(Sealed("$GPVTG,054.7,T,,M,005.5,N,010.2,K")),
              (Lines{"TrueTrack\t054.7 T", "SpeedReceivedKnots\t5.5", "SpeedReceivedKnotsFull\t005.5 N",
                     "SpeedReceivedKmh\t10.2", "SpeedReceivedKmhFull\t010.2 K"}));
    EXPECT_EQ(Events(Sealed("$GPVTG,054.7,,034.4,M,005.5,,010.2,")), (Lines{"MagneticTrack\t034.4 M"}));
    EXPECT_EQ(Events(Sealed("$GPVTG,054.7,T")), (Lines{"TrueTrack\t054.7 T"}));
    EXPECT_EQ(Events(Sealed("$GPVTG,1,x,2,yz,abc,N,20,K,A")),
              (Lines{"TrueTrack\t1 x", "MagneticTrack\t2 yz", "SpeedReceivedKnots\t0", "SpeedReceivedKnotsFull\tabc N",
                     "SpeedReceivedKmh\t20", "SpeedReceivedKmhFull\t20 K"}))
        << "unit letters are not checked";
}

// `before`, then "ChNNSatReceived\tS" for each channel given (-1: the channel raises nothing),
// then `after`.
Lines GsaEvents(Lines before, std::initializer_list<int> channels, const Lines& after = {})
{
    int channel = 0;
    for (int satellite : channels) {
        char line[32];
        std::snprintf(line, sizeof line, "Ch%02dSatReceived\t%d", ++channel, satellite);
        if (satellite >= 0)
            before.push_back(line);
    }
    before.insert(before.end(), after.begin(), after.end());
    return before;
}

TEST(Gsa, WorkedExample)
{
    const Transcript t = Interpret("$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39");
    EXPECT_TRUE(t.accepted);
    EXPECT_EQ(t.events, GsaEvents({"AutoManModeReceived\tAuto 2D/3D", "Mode3DReceived\t3D"},
                                  {4, 5, 0, 9, 12, 0, 0, 24, 0, 0, 0, 0},
                                  {"PDOPReceived\t2.5", "HDOPReceived\t1.3", "VDOPReceived\t2.1"}));
}

TEST(Gsa, ModeAndFixTypeWords)
{
    EXPECT_EQ(Events(Sealed("$GPGSA,,1")), (Lines{"Mode3DReceived\tNo Fix"}));
    EXPECT_EQ(Events(Sealed("$GPGSA,m,3")), (Lines{"AutoManModeReceived\tUnknown", "Mode3DReceived\t3D"}));
    EXPECT_EQ(Events(Sealed("$GPGSA,M,2")), (Lines{"AutoManModeReceived\tForced 2D/3D", "Mode3DReceived\t2D"}));
    EXPECT_EQ(Events(Sealed("$GPGSA,a,x")), (Lines{"AutoManModeReceived\tUnknown", "Mode3DReceived\tNo Fix"}));
}

TEST(Gsa, ChannelsEmptyAreZeroMissingOrUnconvertibleRaiseNothing)
{
    EXPECT_EQ(Events(Sealed("$GPGSA,,,,,,,,,,,,,,")), GsaEvents({}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Events(Sealed("$GPGSA,A,3,01,02,03,04,05,06")),
              GsaEvents({"AutoManModeReceived\tAuto 2D/3D", "Mode3DReceived\t3D"}, {1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(Events(Sealed("$GPGSA,,,1,,,,,,,,,,,,,1.5")),
              GsaEvents({}, {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {"HDOPReceived\t1.5"}));
    EXPECT_EQ(Events(Sealed("$GPGSA,,,01,x,03,99999,,,,,,,,")), GsaEvents({}, {1, -1, 3, -1, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(Gsa, DopsReadTheirLeadingNumberAndExtraFieldsAreIgnored)
{
    EXPECT_EQ(Events(Sealed("$GPGSA,,,,,,,,,,,,,,,x,1.3m,2.1,9.9,1")),
              GsaEvents({}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
                        {"PDOPReceived\t0", "HDOPReceived\t1.3", "VDOPReceived\t2.1"}));
}

TEST(Gsv, WorkedExample)
{
    const Transcript t = Interpret("$GPGSV,3,2,11,14,25,170,00,16,57,208,39,18,67,296,40,19,40,246,00*74");
    EXPECT_TRUE(t.accepted);
    EXPECT_EQ(t.events, (Lines{"SatellitesInViewReceived\t11", "SatelliteReceived\t5\t14\t170\t25\t0",
                               "SatelliteReceived\t6\t16\t208\t57\t39", "SatelliteReceived\t7\t18\t296\t67\t40",
                               "SatelliteReceived\t8\t19\t246\t40\t0"}));
}

TEST(Gsv, BlocksAreNumberedAcrossTheGroupAndIncompleteOnesSkipped)
{
    const struct {
        const char* legend;
        const char* body;
        Lines events;
    } rows[] = {
        {"block without signal is skipped and leaves a gap",
         "$GPGSV,3,2,11,14,25,170,,16,57,208,39,18,67,296,40,19,40,246,00",
         {"SatellitesInViewReceived\t11", "SatelliteReceived\t6\t16\t208\t57\t39",
          "SatelliteReceived\t7\t18\t296\t67\t40", "SatelliteReceived\t8\t19\t246\t40\t0"}},
        {"last sentence of a group with two satellites", "$GPGSV,3,3,10,22,42,067,42,24,14,311,43",
         {"SatellitesInViewReceived\t10", "SatelliteReceived\t9\t22\t67\t42\t42",
          "SatelliteReceived\t10\t24\t311\t14\t43"}},
        {"incomplete trailing block is ignored", "$GPGSV,1,1,02,22,42,067,42,24,14,311",
         {"SatellitesInViewReceived\t2", "SatelliteReceived\t1\t22\t67\t42\t42"}},
        {"at most four blocks, a zero signal kept", "$GPGSV,1,1,05,1,0,0,00,2,0,0,0,3,0,0,0,4,0,0,0,5,0,0,0",
         {"SatellitesInViewReceived\t5", "SatelliteReceived\t1\t1\t0\t0\t0", "SatelliteReceived\t2\t2\t0\t0\t0",
          "SatelliteReceived\t3\t3\t0\t0\t0", "SatelliteReceived\t4\t4\t0\t0\t0"}},
        {"satellites in view alone", "$GPGSV,1,1,07", {"SatellitesInViewReceived\t7"}},
        {"empty in-view field raises nothing", "$GPGSV,1,1,,22,42,067,42", {"SatelliteReceived\t1\t22\t67\t42\t42"}},
        {"missing in-view field is raised with the starting value", "$GPGSV,1,1", {"SatellitesInViewReceived\t0"}},
        {"unconvertible in-view field too", "$GPGSV,1,1,x", {"SatellitesInViewReceived\t0"}},
        {"empty message number gives position 0", "$GPGSV,1,,01,22,42,067,42",
         {"SatellitesInViewReceived\t1", "SatelliteReceived\t0\t22\t67\t42\t42"}},
        {"unusable message number gives position 0", "$GPGSV,1,x,02,22,42,067,42,24,14,311,43",
         {"SatellitesInViewReceived\t2", "SatelliteReceived\t0\t22\t67\t42\t42",
          "SatelliteReceived\t0\t24\t311\t14\t43"}},
        {"identifier only", "$GPGSV", {"SatellitesInViewReceived\t0"}},
        {"unconvertible block value keeps the last converted one", "$GPGSV,2,1,08,x,y,z,w,16,57,208,39,?,60,!,41",
         {"SatellitesInViewReceived\t8", "SatelliteReceived\t1\t0\t0\t0\t0", "SatelliteReceived\t2\t16\t208\t57\t39",
          "SatelliteReceived\t3\t16\t208\t60\t41"}},
        {"16-bit position: 8191 * 4 + 4 overflows, the fourth block keeps the third's",
         "$GPGSV,9,8192,16,1,1,1,1,2,2,2,2,3,3,3,3,4,4,4,4",
         {"SatellitesInViewReceived\t16", "SatelliteReceived\t32765\t1\t1\t1\t1",
          "SatelliteReceived\t32766\t2\t2\t2\t2", "SatelliteReceived\t32767\t3\t3\t3\t3",
          "SatelliteReceived\t32767\t4\t4\t4\t4"}},
        {"16-bit position: 8192 * 4 overflows, position 0", "$GPGSV,9,8193,16,1,1,1,1",
         {"SatellitesInViewReceived\t16", "SatelliteReceived\t0\t1\t1\t1\t1"}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(Events(Sealed(row.body)), row.events) << row.legend;
}

} // namespace
} // namespace fixwatch::test
