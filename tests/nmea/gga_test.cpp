// GGA: time, position, fix quality, satellites used, HDOP, altitude, geoid, DGPS.
#include "transcript.h"

#include <gtest/gtest.h>

namespace fixwatch::test {
namespace {

TEST(Gga, WorkedExampleRaisesTenEventsInFieldOrder)
{
    const Transcript t = Interpret("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47");
    EXPECT_TRUE(t.accepted);
    EXPECT_EQ(t.events, (Lines{
                            "TimeChangedExtendex\t12:35:19 GMT",
                            "TimeChanged\t12:35:19",
                            "PositionReceived\t048° 07.038' N\t011° 31.000' E",
                            "PositionFixReceived\tValid SPS",
                            "SatellitesUsedReceived\t8",
                            "HDOPReceived\t0.9",
                            "AltitudeReceived\t545.4",
                            "AltitudeUnitsReceived\tM",
                            "GeoidSeparationReceived\t46.9",
                            "GeoidSeparationUnitsReceived\tM",
                        }));
}

TEST(Gga, DifferentialFieldsAreRaisedWhenPresent)
{
    const Transcript t = Interpret(Sealed("$GPGGA,,,,,,2,,,,,,,2.5,0120"));
    EXPECT_EQ(t.events, (Lines{
                            "PositionFixReceived\tValid DGPS",
                            "DGPSageReceived\t2",
                            "DGPSstationIDReceived\t0120",
                        }))
        << "the age 2.5 rounds half to even";
}

TEST(Gga, EmptyHemisphereSuppressesThePositionOnly)
{
    EXPECT_EQ(Interpret(Sealed("$GPGGA,123519,4807.038,,01131.000,E,1")).events,
              (Lines{"TimeChangedExtendex\t12:35:19 GMT", "TimeChanged\t12:35:19", "PositionFixReceived\tValid SPS"}));
    EXPECT_EQ(Interpret(Sealed("$GPGGA,,4807.038,N,01131.000,")).events, Lines{});
}

TEST(Gga, SentenceEndingAfterThePositionRaisesTimeAndPositionOnly)
{
    EXPECT_EQ(Interpret(Sealed("$GPGGA,123519,4807.038,N,01131.000,E")).events,
              (Lines{"TimeChangedExtendex\t12:35:19 GMT", "TimeChanged\t12:35:19",
                     "PositionReceived\t048° 07.038' N\t011° 31.000' E"}));
}

TEST(Gga, EmptyUnitFieldDropsTheUnitEventButNotTheValue)
{
    EXPECT_EQ(Interpret(Sealed("$GPGGA,,,,,,,,,545.4,,46.9,,,")).events,
              (Lines{"AltitudeReceived\t545.4", "GeoidSeparationReceived\t46.9"}));
}

TEST(Gga, NumberFieldsReadTheirLeadingNumber)
{
    EXPECT_EQ(Interpret(Sealed("$GPGGA,,,,,,,,1.2x,-12.5,ft")).events,
              (Lines{"HDOPReceived\t1.2", "AltitudeReceived\t-12.5", "AltitudeUnitsReceived\tft"}));
    EXPECT_EQ(Interpret(Sealed("$GPGGA,,,,,,,,x")).events, (Lines{"HDOPReceived\t0"}));
}

TEST(Gga, IntegerFieldThatIsNotANumberOrOutOfRangeRaisesNothing)
{
    EXPECT_EQ(Interpret(Sealed("$GPGGA,,,,,,,ab,0.9")).events, (Lines{"HDOPReceived\t0.9"}));
    EXPECT_EQ(Interpret(Sealed("$GPGGA,,,,,,,,,,,,,40000,ABCD")).events, (Lines{"DGPSstationIDReceived\tABCD"}));
    EXPECT_EQ(Interpret(Sealed("$GPGGA,,,,,,,-32768,,,,,,32767")).events,
              (Lines{"SatellitesUsedReceived\t-32768", "DGPSageReceived\t32767"}));
}

TEST(Gga, FixQualityWords)
{
    const std::pair<const char*, const char*> words[] = {
        {"0", "Invalid"}, {"1", "Valid SPS"}, {"2", "Valid DGPS"}, {"3", "Valid PPS"},
        {"6", "Invalid"}, {"01", "Invalid"}, {"x", "Invalid"},
    };
    for (auto [field, word] : words) {
        EXPECT_EQ(Interpret(Sealed(std::string("$GPGGA,,,,,,") + field)).events,
                  (Lines{std::string("PositionFixReceived\t") + word}))
            << field;
    }
}

TEST(Gga, NoFixDoesNotGateTheOtherValues)
{
    EXPECT_EQ(Interpret(Sealed("$GPGGA,000000,0000.000,N,00000.000,E,0,00,99.9,0.0,M")).events,
              (Lines{"TimeChangedExtendex\t00:00:00 GMT", "TimeChanged\t00:00:00",
                     "PositionReceived\t000° 00.000' N\t000° 00.000' E", "PositionFixReceived\tInvalid",
                     "SatellitesUsedReceived\t0", "HDOPReceived\t99.9", "AltitudeReceived\t0",
                     "AltitudeUnitsReceived\tM"}));
}

TEST(Gga, FieldsBeyondTheStationAreIgnored)
{
    EXPECT_EQ(Interpret(Sealed("$GPGGA,,,,,,,,,,,,,,0001,extra,99")).events, (Lines{"DGPSstationIDReceived\t0001"}));
}

} // namespace
} // namespace fixwatch::test
