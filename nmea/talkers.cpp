#include "talkers.h"

#include "sentence_view.h"

namespace fixwatch {

namespace {

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

constexpr bool SwitchFollowsTheList()
{
    for (std::size_t i = 0; i < kGnssTalkers.size(); ++i) {
        if (TalkerIndex(kGnssTalkers[i]) != static_cast<int>(i))
            return false;
    }
    return true;
}
static_assert(SwitchFollowsTheList(), "TalkerIndex must name every talker of kGnssTalkers at its place");

} // namespace

std::optional<std::size_t> GnssTalkerIndex(std::string_view talker)
{
    const int index = TalkerIndex(talker);
    return index < 0 ? std::nullopt : std::optional<std::size_t>(static_cast<std::size_t>(index));
}

bool ReadsTalker(Talkers talkers, std::string_view talker)
{
    if (talkers == Talkers::GpsOnly)
        return talker == kGnssTalkers[0];
    return GnssTalkerIndex(talker).has_value();
}

std::optional<std::string_view> NonGpsTalker(std::string_view sentence)
{
    return NonGpsTalker(SentenceView(sentence));
}

std::optional<std::string_view> NonGpsTalker(const SentenceView& sentence)
{
    const std::string_view formatter = sentence.Type();
    const auto index = sentence.GnssTalker();
    if (!sentence.ChecksumMatches() || !index || *index == 0)
        return std::nullopt;
    if (formatter != "GGA" && formatter != "GLL" && formatter != "GSA" && formatter != "GSV" &&
        formatter != "RMC" && formatter != "VTG")
        return std::nullopt;
    return kGnssTalkers[*index];
}

} // namespace fixwatch
