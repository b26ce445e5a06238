#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace fixwatch {

class NmeaInterpreter;

// Joins the text of successive serial reads and hands every complete line to a receiver.
//
// A read that begins with "$" replaces everything kept so far; any other read, an empty one
// included, is appended. The whole buffer is then cut at each CR LF; every piece but the last
// is stripped of blanks and, when something is left, handed on. The buffer is not cut back
// after a call, so complete lines are handed on again at every call until a read beginning
// with "$" replaces them: the receiver sees the latest values again at each poll.
//
// The buffer never grows past kMaxBufferLength characters: a stream whose reads never begin
// with "$" (a wrong speed, a receiver whose reads start mid-sentence) would otherwise grow it,
// and the cost of each call, without end. Past the cap whole lines are dropped from the front
// and an unfinished line that is still too long keeps only its newest characters.
class SentenceAssembler {
public:
    using LineReceiver = std::function<void(std::string_view line)>;

    // Four seconds of a 38400-baud line.
    static constexpr std::size_t kMaxBufferLength = 16384;

    explicit SentenceAssembler(LineReceiver receiver);
    // Hands each line to gps.Parse; gps must outlive the assembler.
    explicit SentenceAssembler(const NmeaInterpreter& gps);

    void HandleInput(std::string_view sInput);

    // The text kept between calls; bytes, one character each, as received.
    const std::string& lineBuffer() const { return lineBuffer_; }

private:
    void LimitBuffer();

    LineReceiver receiver_;
    std::string lineBuffer_;
};

} // namespace fixwatch
