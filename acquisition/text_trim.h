#pragma once

#include <string_view>

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

} // namespace fixwatch
