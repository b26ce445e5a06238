#pragma once

#include "checksum.h"

#include <string>
#include <string_view>

namespace fixwatch::fuzz {

// The line with its checksum made right, so that the fuzzer gets past the check into what
// follows it.
inline std::string Sealed(std::string_view line)
{
    std::string body(line.substr(0, line.find('*')));
    return body + "*" + NmeaChecksum(body);
}

// Calls `each` with every LF-separated line of `text`, the last one too when it has no LF,
// first as it stands and then sealed.
template <class Each>
void ForEachLineAndSealed(std::string_view text, Each each)
{
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = text.substr(start, end - start);
        const std::string sealed = Sealed(line);
        each(line, true);
        each(std::string_view(sealed), false);
        start = end + 1;
    }
}

} // namespace fixwatch::fuzz
