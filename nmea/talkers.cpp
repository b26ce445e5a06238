#include "talkers.h"

#include "checksum.h"

namespace fixwatch {

std::optional<std::size_t> GnssTalkerIndex(std::string_view talker)
{
    for (std::size_t i = 0; i < kGnssTalkers.size(); ++i) {
        if (talker == kGnssTalkers[i])
            return i;
    }
    return std::nullopt;
}

bool ReadsTalker(Talkers talkers, std::string_view talker)
{
    if (talkers == Talkers::GpsOnly)
        return talker == kGnssTalkers[0];
    return GnssTalkerIndex(talker).has_value();
}

std::string_view SentenceIdentifier(std::string_view sentence)
{
    if (sentence.size() > 3)
        sentence.remove_suffix(3);
    return sentence.substr(0, sentence.find(','));
}

std::optional<std::string_view> NonGpsTalker(std::string_view sentence)
{
    if (!ChecksumMatches(sentence))
        return std::nullopt;
    const std::string_view identifier = SentenceIdentifier(sentence);
    if (identifier.size() != 6 || identifier[0] != '$')
        return std::nullopt;
    const std::string_view formatter = identifier.substr(3);
    if (formatter != "GGA" && formatter != "GLL" && formatter != "GSA" && formatter != "GSV" &&
        formatter != "RMC" && formatter != "VTG")
        return std::nullopt;
    const auto index = GnssTalkerIndex(identifier.substr(1, 2));
    if (!index || *index == 0)
        return std::nullopt;
    return kGnssTalkers[*index];
}

} // namespace fixwatch
