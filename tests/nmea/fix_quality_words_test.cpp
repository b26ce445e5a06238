// The words for GGA fix qualities 4 to 8, which the interpreter reports as "Invalid".
#include "captures.h"
#include "transcript.h"

#include "fix_quality_words.h"

#include <gtest/gtest.h>

#include <map>

namespace fixwatch::test {
namespace {

TEST(ExtendedFixQuality, WordsQualitiesFourToEightOfAnySystemsGga)
{
    struct Row {
        const char* legend;
        std::string sentence;
        std::optional<std::string_view> word;
    };
    const std::string fix = "123519,4807.038,N,01131.000,E,";
    const Row rows[] = {
        {"4 from GN", Sealed("$GNGGA," + fix + "4,12,0.6,14.2,M,1.8,M,1.0,0000"), "RTK Fixed"},
        {"5 from GP", Sealed("$GPGGA," + fix + "5,12,0.6,14.2,M,1.8,M,,"), "RTK Float"},
        {"6 from GL", Sealed("$GLGGA," + fix + "6,08"), "Estimated"},
        {"7 from BD, nothing after", Sealed("$BDGGA," + fix + "7"), "Manual"},
        {"8 from GI", Sealed("$GIGGA," + fix + "8,10,2.0,268.8,M,-33.9,M,,"), "Simulator"},
        {"1 has the interpreter's word", Sealed("$GNGGA," + fix + "1,08"), std::nullopt},
        {"0 has the interpreter's word", Sealed("$GNGGA," + fix + "0,00"), std::nullopt},
        {"9 is not a quality", Sealed("$GNGGA," + fix + "9,08"), std::nullopt},
        {"04 is not exactly 4", Sealed("$GNGGA," + fix + "04,08"), std::nullopt},
        {"empty quality", Sealed("$GNGGA," + fix + ",08"), std::nullopt},
        {"too few fields", Sealed("$GNGGA,123519,4807.038,N"), std::nullopt},
        {"RMC is not GGA", Sealed("$GNRMC," + fix + "4"), std::nullopt},
        {"PQ is not a system's talker", Sealed("$PQGGA," + fix + "4,08"), std::nullopt},
        {"wrong checksum", "$GNGGA," + fix + "4,08*00", std::nullopt},
        {"empty text", "", std::nullopt},
    };
    for (const Row& row : rows)
        EXPECT_EQ(ExtendedFixQuality(row.sentence), row.word) << row.legend << ": " << row.sentence;
}

// On real receivers the word appears exactly where the all-systems interpreter says "Invalid"
// for a quality of 4 to 8, and every one of the captured qualities gets its word.
TEST(ExtendedFixQuality, RealCapturesGetAWordWhereTheInterpreterSaysInvalid)
{
    const auto captures = Captures();
    if (captures.empty())
        GTEST_SKIP() << "no receiver logs at " << FIXWATCH_NMEA_LOGS;
    std::map<std::string_view, int> seen;
    for (const auto& file : captures) {
        for (const std::string& line : CaptureLines(file)) {
            const auto word = ExtendedFixQuality(line);
            if (!word)
                continue;
            ++seen[*word];
            const Transcript t = Interpret(line, Talkers::AllSystems);
            ASSERT_TRUE(t.accepted) << file.filename() << ": " << line;
            ASSERT_NE(std::find(t.events.begin(), t.events.end(), "PositionFixReceived\tInvalid"), t.events.end())
                << file.filename() << ": " << line;
        }
    }
    for (std::string_view word : {"RTK Fixed", "RTK Float", "Estimated", "Simulator"})
        EXPECT_GT(seen[word], 0) << word;
}

} // namespace
} // namespace fixwatch::test
