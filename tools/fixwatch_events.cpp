// fixwatch-events: shows what the interpreter makes of a stream of NMEA-0183 sentences.
#include "event_printer.h"
#include "nmea_interpreter.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

namespace {

constexpr const char* kUsage =
    "Usage: fixwatch-events [FILE]...\n"
    "Reads NMEA-0183 sentences from each FILE in order, or from standard input when no FILE\n"
    "is given, one sentence per line (LF or CR LF line ends), and prints what the interpreter\n"
    "makes of each line: one line per event raised (the event name and its parameters,\n"
    "separated by TAB), then \"Parse<TAB>true\" or \"Parse<TAB>false\".\n"
    "A last line without LF ends with its file.\n"
    "\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n"
    "\n"
    "Exit status: 0 on success, 2 when a file cannot be read.\n";

class Dumper {
public:
    Dumper() : printer_(out_), gps_(printer_) {}

    // Feeds `chunk`; complete lines go to the interpreter, the rest waits for more input.
    void Feed(std::string_view chunk)
    {
        pending_.append(chunk);
        std::size_t start = 0;
        for (std::size_t lf; (lf = pending_.find('\n', start)) != std::string::npos; start = lf + 1)
            Line(std::string_view(pending_).substr(start, lf - start));
        pending_.erase(0, start);
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

private:
    void Line(std::string_view line)
    {
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        out_ += gps_.Parse(line) ? "Parse\ttrue\n" : "Parse\tfalse\n";
    }

    void Flush(bool always)
    {
        if (always || out_.size() >= (1u << 16)) {
            std::fwrite(out_.data(), 1, out_.size(), stdout);
            out_.clear();
        }
    }

    std::string out_;
    std::string pending_;
    fixwatch::EventPrinter printer_;
    fixwatch::NmeaInterpreter gps_;
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
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::puts("fixwatch-events " FIXWATCH_VERSION);
            return 0;
        }
    }

    Dumper dumper;
    if (argc < 2) {
        bool ok = DumpStream(stdin, dumper);
        dumper.Finish();
        if (!ok) {
            std::fprintf(stderr, "fixwatch-events: cannot read standard input\n");
            return 2;
        }
        return 0;
    }
    for (int i = 1; i < argc; ++i) {
        std::FILE* in = std::fopen(argv[i], "rb");
        bool ok = in != nullptr && DumpStream(in, dumper);
        const int error = errno;
        if (in)
            std::fclose(in);
        dumper.Finish();
        if (!ok) {
            std::fflush(stdout);
            std::fprintf(stderr, "fixwatch-events: cannot read %s: %s\n", argv[i], std::strerror(error));
            return 2;
        }
    }
    return 0;
}
