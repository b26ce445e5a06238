#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace fixwatch {

// Which talkers a reader of sentences takes: only GPS's "GP" (the default reading), or the
// talkers of every satellite system.
enum class Talkers {
    GpsOnly,
    AllSystems,
};

// The talkers a multi-system receiver uses: GPS, any combination, GLONASS, Galileo, BeiDou
// (two spellings), QZSS (two spellings) and NavIC. "GP" comes first.
inline constexpr std::array<std::string_view, 9> kGnssTalkers{"GP", "GN", "GL", "GA", "GB",
                                                              "BD", "GQ", "QZ", "GI"};

namespace detail {
constexpr unsigned LetterPair(char a, char b)
{
    return (static_cast<unsigned>(static_cast<unsigned char>(a)) << 8) | static_cast<unsigned char>(b);
}

// Every sentence asks this: one switch on the two letters instead of a walk down the list.
constexpr int TalkerIndex(std::string_view talker)
{
    if (talker.size() != 2)
        return -1;
    switch (LetterPair(talker[0], talker[1])) {
    case LetterPair('G', 'P'): return 0;
    case LetterPair('G', 'N'): return 1;
    case LetterPair('G', 'L'): return 2;
    case LetterPair('G', 'A'): return 3;
    case LetterPair('G', 'B'): return 4;
    case LetterPair('B', 'D'): return 5;
    case LetterPair('G', 'Q'): return 6;
    case LetterPair('Q', 'Z'): return 7;
    case LetterPair('G', 'I'): return 8;
    default: return -1;
    }
}
} // namespace detail

// The position of `talker` in kGnssTalkers, or nothing for any other text.
inline std::optional<std::size_t> GnssTalkerIndex(std::string_view talker)
{
    const int index = detail::TalkerIndex(talker);
    return index < 0 ? std::nullopt : std::optional<std::size_t>(static_cast<std::size_t>(index));
}

// True when a reader of `talkers` takes sentences of `talker`.
bool ReadsTalker(Talkers talkers, std::string_view talker);

// True for a talker of two upper-case letters that is not proprietary ("P..."): an integrated
// navigation system ("IN"), a chart system ("EC"), a sounder ("SD") as much as a receiver.
bool IsDeviceTalker(std::string_view talker);

// True for the sentences that tell a position, time, date or heading without naming
// satellites (GGA, GLL, RMC, VTG, GNS, ZDA, HDT, THS): the all-systems reading takes them from
// any device talker, since any instrument on the bus may be the source of the position (an
// inertial system's $INRMC) or the heading (a gyrocompass's $HEHDT).
bool IsPositionSentence(std::string_view formatter);

// True when a reader of `talkers` takes a `formatter` sentence of `talker`: GP only by
// default; with AllSystems every satellite-system talker, and the position sentences of any
// device talker. Satellites (GSV, GSA) are only read from talkers whose system is known.
bool ReadsSentence(Talkers talkers, std::string_view talker, std::string_view formatter);

// The talker ("GN", "GL", "IN", ...) of a sentence that only the all-systems reading shows: a
// GGA, GLL, GSA, GSV, RMC or VTG with a matching checksum from one of the eight talkers
// besides "GP", or a GGA, GLL, RMC or VTG of another device talker. Nothing for any other
// text. The view points into kGnssTalkers or into the sentence.
std::optional<std::string_view> NonGpsTalker(std::string_view sentence);
class SentenceView;
std::optional<std::string_view> NonGpsTalker(const SentenceView& sentence);

} // namespace fixwatch
