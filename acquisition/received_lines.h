#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace fixwatch {

// Cuts received text into the lines a receiver sent, whatever ends them: CR LF, LF alone
// or CR alone, also when a line end is split between two reads. Each line is handed on once,
// without its end and the blanks around it, and told whether it ended in LF alone, so that
// the recorder and the console lose no line that the interpreter does not read.
//
// A read that begins with "$" starts a new line, as it does for the line assembler: the
// unfinished text before it is dropped rather than joined to it. A line longer than
// kMaxLineLength is dropped whole, so memory stays bounded whatever comes.
class ReceivedLines {
public:
    using LineReceiver = std::function<void(std::string_view line, bool lfOnly)>;

    static constexpr std::size_t kMaxLineLength = 32768;

    explicit ReceivedLines(LineReceiver receiver);

    void HandleInput(std::string_view text);
    // Forgets the unfinished line: the text that follows does not continue it.
    void DropUnfinished();
    void Clear();

private:
    void EndLine(bool lfOnly);

    LineReceiver receiver_;
    std::string line_;
    bool afterCr_ = false; // the last byte was a CR that ended a line
    bool tooLong_ = false; // the line now arriving is dropped
};

} // namespace fixwatch
