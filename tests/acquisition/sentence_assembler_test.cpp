#include "sentence_assembler.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>
#include <vector>

namespace fixwatch {
namespace {

using Lines = std::vector<std::string>;

// Records the lines handed on by one HandleInput call, and those handed on for the first time.
struct Recorder {
    Lines lines, fresh;
    SentenceAssembler assembler{[this](std::string_view line, bool isFresh) {
        lines.emplace_back(line);
        if (isFresh)
            fresh.emplace_back(line);
    }};

    Lines Feed(std::string_view read)
    {
        lines.clear();
        fresh.clear();
        assembler.HandleInput(read);
        return lines;
    }
};

const std::string kGga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47";
const std::string kRmc = "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A";
const std::string kVtg = "$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K*48";

TEST(SentenceAssembly, HandsOnKeptLinesAgainAndTellsWhichAreFresh)
{
    struct Step {
        std::string read;
        Lines lines, fresh;
    };
    const std::string half = kRmc.substr(0, 30), rest = kRmc.substr(30);
    // clang-format off
    const std::vector<std::pair<const char*, std::vector<Step>>> scenarios = {
        {"the rest completes a line; the first comes again, not fresh",
         {{kGga + "\r\n" + half, {kGga}, {kGga}}, {rest + "\r\n", {kGga, kRmc}, {kRmc}},
          {"", {kGga, kRmc}, {}}}},
        {"a read beginning with $ replaces everything kept, the unfinished line too",
         {{kGga + "\r\n" + half, {kGga}, {kGga}}, {kVtg + "\r\n", {kVtg}, {kVtg}}}},
        {"a read beginning with a blank and then $ is appended",
         {{kGga + "\r\n", {kGga}, {kGga}}, {" " + kVtg + "\r\n", {kGga, kVtg}, {kVtg}}}},
        {"blanks around a line are stripped; blank and empty pieces are not handed on",
         {{"$X\r\n  " + kGga + "   \r\n   \r\n\r\n" + kVtg + "\r\n", {"$X", kGga, kVtg},
           {"$X", kGga, kVtg}}}},
        {"LF alone and CR alone do not end a line; tabs stay",
         {{kGga + "\n" + kVtg + "\r" + kRmc + "\t\r\n", {kGga + "\n" + kVtg + "\r" + kRmc + "\t"},
           {kGga + "\n" + kVtg + "\r" + kRmc + "\t"}}}},
        {"a CR LF split across reads still ends the line", {{kGga + "\r", {}, {}}, {"\n", {kGga}, {kGga}}}},
    };
    // clang-format on
    for (const auto& [legend, steps] : scenarios) {
        Recorder recorder;
        for (std::size_t i = 0; i < steps.size(); ++i) {
            EXPECT_EQ(recorder.Feed(steps[i].read), steps[i].lines) << legend << " (read " << i << ")";
            EXPECT_EQ(recorder.fresh, steps[i].fresh) << legend << " (read " << i << ")";
        }
    }
    Recorder recorder;
    recorder.Feed(kGga + "\r\n");
    recorder.assembler.Clear();
    EXPECT_TRUE(recorder.Feed("").empty()) << "nothing is kept after Clear";
}

// Whole distinct sentences and the stream a receiver sends of them.
std::pair<Lines, std::string> Sentences(int count)
{
    std::pair<Lines, std::string> made;
    for (int i = 0; i < count; ++i) {
        made.first.push_back(std::array{kGga, kRmc, kVtg}[i % 3] + "#" + std::to_string(i));
        made.second += made.first.back() + "\r\n";
    }
    return made;
}

TEST(SentenceAssembly, ReadsSplittingSentencesAnywhereHandOnEachOnceFreshInOrder)
{
    const auto [sentences, stream] = Sentences(200);
    std::mt19937 random(4800);
    for (int round = 0; round < 50; ++round) {
        Recorder recorder;
        Lines fresh;
        for (std::size_t at = 0, size = 0; at < stream.size(); at += size) {
            size = std::uniform_int_distribution<std::size_t>(1, 150)(random);
            recorder.Feed(std::string_view(stream).substr(at, size));
            fresh.insert(fresh.end(), recorder.fresh.begin(), recorder.fresh.end());
        }
        ASSERT_EQ(fresh, sentences) << "round " << round;
    }
}

TEST(SentenceAssemblyCap, EveryCompleteLineIsHandedOnBeforeTheKeptTextIsCut)
{
    // A fast receiver can deliver more between two polls than the kept text may hold.
    const auto [sentences, stream] = Sentences(800);
    ASSERT_GT(stream.size(), SentenceAssembler::kMaxBufferLength);
    Recorder recorder;
    recorder.Feed(kGga + "\r\n");
    // Not beginning with "$", the long read is appended to the kept line.
    EXPECT_EQ(recorder.Feed("\r\n" + stream.substr(0, stream.size() - 10)).size(), sentences.size());
    EXPECT_LE(recorder.assembler.lineBuffer().size(), SentenceAssembler::kMaxBufferLength);
    EXPECT_EQ(recorder.Feed(stream.substr(stream.size() - 10)).back(), sentences.back());

    // Reads that never begin with "$" never reset: the kept text stays bounded, whole lines
    // are dropped from its front, and each line is still fresh exactly once.
    Recorder capped;
    capped.Feed("x");
    std::size_t fresh = 0;
    for (std::size_t at = 0; at < stream.size(); at += 400) {
        ASSERT_TRUE(at == 0 || stream[at] != '$');
        capped.Feed(std::string_view(stream).substr(at, 400));
        fresh += capped.fresh.size();
        ASSERT_LE(capped.assembler.lineBuffer().size(), SentenceAssembler::kMaxBufferLength);
    }
    EXPECT_EQ(fresh, sentences.size());
    EXPECT_EQ(capped.lines.back(), sentences.back());
    EXPECT_EQ(capped.assembler.lineBuffer().front(), '$') << "only whole lines are dropped";
}

TEST(SentenceAssemblyCap, AnOverlongUnfinishedLineKeepsItsNewestCharacters)
{
    Recorder recorder;
    std::string noise;
    for (int i = 0; i < 40000; ++i)
        noise += static_cast<char>('a' + i % 26);
    recorder.Feed(kGga + "\r\n");
    EXPECT_EQ(recorder.Feed(noise), Lines{kGga}) << "the kept line is handed on before the cap";
    ASSERT_EQ(recorder.assembler.lineBuffer(), noise.substr(40000 - SentenceAssembler::kMaxBufferLength));
    EXPECT_EQ(recorder.Feed("\r\n" + kVtg + "\r\n").back(), kVtg);
}

} // namespace
} // namespace fixwatch
