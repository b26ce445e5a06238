// fixwatch-events: shows what the interpreter makes of a stream of NMEA-0183 sentences.
#include "event_printer.h"
#include "events_offline.h"
#include "nmea_interpreter.h"
#include "position_printer.h"
#include "sky.h"
#include "sky_signals.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr const char* kUsage =
    "Usage: fixwatch-events [--gnss | --sky | --signals] [--position-format=FORMAT] [FILE]...\n"
    "  or:  fixwatch-events [--gnss] --accuracy [--reference LAT,LON] [FILE]...\n"
    "  or:  fixwatch-events [--gnss] (--gpx | --kml | --csv) [--date YYYY-MM-DD] [FILE]...\n"
    "  or:  fixwatch-events [--gnss] --compare [--date YYYY-MM-DD] A B\n"
    "Reads NMEA-0183 sentences from each FILE in order, or from standard input when no FILE\n"
    "is given, one sentence per line (LF or CR LF line ends), and prints what the interpreter\n"
    "makes of each line: one line per event raised (the event name and its parameters,\n"
    "separated by TAB), then \"Parse<TAB>true\" or \"Parse<TAB>false\".\n"
    "A last line without LF ends with its file.\n"
    "\n"
    "  --gnss     read the sentences of every satellite system, as the All GNSS option does:\n"
    "             a GGA, GLL, GSA, GSV, RMC or VTG from the GN, GL, GA, GB, BD, GQ, QZ or GI\n"
    "             talker is read as the same sentence from GP; the output is the same\n"
    "  --sky      read the satellites in view of every system from the GSV and GSA sentences\n"
    "             and, when the input ends, print only the sky: one line per satellite in\n"
    "             system then number order, SKY<TAB>system<TAB>number<TAB>elevation<TAB>\n"
    "             azimuth<TAB>signal<TAB>used, where system is GPS, SBAS, GLONASS, Galileo,\n"
    "             BeiDou, QZSS or NavIC, number is as the sentences send it, signal is the\n"
    "             strongest signal-to-noise ratio in dB-Hz, a value the receiver left empty is\n"
    "             empty, and used is 1 when a GSA lists the satellite, else 0\n"
    "  --signals  read the sky as --sky does and, when the input ends, print only the signals\n"
    "             of each satellite in view, one line per signal in system, number, then\n"
    "             signal order: SIGNAL<TAB>system<TAB>number<TAB>id<TAB>name<TAB>C/N0, where\n"
    "             system and number are as --sky prints them, id is the GSV's signal ID as sent\n"
    "             (one hexadecimal digit; - for a GSV without one, ? for a field that is not\n"
    "             one digit), name the signal's name (\"L1 C/A\", \"E5a\", ...; empty for an\n"
    "             ID outside the NMEA 4.11 table) and C/N0 in dB-Hz (empty when not tracked)\n"
    "  --position-format=FORMAT\n"
    "             print only the positions: for each position event (GGA, RMC or GLL with\n"
    "             both coordinates) one line \"position: TEXT\", TEXT being the window's\n"
    "             latitude and longitude texts in FORMAT joined by one blank: sent (degrees\n"
    "             and minutes as worded), dd, dms, utm (zone and band, easting, northing in\n"
    "             metres), mgrs (1 m) or locator (six characters); a position that does not\n"
    "             read as numbers in range is printed as sent, a control character as \\xNN\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n"
    "  --         end of options: every later argument is a FILE\n"
    "\n"
    "Exit status: 0 on success, 2 when a file cannot be read or an option is unknown.\n";

enum class Mode {

    Events,

    AllSystemsEvents,

    Sky,

    Signals,

};

class Dumper {
public:
    Dumper(Mode mode, std::optional<fixwatch::CoordinateFormat> positionFormat)
        : mode_(mode), printer_(out_),
          positions_(out_, positionFormat.value_or(fixwatch::CoordinateFormat::Sent)),
          positionsOnly_(positionFormat.has_value()),
          gps_(positionsOnly_ ? static_cast<fixwatch::NmeaEvents&>(positions_) : printer_,
               mode == Mode::Events ? fixwatch::Talkers::GpsOnly : fixwatch::Talkers::AllSystems)
    {
        out_.reserve(kFlushSize + 4096);
    }

    // Feeds `chunk`; complete lines go to the interpreter where they stand in the chunk, and
    // only a line cut by the chunk's end waits in pending_ for the rest.
    void Feed(std::string_view chunk)
    {
        std::size_t start = 0;
        if (!pending_.empty()) {
            const std::size_t lf = chunk.find('\n');
            pending_.append(chunk.substr(0, lf));
            if (lf == std::string_view::npos)
                return;
            Line(pending_);
            pending_.clear();
            start = lf + 1;
        }
        for (std::size_t lf; (lf = chunk.find('\n', start)) != std::string_view::npos; start = lf + 1)
            Line(chunk.substr(start, lf - start));
        pending_.append(chunk.substr(start));
        Flush(false);
    }

