#include "fix_quality_words.h"

#include "checksum.h"
#include "talkers.h"

#include <array>

namespace fixwatch {

std::optional<std::string_view> ExtendedFixQuality(std::string_view sentence)
{
    static constexpr std::array<std::string_view, 5> kWords{"RTK Fixed", "RTK Float", "Estimated", "Manual",
                                                            "Simulator"};
    if (!ChecksumMatches(sentence))
        return std::nullopt;
    const std::string_view identifier = SentenceIdentifier(sentence);
    if (identifier.size() != 6 || identifier[0] != '$' || identifier.substr(3) != "GGA" ||
        !GnssTalkerIndex(identifier.substr(1, 2)))
        return std::nullopt;

    // Field 6 of the text without "*" and checksum, as the interpreter splits it.
    std::string_view rest = sentence.substr(0, sentence.size() - 3);
    for (int field = 0; field < 6; ++field) {
        const std::size_t comma = rest.find(',');
        if (comma == std::string_view::npos)
            return std::nullopt;
        rest.remove_prefix(comma + 1);
    }
    const std::string_view quality = rest.substr(0, rest.find(','));
    if (quality.size() != 1 || quality[0] < '4' || quality[0] > '8')
        return std::nullopt;
    return kWords[static_cast<std::size_t>(quality[0] - '4')];
}

} // namespace fixwatch
