// Feeds arbitrary command lines to the program's argument reading: the input is cut at NUL
// bytes into arguments, which go through the long options and then the "/" options. Any
// crash or sanitizer report is a bug, and so is a setting out of its range, an error
// without its text, or an error text with a control character that would reach the terminal.
#include "command_line.h"
#include "program_arguments.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

void Check(bool promise)
{
    if (!promise)
        std::abort();
}

template <std::size_t N>
void CheckIndex(std::int16_t index, const std::array<std::string_view, N>&)
{
    Check(index >= 0 && static_cast<std::size_t>(index) < N);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> arguments;
    for (std::size_t start = 0; start <= input.size() && arguments.size() < 64;) {
        std::size_t end = input.find('\0', start);
        if (end == std::string_view::npos)
            end = input.size();
        arguments.emplace_back(input.substr(start, end - start));
        start = end + 1;
    }

    const fixwatch::ProgramArguments read(arguments);
    if (read.Asked() == fixwatch::ProgramArguments::Request::Error)
        Check(!read.Error().empty());

    const fixwatch::CommandLineOptions options = fixwatch::ApplyCommandLine(read.CommandLine());
    const fixwatch::SerialSettings& s = options.settings;
    Check(s.portIndex >= 0 && s.portIndex < fixwatch::kPortCount);
    CheckIndex(s.baudIndex, fixwatch::kBaudCaptions);
    CheckIndex(s.parityIndex, fixwatch::kParityTags);
    CheckIndex(s.dataBitsIndex, fixwatch::kDataBitsCaptions);
    CheckIndex(s.stopBitsIndex, fixwatch::kStopBitsCaptions);
    CheckIndex(s.handshakingIndex, fixwatch::kHandshakingItems);
    Check(options.warnings.size() <= read.CommandLine().size() + 1);
    return 0;
}
