// Feeds arbitrary reads to HandleInput. The input is cut into reads: each starts with a
// length byte, then that many bytes. The reads are sent several times over so that even a
// short input can reach the buffer's cap. Any crash or sanitizer report is a bug, and so is a
// buffer past its cap or a handed-on line that is empty, has blanks at its ends or holds
// a CR LF.
#include "sentence_assembler.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The interpreter has a fuzz target of its own; here only the lines are checked.
    fixwatch::SentenceAssembler assembler([](std::string_view line) {
        if (line.empty() || line.front() == ' ' || line.back() == ' '
            || line.find("\r\n") != std::string_view::npos)
            std::abort();
    });
    constexpr int kRepeats = 8;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    for (int repeat = 0; repeat < kRepeats; ++repeat) {
        std::size_t at = 0;
        while (at < input.size()) {
            const std::size_t length = static_cast<unsigned char>(input[at++]);
            const std::string_view read = input.substr(at, length);
            at += read.size();
            assembler.HandleInput(read);
            if (assembler.lineBuffer().size() > fixwatch::SentenceAssembler::kMaxBufferLength)
                std::abort();
        }
    }
    return 0;
}
