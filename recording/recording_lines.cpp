#include "recording_lines.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace fixwatch {
namespace {

void Hand(std::string_view text, const LineSplitter::Line& line)
{
    if (!text.empty() && text.back() == '\r')
        text.remove_suffix(1);
    line(text);
}

} // namespace

void LineSplitter::Feed(std::string_view chunk, const Line& line)
{
    for (std::size_t lf; (lf = chunk.find('\n')) != std::string_view::npos; chunk.remove_prefix(lf + 1)) {
        if (!overlong_) {
            if (pending_.empty())
                Hand(chunk.substr(0, lf), line);
            else
                Hand(pending_.append(chunk.substr(0, lf)), line);
        }
        pending_.clear();
        overlong_ = false;
    }
    if (!overlong_)
        pending_.append(chunk);
    if (pending_.size() > kMaxLine) {
        pending_.clear();
        overlong_ = true;
    }
}

void LineSplitter::Finish(const Line& line)
{
    if (!overlong_ && !pending_.empty())
        Hand(pending_, line);
    pending_.clear();
    overlong_ = false;
}

bool ForEachLine(const std::string& file, const std::function<void(std::string_view)>& line, std::string& error)
{
    std::FILE* in = file.empty() ? stdin : std::fopen(file.c_str(), "rb");
    if (!in) {
        error = std::strerror(errno);
        return false;
    }
    LineSplitter lines;
    std::vector<char> buffer(std::size_t{1} << 16);
    std::size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), in)) > 0)
        lines.Feed(std::string_view(buffer.data(), n), line);
    const bool failed = std::ferror(in);
    if (failed)
        error = std::strerror(errno);
    if (!file.empty())
        std::fclose(in);
    lines.Finish(line);
    return !failed;
}

} // namespace fixwatch
