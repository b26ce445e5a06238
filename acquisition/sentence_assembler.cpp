#include "sentence_assembler.h"

#include "nmea_interpreter.h"

#include <utility>

namespace fixwatch {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// Only the blank is stripped: tabs, CR and LF are part of the line.
std::string_view TrimBlanks(std::string_view text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

} // namespace

SentenceAssembler::SentenceAssembler(LineReceiver receiver)
    : receiver_(std::move(receiver))
{
}

SentenceAssembler::SentenceAssembler(const NmeaInterpreter& gps)
    : receiver_([&gps](std::string_view line) { gps.Parse(line); })
{
}

void SentenceAssembler::HandleInput(std::string_view sInput)
{
    if (!sInput.empty() && sInput.front() == '$')
        lineBuffer_.assign(sInput);
    else
        lineBuffer_.append(sInput);
    LimitBuffer();

    // Every piece followed by CR LF is a complete line; what follows the last CR LF is not.
    const std::string_view buffer = lineBuffer_;
    std::size_t start = 0;
    for (auto end = buffer.find(kLineEnd); end != std::string_view::npos;
         end = buffer.find(kLineEnd, start)) {
        const std::string_view line = TrimBlanks(buffer.substr(start, end - start));
        if (!line.empty() && receiver_)
            receiver_(line);
        start = end + kLineEnd.size();
    }
}

void SentenceAssembler::LimitBuffer()
{
    if (lineBuffer_.size() <= kMaxBufferLength)
        return;
    // Drop the oldest complete lines, each with its CR LF, until the rest fits.
    std::size_t keepFrom = 0;
    while (lineBuffer_.size() - keepFrom > kMaxBufferLength) {
        const auto end = lineBuffer_.find(kLineEnd, keepFrom);
        if (end == std::string::npos)
            break;
        keepFrom = end + kLineEnd.size();
    }
    // What is left is one unfinished line; keep its newest characters.
    if (lineBuffer_.size() - keepFrom > kMaxBufferLength)
        keepFrom = lineBuffer_.size() - kMaxBufferLength;
    lineBuffer_.erase(0, keepFrom);
}

} // namespace fixwatch
