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

bool IsDeviceTalker(std::string_view talker)
{
    const auto upper = [](char c) { return c >= 'A' && c <= 'Z'; };
    return talker.size() == 2 && upper(talker[0]) && upper(talker[1]) && talker[0] != 'P';
}

bool IsPositionSentence(std::string_view formatter)
{
    return formatter == "GGA" || formatter == "GLL" || formatter == "RMC" || formatter == "VTG"
           || formatter == "GNS" || formatter == "ZDA" || formatter == "HDT" || formatter == "THS";
}

bool ReadsSentence(Talkers talkers, std::string_view talker, std::string_view formatter)
{
    if (ReadsTalker(talkers, talker))
        return true;
    return talkers == Talkers::AllSystems && IsPositionSentence(formatter) && IsDeviceTalker(talker);
}

std::optional<std::string_view> NonGpsTalker(std::string_view sentence)
{
    return NonGpsTalker(SentenceView(sentence));
}

std::optional<std::string_view> NonGpsTalker(const SentenceView& sentence)
{
    const std::string_view formatter = sentence.Type();
    const auto index = sentence.GnssTalker();
    if (!sentence.ChecksumMatches() || (index && *index == 0))
        return std::nullopt;
    const bool position = formatter == "GGA" || formatter == "GLL" || formatter == "RMC" || formatter == "VTG";
    if (index && (position || formatter == "GSA" || formatter == "GSV"))
        return kGnssTalkers[*index];
    if (!index && position && IsDeviceTalker(sentence.Talker()))
        return sentence.Talker();
    return std::nullopt;
}

} // namespace fixwatch
