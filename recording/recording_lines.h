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
constexpr std::size_t kMaxLine = 64 * 1024;
bool ForEachLine(const std::string& file, const std::function<void(std::string_view)>& line, std::string& error);

} // namespace fixwatch
