#pragma once

#include <QCommandLineParser>
#include <QString>

#include <string>
#include <vector>

namespace fixwatch {

// One long option of the program: --name, or --name=VALUE when it takes a value.
struct LongOption {
    const char* name;
    const char* valueName; // nullptr for a switch
    const char* help;      // one line of the usage text
};

// The long options, one row each; the usage text lists them in this order. A new option is
// one more row, read at start-up with ProgramArguments::Value or IsSet.
inline constexpr LongOption kLongOptions[] = {
    {"coordinates", "FORMAT",
     "show the position as sent (degrees and minutes, the default), in dd (decimal degrees), "
     "dms (degrees, minutes, seconds), utm, mgrs or locator (Maidenhead); as View > Coordinates"},
    {"units", "SET",
     "metric (the default), imperial (mph, feet) or nautical (knots first); as View > Units. "
     "The log records the default texts"},
    {"record", nullptr, "record every received sentence from the first Start; as File > Record sentences"},
    {"start", nullptr, "press Start at launch, with the port and settings of the / options"},
    {"alarm", "KIND[:VALUE]",
     "arm an alarm, as the Alarms menu does; repeatable: no-data[:SECONDS] (default 5), "
     "fix-lost, fix-degraded, hdop[:LIMIT] (2.5), satellites[:COUNT] (6), "
     "anchor[:METRES[@LAT,LON]] (30, from the position when armed), date"},
    {"tab", "NAME", "show that tab at launch: position, general, satellites, communication, sky, "
                    "signals, history, accuracy, compare, alarms or console"},
    {"compare-with", "N", "read port N as receiver B on the Compare tab, beside the window's port; as Receiver B there"},
    {"list-ports", nullptr, "print the numbered ports of this machine and exit"},
    {"help", nullptr, "show this text and exit"},
    {"version", nullptr, "show the version and exit"},
};

// What the program's arguments ask for. Arguments that begin with "--" are the long options
// (read by QCommandLineParser); every other argument belongs to the "/" options of the
// window, which are joined with single blanks as one command line (see ApplyCommandLine).
// The information options (--help, --version, --list-ports) are answered wherever they
// stand and whatever else is given, without a window.
class ProgramArguments {
public:
    enum class Request {
        Window,
        Help,
        Version,
        ListPorts,
        Error,
    };

    // `arguments` are argv[1] to argv[argc - 1], as given.
    explicit ProgramArguments(const std::vector<std::string>& arguments);
    ProgramArguments(int argc, const char* const* argv);

    // --help before --version before --list-ports; then Error for a long option that is not
    // understood, else the window.
    Request Asked() const { return asked_; }
    // "fixwatch: unknown option --frob (see --help)" when Asked() is Error.
    const std::string& Error() const { return error_; }
    // The "/" options as one text stripped of blanks at both ends, for ApplyCommandLine.
    const std::string& CommandLine() const { return commandLine_; }

    bool IsSet(const QString& name) const { return parser_.isSet(name); }
    QString Value(const QString& name) const { return parser_.value(name); }
    // Every value of an option given more than once, in order.
    QStringList Values(const QString& name) const { return parser_.values(name); }

private:
    QCommandLineParser parser_;
    std::string commandLine_;
    std::string error_;
    Request asked_ = Request::Window;
};

// The text --help prints: the "/" options, then the long options of kLongOptions.
std::string UsageText();
// "fixwatch 1.2.3" and a line end, for --version.
std::string VersionLine();

} // namespace fixwatch
