#pragma once

#include <string_view>
#include <vector>

namespace fixwatch {

// `text` without the blanks (U+0020 only) at either end: tabs, CR and LF are kept, as they
// belong to what was received.
constexpr std::string_view TrimBlanks(std::string_view text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

// The pieces of `text` between its separators, in order, empty ones included: n separators
// give n + 1 pieces. The pieces are views into `text`.
inline std::vector<std::string_view> SplitAt(std::string_view text, char separator)
{
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    for (auto at = text.find(separator); at != std::string_view::npos; at = text.find(separator, start)) {
        pieces.push_back(text.substr(start, at - start));
        start = at + 1;
    }
    pieces.push_back(text.substr(start));
    return pieces;
}

} // namespace fixwatch
