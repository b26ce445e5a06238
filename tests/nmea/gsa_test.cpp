// GSA: mode, fix type, the twelve channels and the three DOPs.
#include "transcript.h"

#include <gtest/gtest.h>

namespace fixwatch::test {
namespace {

Lines Channels(std::initializer_list<int> satellites)
{
    Lines lines;
    int channel = 1;
    for (int satellite : satellites) {
        char name[32];
        std::snprintf(name, sizeof name, "Ch%02dSatReceived\t%d", channel++, satellite);
        lines.push_back(name);
    }
    return lines;
}

Lines Join(Lines a, const Lines& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(Gsa, WorkedExample)
{
    const Transcript t = Interpret("$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39");
    EXPECT_TRUE(t.accepted);
    EXPECT_EQ(t.events, Join(Join({"AutoManModeReceived\tAuto 2D/3D", "Mode3DReceived\t3D"},
                                  Channels({4, 5, 0, 9, 12, 0, 0, 24, 0, 0, 0, 0})),
                             {"PDOPReceived\t2.5", "HDOPReceived\t1.3", "VDOPReceived\t2.1"}));
}

TEST(Gsa, ModeAndFixTypeWords)
{
    EXPECT_EQ(Interpret(Sealed("$GPGSA,,1")).events, (Lines{"Mode3DReceived\tNo Fix"}));
    EXPECT_EQ(Interpret(Sealed("$GPGSA,m,3")).events, (Lines{"AutoManModeReceived\tUnknown", "Mode3DReceived\t3D"}));
    EXPECT_EQ(Interpret(Sealed("$GPGSA,M,2")).events,
              (Lines{"AutoManModeReceived\tForced 2D/3D", "Mode3DReceived\t2D"}));
    EXPECT_EQ(Interpret(Sealed("$GPGSA,a,x")).events, (Lines{"AutoManModeReceived\tUnknown", "Mode3DReceived\tNo Fix"}));
}

TEST(Gsa, EmptyChannelsAreReportedAsZero)
{
    EXPECT_EQ(Interpret(Sealed("$GPGSA,,,,,,,,,,,,,,")).events, Channels({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(Gsa, MissingChannelsAndDopsRaiseNothing)
{
    EXPECT_EQ(Interpret(Sealed("$GPGSA,A,3,01,02,03,04,05,06")).events,
              Join({"AutoManModeReceived\tAuto 2D/3D", "Mode3DReceived\t3D"}, Channels({1, 2, 3, 4, 5, 6})));
    EXPECT_EQ(Interpret(Sealed("$GPGSA,,,1,,,,,,,,,,,,,1.5")).events,
              Join(Channels({1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), {"HDOPReceived\t1.5"}));
}

TEST(Gsa, UnconvertibleChannelIsSkippedAndTheNextOnesGoOn)
{
    Lines expected = Channels({1, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    expected.erase(expected.begin() + 1);   // channel 2 holds "x"
    expected.erase(expected.begin() + 2);   // channel 4 holds 99999
    EXPECT_EQ(Interpret(Sealed("$GPGSA,,,01,x,03,99999,,,,,,,,")).events, expected);
}

TEST(Gsa, DopsReadTheirLeadingNumberAndExtraFieldsAreIgnored)
{
    EXPECT_EQ(Interpret(Sealed("$GPGSA,,,,,,,,,,,,,,,x,1.3m,2.1,9.9,1")).events,
              Join(Channels({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}),
                   {"PDOPReceived\t0", "HDOPReceived\t1.3", "VDOPReceived\t2.1"}));
}

} // namespace
} // namespace fixwatch::test
