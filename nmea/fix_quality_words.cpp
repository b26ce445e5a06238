#include "fix_quality_words.h"

#include "sentence_view.h"

#include <array>

namespace fixwatch {

std::optional<std::string_view> ExtendedFixQuality(std::string_view sentence)
{
    static constexpr std::array<std::string_view, 5> kWords{"RTK Fixed", "RTK Float", "Estimated", "Manual",
                                                            "Simulator"};
    const SentenceView view(sentence);
    if (!view.ChecksumMatches() || !view.GnssTalker() || view.Type() != "GGA")
        return std::nullopt;
    const std::string_view quality = view.FieldOrEmpty(6);
    if (quality.size() != 1 || quality[0] < '4' || quality[0] > '8')
        return std::nullopt;
    return kWords[static_cast<std::size_t>(quality[0] - '4')];
}

} // namespace fixwatch
