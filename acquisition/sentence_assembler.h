#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace fixwatch {

// Joins the text of successive reads and hands every complete line to a receiver.
//
// A read that begins with "$" replaces everything kept so far; any other read, an empty one
// included, is appended. The whole buffer is then cut at each CR LF; every piece but the last
// is stripped of blanks and, when something is left, handed on. The buffer is not cut back
// after a call, so complete lines are handed on again at every call until a read beginning
// with "$" replaces them: the receiver sees the latest values again at each poll. The
// receiver is told which lines it sees for the first time ("fresh"), so that it can count
// what arrived without counting the repeats.
//
// Every complete line is handed on before the buffer is limited to kMaxBufferLength
// characters: a stream whose reads never begin with "$" (a wrong speed, a receiver whose
// reads start mid-sentence) would otherwise grow it, and the cost of each call, without end.
// Past the cap whole lines are dropped from the front and an unfinished line that is still
// too long keeps only its newest characters.
class SentenceAssembler {
public:
    using LineReceiver = std::function<void(std::string_view line, bool fresh)>;

    // Two seconds and more of the fastest line offered, 115200 baud (11,520 characters a
    // second).
    static constexpr std::size_t kMaxBufferLength = 32768;

    explicit SentenceAssembler(LineReceiver receiver);
    explicit SentenceAssembler(std::function<void(std::string_view line)> receiver);

    void HandleInput(std::string_view sInput);

    // Forgets the kept text, as if nothing had been received.
    void Clear();
    // Forgets the unfinished line after the last CR LF: received text was lost after it, so
    // what comes next does not continue it.
    void DropUnfinished();

    // The text kept between calls; bytes, one character each, as received.
    const std::string& lineBuffer() const { return lineBuffer_; }

private:
    void LimitBuffer();

    LineReceiver receiver_;
    std::string lineBuffer_;
    std::size_t handedOn_ = 0; // complete lines before this offset were handed on before
};

} // namespace fixwatch
