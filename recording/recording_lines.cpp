#include "recording_lines.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace fixwatch {

bool ForEachLine(const std::string& file, const std::function<void(std::string_view)>& line, std::string& error)
{
    std::FILE* in = file.empty() ? stdin : std::fopen(file.c_str(), "rb");
    if (!in) {
        error = std::strerror(errno);
        return false;
    }
    std::string pending;
    bool overlong = false;
    auto hand = [&](std::string_view text) {
        if (!text.empty() && text.back() == '\r')
            text.remove_suffix(1);
        line(text);
    };
    std::vector<char> buffer(std::size_t{1} << 16);
    std::size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), in)) > 0) {
        std::string_view chunk(buffer.data(), n);
        for (std::size_t lf; (lf = chunk.find('\n')) != std::string_view::npos; chunk.remove_prefix(lf + 1)) {
            if (!overlong) {
                if (pending.empty())
                    hand(chunk.substr(0, lf));
                else
                    hand(pending.append(chunk.substr(0, lf)));
            }
            pending.clear();
            overlong = false;
        }
        if (!overlong)
            pending.append(chunk);
        if (pending.size() > kMaxLine) {
            pending.clear();
            overlong = true;
        }
    }
    const bool failed = std::ferror(in);
    if (failed)
        error = std::strerror(errno);
    if (!file.empty())
        std::fclose(in);
    if (!overlong && !pending.empty())
        hand(pending);
    return !failed;
}

} // namespace fixwatch
