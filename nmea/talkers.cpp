#include "talkers.h"

#include "sentence_view.h"

namespace fixwatch {

static_assert([] {
    for (std::size_t i = 0; i < kGnssTalkers.size(); ++i) {
        if (detail::TalkerIndex(kGnssTalkers[i]) != static_cast<int>(i))
            return false;
    }
    return true;
}(),
              "TalkerIndex must name every talker of kGnssTalkers at its place");

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
    if (formatter != "GGA" && formatter != "GLL" && formatter != "GSA" && formatter != "GSV"
        && formatter != "RMC" && formatter != "VTG")
        return std::nullopt;
    return kGnssTalkers[*index];
}

} // namespace fixwatch
