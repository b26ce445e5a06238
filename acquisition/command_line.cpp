#include "command_line.h"

#include "number_text.h"
#include "text_fields.h"

#include <algorithm>
#include <array>
#include <vector>

namespace fixwatch {
namespace {

std::string UpperCase(std::string_view text)
{
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

std::string WithoutLetter(std::string_view item, char letter)
{
    std::string rest(item);
    std::erase(rest, letter);
    return rest;
}

// The number after the option letter of "/C" or "/H", less `offset`, stored in `member`
// when it fits 16 bits (else the member keeps its value); a value outside [0, last]
// then gives 0.
void ReadIndexOption(std::string_view item, char letter, double offset, std::int16_t last,
                     std::int16_t& member)
{
    const std::string rest = WithoutLetter(item, letter);
    if (const auto value = RoundToInt16(LeadingNumber(TrimBlanks(rest)) - offset))
        member = *value;
    if (member < 0 || member > last)
        member = 0;
}

template <std::size_t N>
std::int16_t IndexOf(std::string_view text, const std::array<std::string_view, N>& list,
                     std::int16_t fallback)
{
    const auto found = std::find(list.begin(), list.end(), text);
    return found == list.end() ? fallback : static_cast<std::int16_t>(found - list.begin());
}

// "/S" fields: baud, parity, data bits, stop bits. A field the item leaves out keeps the
// text an earlier "/S" item of the same command line gave it.
void ReadLineSettings(std::string_view item, std::array<std::string, 4>& fields,
                      SerialSettings& settings)
{
    const std::string rest = WithoutLetter(item, 'S');
    const auto given = SplitAt(TrimBlanks(rest), ',');
    for (std::size_t i = 0; i < fields.size() && i < given.size(); ++i)
        fields[i] = std::string(TrimBlanks(given[i]));
    const SerialSettings defaults;
    settings.baudIndex = IndexOf(fields[0], kBaudCaptions, defaults.baudIndex);
    settings.parityIndex = IndexOf(fields[1], kParityTags, defaults.parityIndex);
    settings.dataBitsIndex = IndexOf(fields[2], kDataBitsCaptions, defaults.dataBitsIndex);
    settings.stopBitsIndex = IndexOf(fields[3], kStopBitsCaptions, defaults.stopBitsIndex);
}

} // namespace

CommandLineOptions ApplyCommandLine(std::string_view commandLine)
{
    CommandLineOptions options;
    SerialSettings& s = options.settings;
    std::array<std::string, 4> lineFields;

    const auto pieces = SplitAt(commandLine, '/');
    if (const auto before = TrimBlanks(pieces.front()); !before.empty())
        options.warnings.push_back("fixwatch: ignoring " + std::string(before)
                                   + ": options begin with /");
    for (std::size_t i = 1; i < pieces.size(); ++i) {
        const std::string upper = UpperCase(pieces[i]);
        const std::string_view item = TrimBlanks(upper);
        if (item.empty())
            continue;
        switch (item.front()) {
        case 'C':
            ReadIndexOption(item, 'C', 1.0, kPortCount - 1, s.portIndex);
            continue;
        case 'S':
            ReadLineSettings(item, lineFields, s);
            continue;
        case 'H':
            ReadIndexOption(item, 'H', 0.0, kHandshakingItems.size() - 1, s.handshakingIndex);
            continue;
        default:
            break;
        }
        if (item == "D+" || item == "D-")
            s.dtrEnable = item[1] == '+';
        else if (item == "R+" || item == "R-")
            s.rtsEnable = item[1] == '+';
        else if (item == "N+" || item == "N-")
            s.nullDiscard = item[1] == '+';
        else if (item == "B+" || item == "B-")
            options.checksumButtonVisible = item[1] == '+';
        else if (item == "G+" || item == "G-")
            s.allGnss = item[1] == '+';
        else
            options.warnings.push_back("fixwatch: ignoring /" + std::string(TrimBlanks(pieces[i]))
                                       + ": not an option");
    }
    return options;
}

} // namespace fixwatch
