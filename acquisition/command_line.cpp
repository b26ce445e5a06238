#include "command_line.h"

#include "number_text.h"
#include "text_fields.h"

#include <algorithm>
#include <array>
#include <vector>

#ifndef FIXWATCH_VERSION
#error "FIXWATCH_VERSION must be defined by the build"
#endif

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

std::string CommandLineText(int argc, const char* const* argv)
{
    std::string text;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            text += ' ';
        text += argv[i];
    }
    return std::string(TrimBlanks(text));
}

std::optional<std::string> InformationRequest(std::string_view commandLine)
{
    if (commandLine == "--help")
        return UsageText();
    if (commandLine == "--version")
        return VersionLine();
    return std::nullopt;
}

std::string UsageText()
{
    return "Usage: fixwatch [/OPTION]...\n"
           "  or:  fixwatch --list-ports | --help | --version\n"
           "\n"
           "Shows the fix of an NMEA-0183 GPS receiver on a serial port, a gpsd, a TCP\n"
           "server or UDP datagrams. Acquisition starts when you press Start (F5).\n"
           "\n"
           "Options are case-insensitive; a later one overrides an earlier one; one that\n"
           "is not understood is named on standard error and ignored.\n"
           "  /Cn           port n, 1 to 255 (default 1; see PORTS below)\n"
           "  /Sb,p,d,s     line settings of a serial port (default 4800,N,8,1): baud 150,\n"
           "                300, 600, 1200, 2400, 4800, 9600, 19200, 38400, 57600 or\n"
           "                115200; parity N, E or O; data bits 5 to 8; stop bits 1,\n"
           "                1.5 (5 data bits only) or 2\n"
           "  /Hn           handshaking: 0 none, 1 XON/XOFF, 2 RTS/CTS, 3 both (default 0)\n"
           "  /D+ /D-       DTR on or off (default off)\n"
           "  /R+ /R-       RTS on or off (default off)\n"
           "  /N+ /N-       discard received NUL characters or keep them (default keep)\n"
           "  /B+ /B-       show or hide the checksum calculator button (default hidden)\n"
           "  /G+ /G-       All GNSS: read the sentences of every satellite system (GN, GL,\n"
           "                GA, GB, BD, GQ, QZ and GI talkers), not only GPS (default off)\n"
           "  --list-ports  print the numbered ports of this machine and exit\n"
           "  --help        show this text and exit\n"
           "  --version     show the version and exit\n"
           "\n"
           "Ports: port n is the device or address named by the environment variable\n"
           "FIXWATCH_COMn when it is set; otherwise the n-th serial port of this machine,\n"
           "USB receivers first (ttyACM*, then ttyUSB*), then on-board ports (ttyS*,\n"
           "ttyAMA*, ...), then others; a gpsd answering on localhost comes after them.\n"
           "On a machine with one USB receiver, port 1 is that receiver. A port can also\n"
           "be gpsd://HOST[:PORT][/DEVICE], tcp://HOST:PORT or udp://[ADDRESS]:PORT;\n"
           "a gpsd is watched on one device: DEVICE, or else the first it has. E.g.\n"
           "\n"
           "  FIXWATCH_COM2=gpsd://localhost fixwatch /C2\n";
}

std::string VersionLine()
{
    return "fixwatch " FIXWATCH_VERSION "\n";
}

} // namespace fixwatch
