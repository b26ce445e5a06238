#include "received_lines.h"

#include "text_fields.h"

#include <utility>

namespace fixwatch {

ReceivedLines::ReceivedLines(LineReceiver receiver)
    : receiver_(std::move(receiver))
{
}

void ReceivedLines::HandleInput(std::string_view text)
{
    if (!text.empty() && text.front() == '$')
        DropUnfinished();
    for (const char c : text) {
        if (c == '\n') {
            // The LF of a CR LF whose CR ended the line already.
            if (afterCr_) {
                afterCr_ = false;
                continue;
            }
            EndLine(true);
        } else if (c == '\r') {
            // Ended at once: a receiver that ends lines in CR alone is not kept waiting.
            EndLine(false);
            afterCr_ = true;
        } else {
            afterCr_ = false;
            if (tooLong_)
                continue;
            if (line_.size() == kMaxLineLength) {
                line_.clear();
                tooLong_ = true;
                continue;
            }
            line_ += c;
        }
    }
}

void ReceivedLines::EndLine(bool lfOnly)
{
    const bool dropped = std::exchange(tooLong_, false);
    if (!dropped && receiver_) {
        const std::string_view line = TrimBlanks(line_);
        if (!line.empty())
            receiver_(line, lfOnly);
    }
    line_.clear();
}

void ReceivedLines::DropUnfinished()
{
    line_.clear();
    tooLong_ = false;
}

void ReceivedLines::Clear()
{
    DropUnfinished();
    afterCr_ = false;
}

} // namespace fixwatch
