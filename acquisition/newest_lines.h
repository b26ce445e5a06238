#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace fixwatch {

// Received text kept until it is read, bounded: when more comes than the bound holds, the
// oldest text goes, and with it the rest of the line it cut into, so that what is kept
// begins where a line begins and no line is ever joined to a piece of another. A line
// ends at LF or CR. What went is counted.
class NewestLines {
public:
    explicit NewestLines(std::size_t limit)
        : limit_(limit)
    {
    }

    void Append(std::string_view more)
    {
        if (skipLf_ && !more.empty()) {
            // The LF of a CR LF whose CR went with a cut.
            skipLf_ = false;
            if (more.front() == '\n') {
                ++dropped_;
                more.remove_prefix(1);
            }
        }
        if (cutLine_) {
            const auto end = more.find_first_of("\r\n");
            if (end == std::string_view::npos) {
                dropped_ += more.size();
                return;
            }
            cutLine_ = false;
            const std::size_t from = EndOfLine(more, end);
            dropped_ += from;
            more.remove_prefix(from);
        }
        kept_.append(more);
        if (kept_.size() <= limit_)
            return;
        // The oldest byte that must go, and everything up to the end of its line.
        const auto end = kept_.find_first_of("\r\n", kept_.size() - limit_ - 1);
        if (end == std::string::npos) {
            dropped_ += kept_.size();
            kept_.clear();
            cutLine_ = true;
            return;
        }
        const std::size_t from = EndOfLine(kept_, end);
        dropped_ += from;
        kept_.erase(0, from);
    }

    // What is kept, oldest first; empty afterwards.
    std::string Take()
    {
        std::string text = std::move(kept_);
        kept_.clear();
        return text;
    }

    void Clear()
    {
        kept_.clear();
        cutLine_ = false;
        skipLf_ = false;
    }

    std::size_t Size() const { return kept_.size(); }
    // Bytes that went unread since this object was made.
    std::uint64_t Dropped() const { return dropped_; }

private:
    // Where the line ending at `end` (a CR or LF in `text`) stops, its CR LF taken whole.
    std::size_t EndOfLine(std::string_view text, std::size_t end)
    {
        std::size_t from = end + 1;
        if (text[end] == '\r') {
            if (from == text.size())
                skipLf_ = true;
            else if (text[from] == '\n')
                ++from;
        }
        return from;
    }

    std::size_t limit_;
    std::string kept_;
    bool cutLine_ = false; // the start of the line now arriving went
    bool skipLf_ = false;  // a cut ended at a CR whose LF has not come yet
    std::uint64_t dropped_ = 0;
};

} // namespace fixwatch
