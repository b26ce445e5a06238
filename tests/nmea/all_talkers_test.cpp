// The all-systems reading: a sentence of any of the nine talkers is read exactly as the same
// sentence from "GP", a checksum in lower-case digits read as in upper case; everything else
// stays as the default reading has it. And the words for fix qualities 4 to 8.
#include "nmea_test.h"

#include "sentence_view.h"
#include "talkers.h"

#include <gtest/gtest.h>

#include <map>

namespace fixwatch::test {
namespace {

TEST(AllTalkers, EverySentenceOfEveryTalkerRaisesTheEventsOfItsGpsTwin)
{
    const char* bodies[] = {
        "GGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,",
        "GLL,4916.45,N,12311.12,W,225444,A",
        "RMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W",
        "VTG,054.7,T,034.4,M,005.5,N,010.2,K",
        "GSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1",
        "GSV,3,2,11,14,25,170,00,16,57,208,39,18,67,296,40,19,40,246,00",
    };
    for (const char* body : bodies) {
        const Transcript gps = Interpret(Sealed(std::string("$GP") + body));
        ASSERT_TRUE(gps.accepted);
        ASSERT_FALSE(gps.events.empty());
        for (std::string_view talker : kGnssTalkers) {
            const std::string sentence = Sealed("$" + std::string(talker) + body);
            const Transcript all = Interpret(sentence, Talkers::AllSystems);
            EXPECT_TRUE(all.accepted) << sentence;
            EXPECT_EQ(all.events, gps.events) << sentence;
        }
    }
}

TEST(AllTalkers, OnlyTheNineTalkersAndSixSentencesAreRead)
{
    const std::pair<const char*, std::string> notRead[] = {
        {"GN ZDA is not one of the six", Sealed("$GNZDA,003956.00,12,04,2019,00,00")},
        {"GN GNS is not one of the six", Sealed("$GNGNS,074150.799,,,,,NNNN,00,,,0.0,,0000")},
        {"PQ is not a satellite system's talker", Sealed("$PQGSV,2,1,08,02,20,116,,03,,,,0,4")},
        {"proprietary", Sealed("$PUBX,00,003956.00")},
        {"lower-case talker", Sealed("$gnGGA,123519")},
        {"identifier too long", Sealed("$GNGGAX,123519")},
        {"no dollar", Sealed("GNGGA,123519")},
        {"lower-case checksum", "$GNGGA*4c"},
        {"wrong checksum", "$GNGGA*00"},
    };
    for (const auto& [legend, sentence] : notRead) {
        const Transcript all = Interpret(sentence, Talkers::AllSystems);
        EXPECT_FALSE(all.accepted) << legend;
        EXPECT_TRUE(all.events.empty()) << legend;
        EXPECT_FALSE(NonGpsTalker(sentence)) << legend;
    }
    EXPECT_FALSE(Interpret(Sealed("$GNGGA")).accepted) << "the default reading takes GP only";
    EXPECT_EQ(NonGpsTalker(Sealed("$GIGGA")), "GI");
    EXPECT_EQ(NonGpsTalker(Sealed("$BDGSA,A,1,,,,,,,,,,,,,,,")), "BD");
    EXPECT_FALSE(NonGpsTalker(Sealed("$GPRMC,003956.00,A"))) << "GP is read by default";
}

// An inertial system, a chart system or a sounder on the bus tells a position as well as a
// receiver does; its satellites would mean nothing without a system, and it is never read
// by default.
TEST(AllTalkers, PositionsOfOtherInstrumentsAreReadWithEverySystemAndTheirSatellitesAreNot)
{
    const char* read[] = {
        "INRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W",
        "INGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,",
        "INGLL,4916.45,N,12311.12,W,225444,A",
        "ECGLL,4916.45,N,12311.12,W,225444,A",
        "IIVTG,054.7,T,034.4,M,005.5,N,010.2,K",
    };
    for (const char* body : read) {
        const std::string sentence = Sealed("$" + std::string(body));
        const Transcript all = Interpret(sentence, Talkers::AllSystems);
        EXPECT_TRUE(all.accepted) << sentence;
        EXPECT_EQ(all.events, Interpret(Sealed("$GP" + std::string(body + 2))).events) << sentence;
        EXPECT_FALSE(Interpret(sentence).accepted) << sentence;
        EXPECT_EQ(NonGpsTalker(sentence), std::string_view(body, 2)) << sentence;
    }
    const std::pair<const char*, std::string> notRead[] = {
        {"satellites of no known system", Sealed("$INGSV,1,1,01,05,06,110,19")},
        {"used satellites of no known system", Sealed("$INGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1")},
        {"proprietary, though it ends in GGA", Sealed("$PQGGA,123519,4807.038,N,01131.000,E,1,08")},
        {"a digit in the talker", Sealed("$U1GGA,123519,4807.038,N,01131.000,E,1,08")},
        {"lower-case talker", Sealed("$inRMC,123519,A,4807.038,N,01131.000,E,0,0,230394,,")},
    };
    for (const auto& [legend, sentence] : notRead) {
        EXPECT_FALSE(Interpret(sentence, Talkers::AllSystems).accepted) << legend;
        EXPECT_FALSE(NonGpsTalker(sentence)) << legend;
    }
}

TEST(AllTalkers, TheReadingCanChangeBetweenSentences)
{
    const std::string gn = Sealed("$GNGLL,4916.45,N,12311.12,W,225444,A");
    NmeaInterpreter gps;
    EXPECT_FALSE(gps.Parse(gn));
    gps.SetTalkers(Talkers::AllSystems);
    EXPECT_TRUE(gps.Parse(gn));
    gps.SetTalkers(Talkers::GpsOnly);
    EXPECT_FALSE(gps.Parse(gn));
}

// Each capture line read with all talkers as its GP twin (talker replaced, checksum redone),
// NonGpsTalker naming the talker exactly where only the all-systems reading takes it, and a
// word for fix qualities 4 to 8 exactly where that reading says "Invalid".
TEST(AllTalkers, EveryCaptureLineReadsAsItsGpsTwinAndGetsAQualityWordWhereItSaysInvalid)
{
    FIXWATCH_NEED_CAPTURES();
    std::size_t otherTalkersRead = 0;
    std::map<std::string, int, std::less<>> words;
    for (const auto& file : Captures()) {
        for (const std::string& line : CaptureLines(file)) {
            // A right checksum in lower-case digits is read with all talkers as if sent in upper case.
            const bool lowerCase = SentenceView(line).LowerCaseChecksum();
            const bool sealed = line.size() > 6 && line[0] == '$' && line[line.size() - 3] == '*'
                                && (NmeaInterpreter().GetChecksum(line) == line.substr(line.size() - 2) || lowerCase);
            const std::string twin = sealed && GnssTalkerIndex(line.substr(1, 2))
                                         ? Sealed("$GP" + line.substr(3, line.size() - 6))
                                     : lowerCase ? Sealed(line.substr(0, line.size() - 3))
                                                 : line;
            const Transcript all = Interpret(line, Talkers::AllSystems);
            const Transcript gps = Interpret(twin);
            ASSERT_EQ(all.accepted, gps.accepted) << file.filename() << ": " << line;
            ASSERT_EQ(all.events, gps.events) << file.filename() << ": " << line;
            const bool onlyAll = all.accepted && !Interpret(line).accepted && !lowerCase;
            ASSERT_EQ(NonGpsTalker(line), onlyAll ? std::optional(line.substr(1, 2)) : std::nullopt)
                << file.filename() << ": " << line;
            otherTalkersRead += onlyAll;
            // The named words change only the word of a fix quality the default calls Invalid.
            const Transcript named = Interpret(line, Talkers::AllSystems, FixQualityWords::Named);
            ASSERT_EQ(named.events.size(), all.events.size()) << line;
            for (std::size_t i = 0; i < named.events.size(); ++i) {
                if (named.events[i] == all.events[i])
                    continue;
                ASSERT_EQ(all.events[i], "PositionFixReceived\tInvalid") << line;
                ++words[named.events[i].substr(named.events[i].find('\t') + 1)];
            }
        }
    }
    EXPECT_GT(otherTalkersRead, 5'000u) << "the captures hold many GN, GL, GA and GB sentences";
    for (const char* word : {"RTK Fixed", "RTK Float", "Estimated", "Simulator"})
        EXPECT_GT(words[word], 0) << word;
}

// The words for GGA fix qualities 4 to 8, which the default reading calls "Invalid".
TEST(FixQualityWords, NamedWordsCoverQualitiesFourToEightOfAnySystemsGga)
{
    const std::string fix = "123519,4807.038,N,01131.000,E,";
    // clang-format off
    const std::pair<std::string, std::string> rows[] = {
        {Sealed("$GNGGA," + fix + "4,12,0.6,14.2,M,1.8,M,1.0,0000"), "RTK Fixed"},
        {Sealed("$GPGGA," + fix + "5,12,0.6,14.2,M,1.8,M,,"), "RTK Float"},
        {Sealed("$GLGGA," + fix + "6,08"), "Estimated"},  {Sealed("$BDGGA," + fix + "7"), "Manual"},
        {Sealed("$GIGGA," + fix + "8,10,2.0,268.8,M,-33.9,M,,"), "Simulator"},
        {Sealed("$GNGGA," + fix + "1,08"), "Valid SPS"}, {Sealed("$GNGGA," + fix + "0,00"), "Invalid"},
        {Sealed("$GNGGA," + fix + "9,08"), "Invalid"},  {Sealed("$GNGGA," + fix + "04,08"), "Invalid"},
        {Sealed("$GNGGA," + fix + ",08"), ""},         {Sealed("$GNGGA,123519,4807.038,N"), ""},
        {Sealed("$GNRMC," + fix + "4"), ""},           {Sealed("$PQGGA," + fix + "4,08"), ""},
        {"$GNGGA," + fix + "4,08*00", ""},             {"", ""},
    };
    // clang-format on
    for (const auto& [sentence, word] : rows) {
        const Lines events = Interpret(sentence, Talkers::AllSystems, FixQualityWords::Named).events;
        const auto fixEvent = std::ranges::find_if(
            events, [](const std::string& e) { return e.starts_with("PositionFixReceived\t"); });
        EXPECT_EQ(fixEvent == events.end() ? "" : fixEvent->substr(20), word) << sentence;
    }
}

} // namespace
} // namespace fixwatch::test
