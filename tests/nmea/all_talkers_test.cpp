// The all-systems reading: a sentence of any of the nine talkers is read exactly as the same
// sentence from "GP"; everything else stays as the default reading has it.
#include "captures.h"
#include "transcript.h"

#include "talkers.h"

#include <gtest/gtest.h>

namespace fixwatch::test {
namespace {

// `line` with its talker replaced by "GP" and the checksum recomputed, for a checksum-valid
// "$TTfff,...*hh" of one of the nine talkers; the line itself otherwise.
std::string AsGps(const std::string& line)
{
    const bool sealed = line.size() > 6 && line[0] == '$' && line[line.size() - 3] == '*' &&
                        NmeaInterpreter().GetChecksum(line) == line.substr(line.size() - 2);
    if (!sealed || !GnssTalkerIndex(line.substr(1, 2)))
        return line;
    return Sealed("$GP" + line.substr(3, line.size() - 6));
}

TEST(AllTalkers, EveryCaptureLineReadsAsItsGpsTwin)
{
    const auto captures = Captures();
    if (captures.empty())
        GTEST_SKIP() << "no receiver logs at " << FIXWATCH_NMEA_LOGS;

    std::size_t otherTalkersRead = 0;
    for (const auto& file : captures) {
        for (const std::string& line : CaptureLines(file)) {
            const Transcript all = Interpret(line, Talkers::AllSystems);
            const Transcript twin = Interpret(AsGps(line));
            ASSERT_EQ(all.accepted, twin.accepted) << file.filename() << ": " << line;
            ASSERT_EQ(all.events, twin.events) << file.filename() << ": " << line;
            if (all.accepted && line.compare(1, 2, "GP") != 0)
                ++otherTalkersRead;
        }
    }
    EXPECT_GT(otherTalkersRead, 5'000u) << "the captures hold many GN, GL, GA and GB sentences";
}

TEST(AllTalkers, OnlyTheNineTalkersAndSixSentencesAreRead)
{
    struct Row {
        const char* legend;
        std::string sentence;
        bool readByAllSystems;
    };
    const Row rows[] = {
        {"GN GGA", Sealed("$GNGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,"), true},
        {"GL GSV", Sealed("$GLGSV,1,1,02,65,53,144,30,66,58,305,32"), true},
        {"GA GSA with a system ID", Sealed("$GAGSA,A,3,07,12,33,,,,,,,,,,1.05,0.64,0.83,3"), true},
        {"GB RMC", Sealed("$GBRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W"), true},
        {"BD VTG", Sealed("$BDVTG,054.7,T,034.4,M,005.5,N,010.2,K"), true},
        {"GQ GLL", Sealed("$GQGLL,4916.45,N,12311.12,W,225444,A"), true},
        {"QZ GSV", Sealed("$QZGSV,1,1,01,02,05,042,29"), true},
        {"GI GGA identifier only", Sealed("$GIGGA"), true},
        {"GN ZDA is not one of the six", Sealed("$GNZDA,003956.00,12,04,2019,00,00"), false},
        {"GN GNS is not one of the six", Sealed("$GNGNS,074150.799,,,,,NNNN,00,,,0.0,,0000"), false},
        {"PQ is not a satellite system's talker", Sealed("$PQGSV,2,1,08,02,20,116,,03,,,,0,4"), false},
        {"proprietary", Sealed("$PUBX,00,003956.00"), false},
        {"lower-case talker", Sealed("$gnGGA,123519"), false},
        {"identifier too long", Sealed("$GNGGAX,123519"), false},
        {"no dollar", Sealed("GNGGA,123519"), false},
        {"lower-case checksum", "$GNGGA*4c", false},
        {"wrong checksum", "$GNGGA*00", false},
    };
    for (const Row& row : rows) {
        const Transcript all = Interpret(row.sentence, Talkers::AllSystems);
        EXPECT_EQ(all.accepted, row.readByAllSystems) << row.legend << ": " << row.sentence;
        if (!row.readByAllSystems) {
            EXPECT_TRUE(all.events.empty()) << row.legend << ": " << row.sentence;
        }
        EXPECT_FALSE(Interpret(row.sentence).accepted) << "the default reading takes GP only; " << row.legend;
        EXPECT_EQ(NonGpsTalker(row.sentence).has_value(), row.readByAllSystems) << row.legend;
    }
}

TEST(AllTalkers, GpsSentencesReadTheSameEitherWay)
{
    for (const std::string& sentence :
         {std::string("$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39"),
          std::string("$GPGSV,3,2,11,14,25,170,00,16,57,208,39,18,67,296,40,19,40,246,00*74"), Sealed("$GPGGA")}) {
        const Transcript gps = Interpret(sentence);
        const Transcript all = Interpret(sentence, Talkers::AllSystems);
        EXPECT_TRUE(all.accepted) << sentence;
        EXPECT_EQ(all.accepted, gps.accepted) << sentence;
        EXPECT_EQ(all.events, gps.events) << sentence;
    }
}

TEST(AllTalkers, TheReadingCanChangeBetweenSentences)
{
    const std::string gn = Sealed("$GNGLL,4916.45,N,12311.12,W,225444,A");
    NmeaInterpreter gps;
    EXPECT_EQ(gps.GetTalkers(), Talkers::GpsOnly);
    EXPECT_FALSE(gps.Parse(gn));
    gps.SetTalkers(Talkers::AllSystems);
    EXPECT_TRUE(gps.Parse(gn));
    gps.SetTalkers(Talkers::GpsOnly);
    EXPECT_FALSE(gps.Parse(gn));
}

TEST(NonGpsTalker, NamesTheTalkerOnlyWhereTheAllSystemsReadingAddsSomething)
{
    EXPECT_EQ(NonGpsTalker(Sealed("$GNRMC,003956.00,A,4552.65403,S")), "GN");
    EXPECT_EQ(NonGpsTalker(Sealed("$BDGSA,A,1,,,,,,,,,,,,,,,")), "BD");
    EXPECT_FALSE(NonGpsTalker(Sealed("$GPRMC,003956.00,A"))) << "GP is read by default";
    EXPECT_FALSE(NonGpsTalker("")) << "empty text";

    const auto captures = Captures();
    const NmeaInterpreter gps;
    const NmeaInterpreter all(Talkers::AllSystems);
    for (const auto& file : captures) {
        for (const std::string& line : CaptureLines(file)) {
            const bool onlyAll = all.Parse(line) && !gps.Parse(line);
            ASSERT_EQ(NonGpsTalker(line).has_value(), onlyAll) << file.filename() << ": " << line;
            if (onlyAll) {
                ASSERT_EQ(*NonGpsTalker(line), line.substr(1, 2)) << file.filename() << ": " << line;
            }
        }
    }
}

} // namespace
} // namespace fixwatch::test
