#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace fixwatch {

// Appends `more` to `kept` and then drops the oldest characters beyond `limit`, so that a
// sender faster than the reader costs bounded memory and the newest text wins.
inline void AppendNewest(std::string& kept, std::string_view more, std::size_t limit)
{
    if (more.size() >= limit) {
        kept.assign(more.substr(more.size() - limit));
        return;
    }
    const std::size_t total = kept.size() + more.size();
    if (total > limit)
        kept.erase(0, total - limit);
    kept.append(more);
}

} // namespace fixwatch
