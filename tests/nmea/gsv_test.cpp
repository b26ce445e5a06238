// GSV: satellites in view and up to four satellite blocks, numbered across the group.
#include "transcript.h"

#include <gtest/gtest.h>

namespace fixwatch::test {
namespace {

TEST(Gsv, WorkedExample)
{
    const Transcript t = Interpret("$GPGSV,3,2,11,14,25,170,00,16,57,208,39,18,67,296,40,19,40,246,00*74");
    EXPECT_TRUE(t.accepted);
    EXPECT_EQ(t.events, (Lines{
                            "SatellitesInViewReceived\t11",
                            "SatelliteReceived\t5\t14\t170\t25\t0",
                            "SatelliteReceived\t6\t16\t208\t57\t39",
                            "SatelliteReceived\t7\t18\t296\t67\t40",
                            "SatelliteReceived\t8\t19\t246\t40\t0",
                        }));
}

TEST(Gsv, BlockWithoutSignalIsSkippedAndLeavesAGap)
{
    EXPECT_EQ(Interpret(Sealed("$GPGSV,3,2,11,14,25,170,,16,57,208,39,18,67,296,40,19,40,246,00")).events,
              (Lines{"SatellitesInViewReceived\t11", "SatelliteReceived\t6\t16\t208\t57\t39",
                     "SatelliteReceived\t7\t18\t296\t67\t40", "SatelliteReceived\t8\t19\t246\t40\t0"}));
}

TEST(Gsv, LastSentenceOfAGroupWithTwoSatellites)
{
    EXPECT_EQ(Interpret(Sealed("$GPGSV,3,3,10,22,42,067,42,24,14,311,43")).events,
              (Lines{"SatellitesInViewReceived\t10", "SatelliteReceived\t9\t22\t67\t42\t42",
                     "SatelliteReceived\t10\t24\t311\t14\t43"}));
}

TEST(Gsv, IncompleteTrailingBlockIsIgnored)
{
    EXPECT_EQ(Interpret(Sealed("$GPGSV,1,1,02,22,42,067,42,24,14,311")).events,
              (Lines{"SatellitesInViewReceived\t2", "SatelliteReceived\t1\t22\t67\t42\t42"}));
}

TEST(Gsv, SatellitesInViewFollowsItsField)
{
    EXPECT_EQ(Interpret(Sealed("$GPGSV,1,1,07")).events, (Lines{"SatellitesInViewReceived\t7"}));
    EXPECT_EQ(Interpret(Sealed("$GPGSV,1,1,,22,42,067,42")).events, (Lines{"SatelliteReceived\t1\t22\t67\t42\t42"}))
        << "an empty field raises nothing";
    EXPECT_EQ(Interpret(Sealed("$GPGSV,1,1")).events, (Lines{"SatellitesInViewReceived\t0"}))
        << "a missing field is raised with the starting value";
    EXPECT_EQ(Interpret(Sealed("$GPGSV,1,1,x")).events, (Lines{"SatellitesInViewReceived\t0"}))
        << "an unconvertible field is raised with the starting value";
}

TEST(Gsv, MessageNumberThatIsEmptyOrUnusableGivesPositionZero)
{
    EXPECT_EQ(Interpret(Sealed("$GPGSV,1,,01,22,42,067,42")).events,
              (Lines{"SatellitesInViewReceived\t1", "SatelliteReceived\t0\t22\t67\t42\t42"}));
    EXPECT_EQ(Interpret(Sealed("$GPGSV,1,x,02,22,42,067,42,24,14,311,43")).events,
              (Lines{"SatellitesInViewReceived\t2", "SatelliteReceived\t0\t22\t67\t42\t42",
                     "SatelliteReceived\t0\t24\t311\t14\t43"}));
    EXPECT_EQ(Interpret(Sealed("$GPGSV")).events, (Lines{"SatellitesInViewReceived\t0"}));
}

TEST(Gsv, UnconvertibleBlockValueKeepsTheLastConvertedOne)
{
    EXPECT_EQ(Interpret(Sealed("$GPGSV,2,1,08,x,y,z,w,16,57,208,39,?,60,!,41")).events,
              (Lines{"SatellitesInViewReceived\t8", "SatelliteReceived\t1\t0\t0\t0\t0",
                     "SatelliteReceived\t2\t16\t208\t57\t39", "SatelliteReceived\t3\t16\t208\t60\t41"}));
}

TEST(Gsv, PositionArithmeticIsSixteenBit)
{
    // 8191 * 4 + 4 overflows: the fourth block keeps the third block's position.
    EXPECT_EQ(Interpret(Sealed("$GPGSV,9,8192,16,1,1,1,1,2,2,2,2,3,3,3,3,4,4,4,4")).events,
              (Lines{"SatellitesInViewReceived\t16", "SatelliteReceived\t32765\t1\t1\t1\t1",
                     "SatelliteReceived\t32766\t2\t2\t2\t2", "SatelliteReceived\t32767\t3\t3\t3\t3",
                     "SatelliteReceived\t32767\t4\t4\t4\t4"}));
    // 8192 * 4 already overflows: every block keeps position 0.
    EXPECT_EQ(Interpret(Sealed("$GPGSV,9,8193,16,1,1,1,1")).events,
              (Lines{"SatellitesInViewReceived\t16", "SatelliteReceived\t0\t1\t1\t1\t1"}));
}

TEST(Gsv, AtMostFourBlocksAndZeroSignalIsKept)
{
    EXPECT_EQ(Interpret(Sealed("$GPGSV,1,1,05,1,0,0,00,2,0,0,0,3,0,0,0,4,0,0,0,5,0,0,0")).events,
              (Lines{"SatellitesInViewReceived\t5", "SatelliteReceived\t1\t1\t0\t0\t0",
                     "SatelliteReceived\t2\t2\t0\t0\t0", "SatelliteReceived\t3\t3\t0\t0\t0",
                     "SatelliteReceived\t4\t4\t0\t0\t0"}));
}

} // namespace
} // namespace fixwatch::test
