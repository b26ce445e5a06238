// The checksum rule and the sentence check that guards every handler.
#include "transcript.h"

#include <gtest/gtest.h>

namespace fixwatch::test {
namespace {

const std::string kGga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47";
const std::string kRmc = "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A";

TEST(GetChecksum, IsTheXorOfTheCharactersBetweenDollarAndStarInUpperCaseHex)
{
    const NmeaInterpreter gps;
    EXPECT_EQ(gps.GetChecksum("abc"), "60");
    EXPECT_EQ(gps.GetChecksum(kGga), "47");
    EXPECT_EQ(gps.GetChecksum("0:"), "0A") << "a value below 16 keeps its leading zero";
    EXPECT_EQ(gps.GetChecksum("\xFF"), "FF") << "bytes above 127 count with their own value";
}

TEST(GetChecksum, GivesDoubleZeroForNothingToSum)
{
    const NmeaInterpreter gps;
    EXPECT_EQ(gps.GetChecksum(""), "00");
    EXPECT_EQ(gps.GetChecksum("$"), "00");
    EXPECT_EQ(gps.GetChecksum("$*"), "00");
    EXPECT_EQ(gps.GetChecksum("*abc"), "00");
}

TEST(GetChecksum, SkipsEveryDollarAndStopsAtTheFirstStar)
{
    const NmeaInterpreter gps;
    EXPECT_EQ(gps.GetChecksum("GP$GGA,1"), gps.GetChecksum("GPGGA,1"));
    EXPECT_EQ(gps.GetChecksum("$$GPGGA$"), gps.GetChecksum("GPGGA"));
    EXPECT_EQ(gps.GetChecksum("abc*def*12"), "60");
    EXPECT_EQ(gps.GetChecksum("abc"), gps.GetChecksum("$abc")) << "a text without star is summed to its end";
}

TEST(SentenceCheck, AcceptsTheSixIdentifiersWithAMatchingChecksum)
{
    EXPECT_TRUE(Interpret(kGga).accepted);
    EXPECT_TRUE(Interpret(kRmc).accepted);
    for (const char* id : {"$GPGGA", "$GPGLL", "$GPGSA", "$GPGSV", "$GPRMC", "$GPVTG"})
        EXPECT_TRUE(Interpret(Sealed(id)).accepted) << id;
}

TEST(SentenceCheck, RejectsDamagedOrUnknownSentencesWithoutRaisingAnything)
{
    struct Case {
        const char* legend;
        std::string sentence;
    };
    const Case cases[] = {
        {"wrong checksum", "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*48"},
        {"lower-case checksum digits", "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6a"},
        {"trailing CR LF", kGga + "\r\n"},
        {"trailing blank", kGga + " "},
        {"leading blank", " " + kGga},
        {"other sentence", Sealed("$GPZDA,201530.00,04,07,2002,00,00")},
        {"other talker", Sealed("$GNGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,")},
        {"lower-case identifier", Sealed("$gpgga,123519")},
        {"proprietary", Sealed("$PGRME,15.0,M,45.0,M,25.0,M")},
        {"empty line", ""},
        {"identifier without dollar", Sealed("GPGGA,123519")},
    };
    for (const Case& c : cases) {
        const Transcript t = Interpret(c.sentence);
        EXPECT_FALSE(t.accepted) << c.legend;
        EXPECT_TRUE(t.events.empty()) << c.legend;
    }
}

TEST(SentenceCheck, IdentifierOnlyIsAcceptedAndRaisesNothing)
{
    const Transcript t = Interpret("$GPGGA*56");
    EXPECT_TRUE(t.accepted);
    EXPECT_TRUE(t.events.empty());
}

TEST(SentenceCheck, SentenceWithoutStarIsAcceptedWhenItsLastTwoCharactersMatchAndStillLosesThree)
{
    // Find a filler character F and two hex digits XY such that the checksum of
    // body + F + XY is XY itself; F X Y then stand where "*" and the checksum would.
    const NmeaInterpreter gps;
    const std::string body = "$GPGGA,123519";
    const std::string hex = "0123456789ABCDEF";
    std::string found;
    for (char filler = '0'; filler <= 'z' && found.empty(); ++filler) {
        for (char x : hex) {
            for (char y : hex) {
                std::string candidate = body + filler + x + y;
                if (found.empty() && gps.GetChecksum(candidate) == candidate.substr(candidate.size() - 2))
                    found = candidate;
            }
        }
    }
    ASSERT_FALSE(found.empty());
    const Transcript t = Interpret(found);
    EXPECT_TRUE(t.accepted);
    EXPECT_EQ(t.events, (Lines{"TimeChangedExtendex\t12:35:19 GMT", "TimeChanged\t12:35:19"}));
}

TEST(SentenceCheck, IdenticalSentencesRaiseTheSameEventsEachTime)
{
    const Transcript first = Interpret(kGga);
    const Transcript second = Interpret(kGga);
    EXPECT_EQ(first.events, second.events);
    EXPECT_EQ(first.events.size(), 10u);
}

} // namespace
} // namespace fixwatch::test