    // A last line without LF is still a line; it ends with its file.
    void Finish()
    {
        if (!pending_.empty())
            Line(pending_);
        pending_.clear();
        Flush(true);
    }

    // With --sky, the sky as the whole input left it.
    void PrintSky()
    {
        for (const fixwatch::SkySatellite& s : sky_.Satellites()) {
            out_ += "SKY\t";
            out_ += fixwatch::SystemName(s.system);
            out_ += '\t' + std::to_string(s.number);
            for (const auto& value : {s.elevation, s.azimuth, s.signal}) {
                out_ += '\t';
                if (value)
                    out_ += std::to_string(*value);
            }
            out_ += s.used ? "\t1\n" : "\t0\n";
        }
        Flush(true);
    }

    // With --signals, each satellite's signals as the whole input left them.
    void PrintSignals()
    {
        for (const fixwatch::SkySatellite& s : sky_.Satellites()) {
            for (const fixwatch::SkySignal& signal : s.Signals()) {
                out_ += "SIGNAL\t";
                out_ += fixwatch::SystemName(s.system);
                out_ += '\t' + std::to_string(s.number) + '\t';
                out_ += signal.id == 0 ? '-' : signal.id;
                out_ += '\t';
                out_ += fixwatch::SignalName(s.system, signal.id);
                out_ += '\t';
                if (const auto cn0 = signal.Cn0())
                    out_ += std::to_string(*cn0);
                out_ += '\n';
            }
        }
        Flush(true);
    }

private:
    void Line(std::string_view line)
    {
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (mode_ == Mode::Sky || mode_ == Mode::Signals)
            sky_.Feed(line);
        else if (positionsOnly_)
            gps_.Parse(line);
        else
            out_ += gps_.Parse(line) ? "Parse\ttrue\n" : "Parse\tfalse\n";
    }

    void Flush(bool always)
    {
        if (always || out_.size() >= kFlushSize) {
            std::fwrite(out_.data(), 1, out_.size(), stdout);
            out_.clear();
        }
    }

    static constexpr std::size_t kFlushSize = 1u << 16;

    Mode mode_;
    std::string out_;
    std::string pending_;
    fixwatch::EventPrinter printer_;
    fixwatch::PositionPrinter positions_;
    bool positionsOnly_;
    fixwatch::NmeaInterpreter gps_;
    fixwatch::Sky sky_;
};

bool DumpStream(std::FILE* in, Dumper& dumper)
{
    char buffer[1 << 16];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0)
        dumper.Feed(std::string_view(buffer, n));
    return !std::ferror(in);
}

} // namespace

int main(int argc, char** argv)
{
    if (const auto status = fixwatch::events::RunOfflineMode(argc, argv))
        return *status;
    Mode mode = Mode::Events;
    std::optional<fixwatch::CoordinateFormat> positionFormat;
    std::vector<const char*> files;
    bool options = true;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (options && (argument == "--help" || argument == "-h")) {
            std::fputs(kUsage, stdout);
            std::fputs(fixwatch::events::kOfflineUsage, stdout);
            return 0;
        }
        if (options && argument == "--version") {
            std::puts("fixwatch-events " FIXWATCH_VERSION);
            return 0;
        }
        if (options && argument == "--gnss") {
            if (mode != Mode::Sky && mode != Mode::Signals)
                mode = Mode::AllSystemsEvents;
        } else if (options && argument == "--sky") {
            mode = Mode::Sky;
        } else if (options && argument == "--signals") {
            mode = Mode::Signals;
        } else if (options && argument.starts_with("--position-format=")) {
            positionFormat = fixwatch::CoordinateFormatNamed(argument.substr(18));
            if (!positionFormat) {
                std::fprintf(stderr, "fixwatch-events: --position-format takes sent, dd, dms, utm, "
                                     "mgrs or locator (see --help)\n");
                return 2;
            }
        } else if (options && argument == "--") {
            options = false;
        } else if (options && argument.size() > 2 && argument.substr(0, 2) == "--") {
            std::fprintf(stderr, "fixwatch-events: unknown option %s (see --help)\n", argv[i]);
            return 2;
        } else {
            files.push_back(argv[i]);
        }
    }

    Dumper dumper(mode, positionFormat);
    if (files.empty()) {
        bool ok = DumpStream(stdin, dumper);
        dumper.Finish();
        if (!ok) {
            std::fprintf(stderr, "fixwatch-events: cannot read standard input\n");
            return 2;
        }
    }
    for (const char* file : files) {
        std::FILE* in = std::fopen(file, "rb");
        bool ok = in != nullptr && DumpStream(in, dumper);
        const int error = errno;
        if (in)
            std::fclose(in);
        dumper.Finish();
        if (!ok) {
            std::fflush(stdout);
            std::fprintf(stderr, "fixwatch-events: cannot read %s: %s\n", file, std::strerror(error));
            return 2;
        }
    }
    if (mode == Mode::Sky)
        dumper.PrintSky();
    else if (mode == Mode::Signals)
        dumper.PrintSignals();
    return 0;
}
