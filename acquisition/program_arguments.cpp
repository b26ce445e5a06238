#include "program_arguments.h"

#include "text_fields.h"

#include <QStringList>

#include <algorithm>

#ifndef FIXWATCH_VERSION
#error "FIXWATCH_VERSION must be defined by the build"
#endif

namespace fixwatch {
namespace {

// Where the explanations of the usage text begin, and where its lines end.
constexpr std::size_t kHelpColumn = 16;
constexpr std::size_t kUsageWidth = 79;

// `help` broken at blanks into lines that end before kUsageWidth, every line after the first
// indented to kHelpColumn.
std::string Wrapped(std::string_view help)
{
    std::string text;
    std::size_t column = kHelpColumn;
    while (!help.empty()) {
        const std::size_t blank = help.find(' ');
        const std::string_view word = help.substr(0, blank);
        if (column > kHelpColumn && column + 1 + word.size() > kUsageWidth) {
            text += "\n" + std::string(kHelpColumn, ' ');
            column = kHelpColumn;
        } else if (column > kHelpColumn) {
            text += ' ';
            ++column;
        }
        text += word;
        column += word.size();
        help = blank == std::string_view::npos ? std::string_view() : help.substr(blank + 1);
    }
    return text;
}

const LongOption* Find(std::string_view name)
{
    for (const LongOption& option : kLongOptions)
        if (name == option.name)
            return &option;
    return nullptr;
}

// The options Qt's application object takes out of the arguments itself (QGuiApplication,
// QApplication and the X11 platform), each of which it accepts with one or two dashes. Before
// that object exists they are not unknown: they are Qt's.
// clang-format off
constexpr std::string_view kQtOptions[] = {
    "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "qwindowicon",
    "qwindowtitle", "reverse", "session", "style", "stylesheet", "widgetcount", "qmljsdebugger",
    "testability", "nograb", "dograb", "display", "geometry", "title", "name", "visual", "ncols",
    "cmap", "icon",
};
// clang-format on

bool OwnedByQt(const QString& name)
{
    const std::string text = name.toStdString();
    return std::find(std::begin(kQtOptions), std::end(kQtOptions), text) != std::end(kQtOptions);
}

bool IsLongOption(std::string_view argument)
{
    return argument.size() > 2 && argument.starts_with("--");
}

} // namespace

ProgramArguments::ProgramArguments(int argc, const char* const* argv)
    : ProgramArguments(std::vector<std::string>(argv + std::min(argc, 1), argv + argc))
{
}

ProgramArguments::ProgramArguments(const std::vector<std::string>& arguments)
{
    for (const LongOption& option : kLongOptions) {
        const QString name = QString::fromLatin1(option.name);
        parser_.addOption(option.valueName ? QCommandLineOption(name, QString::fromUtf8(option.help),
                                                                QString::fromLatin1(option.valueName))
                                           : QCommandLineOption(name, QString::fromUtf8(option.help)));
    }

    QStringList longOptions{QStringLiteral("fixwatch")};
    std::string slashOptions;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (!IsLongOption(argument)) {
            slashOptions += (slashOptions.empty() ? "" : " ") + argument;
            continue;
        }
        longOptions.append(QString::fromLocal8Bit(argument));
        // "--name VALUE": the value is the next argument, whatever it looks like.
        const LongOption* option = Find(std::string_view(argument).substr(2));
        if (option && option->valueName && i + 1 < arguments.size())
            longOptions.append(QString::fromLocal8Bit(arguments[++i]));
    }
    commandLine_ = std::string(TrimBlanks(slashOptions));

    const bool understood = parser_.parse(longOptions);
    if (parser_.isSet(QStringLiteral("help")))
        asked_ = Request::Help;
    else if (parser_.isSet(QStringLiteral("version")))
        asked_ = Request::Version;
    else if (parser_.isSet(QStringLiteral("list-ports")))
        asked_ = Request::ListPorts;
    else if (!understood) {
        const QStringList unknown = parser_.unknownOptionNames();
        if (!unknown.isEmpty() && std::all_of(unknown.begin(), unknown.end(), OwnedByQt))
            return; // the window's Qt takes these; they are read again once it has
        asked_ = Request::Error;
        const auto notQt = std::find_if_not(unknown.begin(), unknown.end(), OwnedByQt);
        error_ = "fixwatch: "
                 + (notQt == unknown.end() ? parser_.errorText().toStdString()
                                           : "unknown option --" + notQt->toStdString())
                 + " (see --help)";
    }
}

std::string UsageText()
{
    std::string text =
        "Usage: fixwatch [/OPTION]...\n"
        "  or:  fixwatch --list-ports | --help | --version\n"
        "\n"
        "Shows the fix of an NMEA-0183 GPS receiver on a serial port, a gpsd, a TCP\n"
        "server or UDP datagrams, or replays a recording of one. Acquisition starts\n"
        "when you press Start (F5).\n"
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
        "                GA, GB, BD, GQ, QZ and GI talkers), not only GPS (default off)\n";
    for (const LongOption& option : kLongOptions) {
        std::string name = std::string("  --") + option.name;
        if (option.valueName)
            name += std::string("=") + option.valueName;
        name += name.size() + 2 > kHelpColumn ? "\n" + std::string(kHelpColumn, ' ')
                                              : std::string(kHelpColumn - name.size(), ' ');
        text += name + Wrapped(option.help) + "\n";
    }
    text += "\n"
            "Ports: port n is the device or address named by the environment variable\n"
            "FIXWATCH_COMn when it is set; otherwise the n-th serial port of this machine,\n"
            "USB receivers first (ttyACM*, then ttyUSB*), then on-board ports (ttyS*,\n"
            "ttyAMA*, ...), then others; a gpsd answering on localhost comes after them.\n"
            "On a machine with one USB receiver, port 1 is that receiver. A port can also\n"
            "be gpsd://HOST[:PORT][/DEVICE], tcp://HOST:PORT or udp://[ADDRESS]:PORT;\n"
            "a gpsd is watched on one device: DEVICE, or else the first it has. A port\n"
            "named file:///PATH (or the path of a regular file) replays that recording\n"
            "at the pace of its sentences' UTC times. E.g.\n"
            "\n"
            "  FIXWATCH_COM2=gpsd://localhost fixwatch /C2\n"
            "  FIXWATCH_COM3=file:///home/me/capture.nmea fixwatch /C3\n";
    return text;
}

std::string VersionLine()
{
    return "fixwatch " FIXWATCH_VERSION "\n";
}

} // namespace fixwatch
