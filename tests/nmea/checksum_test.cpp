// The checksum rule and the sentence check that guards every handler.
#include "nmea_test.h"

#include <gtest/gtest.h>

namespace fixwatch::test {
namespace {

const std::string kGga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47";

TEST(GetChecksum, XorsTheCharactersAfterEveryDollarUpToTheFirstStarInUpperCaseHex)
{
    const std::pair<std::string, std::string> rows[] = {
        {"abc", "60"},        {kGga, "47"},       {"0:", "0A"},         {"\xFF", "FF"},
        {"", "00"},           {"$", "00"},        {"$*", "00"},         {"*abc", "00"},
        {"abc*def*12", "60"}, {"$abc", "60"},     {"$$GPGGA$", "56"},   {"GP$GGA,1", "4B"},
    };
    const NmeaInterpreter gps;
    for (const auto& [text, sum] : rows)
        EXPECT_EQ(gps.GetChecksum(text), sum) << '"' << text << '"';
}

TEST(SentenceCheck, AcceptsTheSixIdentifiersWithAMatchingChecksum)
{
    for (const char* id : {"$GPGGA", "$GPGLL", "$GPGSA", "$GPGSV", "$GPRMC", "$GPVTG"})
        EXPECT_TRUE(Interpret(Sealed(id)).accepted) << id;
    EXPECT_EQ(Interpret("$GPGGA*56").events, Lines{}) << "an identifier alone raises nothing";
}

TEST(SentenceCheck, RejectsDamagedOrUnknownSentencesWithoutRaisingAnything)
{
    const std::pair<const char*, std::string> cases[] = {
        {"wrong checksum", "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*48"},
        {"lower-case checksum", "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6a"},
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

} // namespace
} // namespace fixwatch::test
