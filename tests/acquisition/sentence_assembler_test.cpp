#include "nmea_events.h"
#include "nmea_interpreter.h"
#include "sentence_assembler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace fixwatch {
namespace {

using Lines = std::vector<std::string>;

// Records the lines handed on by each HandleInput call, and those handed on for the first
// time.
struct Recorder {
    Lines lines;
    Lines fresh;
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

struct Step {
    std::string read;
    Lines expected;
};

TEST(SentenceAssembly, FollowsTheReadsAsTheyArrive)
{
    const std::string half = kRmc.substr(0, 30);
    const std::string rest = kRmc.substr(30);
    const std::vector<std::pair<const char*, std::vector<Step>>> scenarios = {
        {"a sentence and half the next; the rest completes it, the first comes again",
         {{kGga + "\r\n" + half, {kGga}}, {rest + "\r\n", {kGga, kRmc}}}},
        {"a read beginning with $ replaces everything kept, the unfinished line too",
         {{kGga + "\r\n" + half, {kGga}}, {kVtg + "\r\n", {kVtg}}}},
        {"an empty read hands on the kept complete lines again",
         {{kGga + "\r\n" + kRmc + "\r\n", {kGga, kRmc}}, {"", {kGga, kRmc}}}},
        {"blanks around a line are stripped; blank and empty pieces are not handed on",
         {{"$X\r\n  " + kGga + "   \r\n   \r\n\r\n" + kVtg + "\r\n", {"$X", kGga, kVtg}}}},
        {"LF alone and CR alone do not end a line; tabs stay",
         {{kGga + "\n" + kVtg + "\r" + kRmc + "\t\r\n", {kGga + "\n" + kVtg + "\r" + kRmc + "\t"}}}},
        {"a read beginning with a blank and then $ is appended",
         {{kGga + "\r\n", {kGga}}, {" " + kVtg + "\r\n", {kGga, kVtg}}}},
        {"a CR LF split across two reads still ends the line",
         {{kGga + "\r", {}}, {"\n", {kGga}}}},
    };
    for (const auto& [legend, steps] : scenarios) {
        Recorder recorder;
        for (std::size_t i = 0; i < steps.size(); ++i)
            EXPECT_EQ(recorder.Feed(steps[i].read), steps[i].expected)
                << legend << " (read " << i << ": \"" << steps[i].read << "\")";
    }
}

// Whole sentences, each made distinct by a suffix, and the stream a receiver sends of them.
Lines ManySentences(int count)
{
    Lines sentences;
    for (int i = 0; i < count; ++i)
        sentences.push_back((i % 3 == 0 ? kGga : i % 3 == 1 ? kRmc : kVtg) + "#" + std::to_string(i));
    return sentences;
}

std::string Stream(const Lines& sentences)
{
    std::string text;
    for (const auto& s : sentences)
        text += s + "\r\n";
    return text;
}

TEST(SentenceAssembly, OneByteAtATimeHandsOnEachSentenceOnceInOrder)
{
    const Lines sentences = ManySentences(30);
    Recorder recorder;
    Lines seen;
    for (const char c : Stream(sentences)) {
        const Lines lines = recorder.Feed(std::string_view(&c, 1));
        seen.insert(seen.end(), lines.begin(), lines.end());
    }
    EXPECT_EQ(seen, sentences);
}

TEST(SentenceAssembly, ChunksSplittingSentencesAnywhereLoseNothing)
{
    const Lines sentences = ManySentences(200);
    const std::string stream = Stream(sentences);
    std::mt19937 random(4800);
    for (int round = 0; round < 50; ++round) {
        Recorder recorder;
        Lines firstSeen;
        for (std::size_t at = 0, size = 0; at < stream.size(); at += size) {
            size = std::uniform_int_distribution<std::size_t>(1, 150)(random);
            for (const auto& line : recorder.Feed(std::string_view(stream).substr(at, size)))
                if (std::find(firstSeen.begin(), firstSeen.end(), line) == firstSeen.end())
                    firstSeen.push_back(line);
        }
        ASSERT_EQ(firstSeen, sentences) << "round " << round;
    }
}

TEST(SentenceAssemblyCap, AStreamWithoutDollarReadsStaysBoundedAndCurrent)
{
    // Every read starts inside a sentence, so none begins with "$" and nothing resets.
    Recorder recorder;
    const Lines sentences = ManySentences(3000);
    const std::string stream = Stream(sentences);
    Lines last;
    for (std::size_t at = 1, size = 97; at < stream.size(); at += size, size = 97) {
        while (at + size < stream.size() && stream[at + size] == '$')
            ++size;
        last = recorder.Feed(std::string_view(stream).substr(at, size));
        ASSERT_LE(recorder.assembler.lineBuffer().size(), SentenceAssembler::kMaxBufferLength);
    }
    ASSERT_FALSE(last.empty());
    EXPECT_EQ(last.back(), sentences.back());
    EXPECT_EQ(recorder.assembler.lineBuffer().front(), '$') << "only whole lines are dropped";
}

TEST(SentenceAssemblyCap, AnOverlongUnfinishedLineKeepsItsNewestCharacters)
{
    Recorder recorder;
    std::string noise;
    for (int i = 0; i < 40000; ++i)
        noise += static_cast<char>('a' + i % 26);
    recorder.Feed(kGga + "\r\n");
    EXPECT_EQ(recorder.Feed(noise), Lines{kGga}) << "the kept line is handed on before the cap";
    ASSERT_EQ(recorder.assembler.lineBuffer(),
              noise.substr(noise.size() - SentenceAssembler::kMaxBufferLength));
    EXPECT_EQ(recorder.Feed("\r\n" + kVtg + "\r\n").back(), kVtg);
}

TEST(SentenceAssemblyCap, AReadLongerThanTheCapHandsOnEveryLine)
{
    // A fast receiver can deliver more between two polls than the kept text may hold.
    const Lines sentences = ManySentences(800);
    const std::string stream = Stream(sentences);
    ASSERT_GT(stream.size(), SentenceAssembler::kMaxBufferLength);
    Recorder recorder;
    recorder.Feed("x"); // a kept fragment, so that the long read is appended
    EXPECT_EQ(recorder.Feed(stream.substr(0, stream.size() - 10)).size(), sentences.size() - 1);
    EXPECT_LE(recorder.assembler.lineBuffer().size(), SentenceAssembler::kMaxBufferLength);
    EXPECT_EQ(recorder.Feed(stream.substr(stream.size() - 10)).back(), sentences.back());
}

TEST(SentenceAssembly, TellsWhichLinesAreHandedOnForTheFirstTime)
{
    const std::string half = kRmc.substr(0, 30);
    Recorder recorder;
    recorder.Feed(kGga + "\r\n" + half);
    EXPECT_EQ(recorder.fresh, Lines{kGga});
    recorder.Feed(kRmc.substr(30) + "\r\n");
    EXPECT_EQ(recorder.lines, (Lines{kGga, kRmc}));
    EXPECT_EQ(recorder.fresh, Lines{kRmc}) << "the repeat is not fresh, the completed line is";
    recorder.Feed("");
    EXPECT_TRUE(recorder.fresh.empty());
    recorder.Feed(kVtg + "\r\n");
    EXPECT_EQ(recorder.fresh, Lines{kVtg}) << "a read beginning with $ starts afresh";

    // Past the cap the kept lines keep being told apart from new ones.
    const std::string stream = Stream(ManySentences(1000));
    Recorder capped;
    capped.Feed("x");
    std::size_t freshCount = 0;
    for (std::size_t at = 0; at < stream.size(); at += 480) {
        capped.Feed(std::string_view(stream).substr(at, 480));
        freshCount += capped.fresh.size();
    }
    EXPECT_EQ(freshCount, 1000u);

    recorder.assembler.Clear();
    EXPECT_TRUE(recorder.Feed("").empty()) << "nothing is kept after Clear";
}

struct CountingEvents : NmeaEvents {
    int positions = 0;
    void PositionReceived(std::string, std::string) override { ++positions; }
};

TEST(SentenceAssembly, HandsLinesToTheInterpreter)
{
    CountingEvents events;
    const NmeaInterpreter gps(events);
    SentenceAssembler assembler(gps);
    assembler.HandleInput(kGga + "\r\n" + kRmc.substr(0, 20));
    assembler.HandleInput(kRmc.substr(20) + "\r\n");
    EXPECT_EQ(events.positions, 3); // GGA, then GGA again and RMC
}

} // namespace
} // namespace fixwatch
