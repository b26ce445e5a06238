#include "sentence_assembler.h"

#include "text_fields.h"

#include <algorithm>
#include <utility>

namespace fixwatch {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

} // namespace

SentenceAssembler::SentenceAssembler(LineReceiver receiver)
    : receiver_(std::move(receiver))
{
}

SentenceAssembler::SentenceAssembler(std::function<void(std::string_view line)> receiver)
    : receiver_([receiver = std::move(receiver)](std::string_view line, bool) {
          if (receiver)
              receiver(line);
      })
{
}

void SentenceAssembler::HandleInput(std::string_view sInput)
{
    if (!sInput.empty() && sInput.front() == '$') {
        lineBuffer_.assign(sInput);
        handedOn_ = 0;
    } else {
        lineBuffer_.append(sInput);
    }

    // Every piece followed by CR LF is a complete line; what follows the last CR LF is not.
    const std::string_view buffer = lineBuffer_;
    std::size_t start = 0;
    for (auto end = buffer.find(kLineEnd); end != std::string_view::npos;
         end = buffer.find(kLineEnd, start)) {
        const std::string_view line = TrimBlanks(buffer.substr(start, end - start));
        start = end + kLineEnd.size();
        if (!line.empty() && receiver_)
            receiver_(line, start > handedOn_);
    }
    handedOn_ = start;
    LimitBuffer();
}

void SentenceAssembler::Clear()
{
    lineBuffer_.clear();
    handedOn_ = 0;
}

void SentenceAssembler::DropUnfinished()
{
    const auto end = lineBuffer_.rfind(kLineEnd);
    lineBuffer_.erase(end == std::string::npos ? 0 : end + kLineEnd.size());
    handedOn_ = std::min(handedOn_, lineBuffer_.size());
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
    handedOn_ = handedOn_ > keepFrom ? handedOn_ - keepFrom : 0;
}

} // namespace fixwatch
