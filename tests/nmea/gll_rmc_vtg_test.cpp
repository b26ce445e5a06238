// GLL, RMC and VTG: position, time, status, speed, track and date.
#include "transcript.h"

#include <gtest/gtest.h>

namespace fixwatch::test {
namespace {

TEST(Rmc, WorkedExample)
{
    const Transcript t = Interpret("$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A");
    EXPECT_TRUE(t.accepted);
    EXPECT_EQ(t.events, (Lines{
                            "TimeChangedExtendex\t12:35:19 GMT",
                            "TimeChanged\t12:35:19",
                            "FixObtained",
                            "PositionReceived\t048° 07.038' N\t011° 31.000' E",
                            "SpeedReceived\t22.4",
                            "BearingReceived\t84.4",
                            "DateChanged\t23/03/94",
                        }));
}

TEST(Rmc, VoidStatusWithoutFixStillRaisesTimeAndDate)
{
    EXPECT_EQ(Interpret(Sealed("$GPRMC,235947.000,V,,,,,,,060180,,")).events,
              (Lines{"TimeChangedExtendex\t23:59:47.000 GMT", "TimeChanged\t23:59:47", "FixLost",
                     "DateChanged\t06/01/80"}));
    EXPECT_EQ(Interpret(Sealed("$GPRMC,235947,V")).events,
              (Lines{"TimeChangedExtendex\t23:59:47 GMT", "TimeChanged\t23:59:47", "FixLost"}));
}

TEST(Rmc, VoidStatusDoesNotGateTheValues)
{
    EXPECT_EQ(Interpret(Sealed("$GPRMC,,V,4807.038,N,01131.000,E,000.0,360.0,010100")).events,
              (Lines{"FixLost", "PositionReceived\t048° 07.038' N\t011° 31.000' E", "SpeedReceived\t0",
                     "BearingReceived\t360", "DateChanged\t01/01/00"}));
}

TEST(Rmc, UnknownStatusRaisesNeitherFixEvent)
{
    EXPECT_EQ(Interpret(Sealed("$GPRMC,,a")).events, Lines{});
    EXPECT_EQ(Interpret(Sealed("$GPRMC,,AV")).events, Lines{});
}

TEST(Gll, WorkedExample)
{
    const Transcript t = Interpret("$GPGLL,4916.45,N,12311.12,W,225444,A*31");
    EXPECT_TRUE(t.accepted);
    EXPECT_EQ(t.events, (Lines{
                            "PositionReceived\t049° 16.45' N\t123° 11.12' W",
                            "TimeChangedExtendex\t22:54:44 GMT",
                            "TimeChanged\t22:54:44",
                            "FixObtained",
                        }));
}

TEST(Gll, StatusIsCaseSensitiveAndAModeFieldIsIgnored)
{
    EXPECT_EQ(Interpret(Sealed("$GPGLL,,,,,225444.5,a")).events,
              (Lines{"TimeChangedExtendex\t22:54:44.5 GMT", "TimeChanged\t22:54:44"}));
    EXPECT_EQ(Interpret(Sealed("$GPGLL,,,,,,V,N")).events, (Lines{"FixLost"}));
}

TEST(Vtg, WorkedExample)
{
    const Transcript t = Interpret("$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K*48");
    EXPECT_TRUE(t.accepted);
    EXPECT_EQ(t.events, (Lines{
                            "TrueTrack\t054.7 T",
                            "MagneticTrack\t034.4 M",
                            "SpeedReceivedKnots\t5.5",
                            "SpeedReceivedKnotsFull\t005.5 N",
                            "SpeedReceivedKmh\t10.2",
                            "SpeedReceivedKmhFull\t010.2 K",
                        }));
}

TEST(Vtg, RowWithAnEmptyValueOrUnitRaisesNothing)
{
    EXPECT_EQ(Interpret(Sealed("$GPVTG,054.7,T,,M,005.5,N,010.2,K")).events,
              (Lines{"TrueTrack\t054.7 T", "SpeedReceivedKnots\t5.5", "SpeedReceivedKnotsFull\t005.5 N",
                     "SpeedReceivedKmh\t10.2", "SpeedReceivedKmhFull\t010.2 K"}));
    EXPECT_EQ(Interpret(Sealed("$GPVTG,054.7,,034.4,M,005.5,,010.2,")).events, (Lines{"MagneticTrack\t034.4 M"}));
}

TEST(Vtg, UnitLettersAreNotCheckedAndSpeedsAreNotConverted)
{
    EXPECT_EQ(Interpret(Sealed("$GPVTG,1,x,2,yz,abc,N,20,K,A")).events,
              (Lines{"TrueTrack\t1 x", "MagneticTrack\t2 yz", "SpeedReceivedKnots\t0",
                     "SpeedReceivedKnotsFull\tabc N", "SpeedReceivedKmh\t20", "SpeedReceivedKmhFull\t20 K"}));
}

TEST(Vtg, MissingRowsAreSkipped)
{
    EXPECT_EQ(Interpret(Sealed("$GPVTG,054.7,T")).events, (Lines{"TrueTrack\t054.7 T"}));
}

} // namespace
} // namespace fixwatch::test
