#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace fixwatch {

// Hands each line of `file` ("" for standard input) to `line`, without its LF or CR LF,
// reading in pieces; a line longer than kMaxLine is passed over. False with `error` set
// when the file cannot be read. fixwatch-events and the window's track export read
// recordings through it.
constexpr std::size_t kMaxLine = std::size_t{64} * 1024;
bool ForEachLine(const std::string& file, const std::function<void(std::string_view)>& line, std::string& error);

// Cuts text that arrives in pieces into lines, as ForEachLine does: without LF or CR LF, a
// line longer than kMaxLine passed over, so that what it keeps stays bounded.
class LineSplitter {
public:
    using Line = std::function<void(std::string_view)>;
    void Feed(std::string_view chunk, const Line& line);
    // The last line, when the text does not end in LF.
    void Finish(const Line& line);

private:
    std::string pending_;
    bool overlong_ = false;
};

} // namespace fixwatch
