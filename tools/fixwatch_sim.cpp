// fixwatch-sim: a stand-in GPS receiver on a pseudo-terminal. Prints the device of the
// terminal's slave side, then writes NMEA sentences to it at a receiver's pace until
// SIGINT or SIGTERM: a built-in synthetic receiver by default, or the lines of a file.
#include "receiver_line.h"
#include "synthetic_receiver.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kBitsPerCharacter = 10;                       // start, 8 data, stop
constexpr auto kSleepSlice = std::chrono::milliseconds(20); // how soon a signal is noticed
// When nobody reads for this long, the backlog is dropped as a real line would lose it.
constexpr int kBacklogSeconds = 2;

using fixwatch::stopRequested;

struct Options {
    std::string file;  // empty: the synthetic receiver
    long baud = 4800;  // pacing of the synthetic receiver
    double rate = 8.0; // lines per second from a file
    bool loop = false; // start a file again at its end
};

void PrintUsage(std::ostream& out)
{
    out << "Usage: fixwatch-sim [--baud B]\n"
           "       fixwatch-sim FILE [--rate N] [--loop]\n"
           "       fixwatch-sim --help | --version\n"
           "\n"
           "Opens a pseudo-terminal, prints the device of its slave side on the first line of\n"
           "the output and writes NMEA-0183 sentences to it until interrupted (Ctrl-C or\n"
           "SIGTERM). Without FILE a synthetic receiver sends GGA, GSA, three GSV, RMC, VTG\n"
           "and GLL once a second, paced as on a line of B baud (default 4800). With FILE\n"
           "its lines are sent in order, N lines a second (default 8); lines starting with\n"
           "\"#\" are skipped; --loop starts again at the end.\n"
           "\n"
           "Example:\n"
           "  fixwatch-sim > sim.out &  sleep 1\n"
           "  FIXWATCH_COM1=$(head -n 1 sim.out) fixwatch\n"
           "  kill %1\n";
}

std::optional<Options> ParseArguments(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const auto value = [&]() -> std::optional<std::string_view> {
            if (i + 1 >= argc)
                return std::nullopt;
            return std::string_view(argv[++i]);
        };
        if (arg == "--help") {
            PrintUsage(std::cout);
            std::exit(EXIT_SUCCESS);
        } else if (arg == "--version") {
            std::cout << "fixwatch-sim " FIXWATCH_VERSION "\n";
            std::exit(EXIT_SUCCESS);
        } else if (arg == "--baud") {
            const auto v = value();
            options.baud = v ? std::strtol(std::string(*v).c_str(), nullptr, 10) : 0;
            if (options.baud < 50) {
                std::cerr << "fixwatch-sim: --baud needs a speed of at least 50\n";
                return std::nullopt;
            }
        } else if (arg == "--rate") {
            const auto v = value();
            options.rate = v ? std::strtod(std::string(*v).c_str(), nullptr) : 0.0;
            if (!(options.rate > 0.0 && options.rate <= 100'000.0)) {
                std::cerr << "fixwatch-sim: --rate needs a number of lines per second above 0\n";
                return std::nullopt;
            }
        } else if (arg == "--loop") {
            options.loop = true;
        } else if (!arg.empty() && arg.front() != '-' && options.file.empty()) {
            options.file = arg;
        } else {
            std::cerr << "fixwatch-sim: unknown argument \"" << arg << "\" (see --help)\n";
            return std::nullopt;
        }
    }
    return options;
}

// Sleeps until `deadline` in short slices so that a stop request ends the wait at once.
// False when a stop was requested.
bool SleepUntil(Clock::time_point deadline)
{
    while (!stopRequested) {
        const auto now = Clock::now();
        if (now >= deadline)
            return true;
        std::this_thread::sleep_for(std::min<Clock::duration>(deadline - now, kSleepSlice));
    }
    return false;
}

int RunSynthetic(fixwatch::ReceiverLine& terminal, long baud)
{
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    ::gmtime_r(&now, &utc);
    fixwatch::SyntheticReceiver::Start start;
    start.year = utc.tm_year + 1900;
    start.month = utc.tm_mon + 1;
    start.day = utc.tm_mday;
    start.hour = utc.tm_hour;
    start.minute = utc.tm_min;
    start.second = utc.tm_sec;
    fixwatch::SyntheticReceiver receiver(start);

    const long bytesPerSecond = baud / kBitsPerCharacter;
    const auto perCharacter = std::chrono::duration<double>(1.0 / static_cast<double>(bytesPerSecond));
    auto second = Clock::now();
    while (!stopRequested) {
        // Each sentence leaves when the line would have finished sending it; a second whose
        // sentences take longer than a second on the line starts the next one late.
        auto at = second;
        for (const std::string& sentence : receiver.NextSecond()) {
            at += std::chrono::duration_cast<Clock::duration>(perCharacter * sentence.size());
            if (!SleepUntil(at))
                return EXIT_SUCCESS;
            terminal.Send(sentence, bytesPerSecond, kBacklogSeconds);
        }
        second = std::max(second + std::chrono::seconds(1), at);
        if (!SleepUntil(second))
            return EXIT_SUCCESS;
    }
    return EXIT_SUCCESS;
}

int RunFile(fixwatch::ReceiverLine& terminal, const Options& options)
{
    std::ifstream in(options.file, std::ios::binary);
    if (!in) {
        std::cerr << "fixwatch-sim: cannot read \"" << options.file << "\": " << std::strerror(errno)
                  << "\n";
        return EXIT_FAILURE;
    }
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
            line.pop_back();
        if (line.empty() || line.front() == '#')
            continue;
        lines.push_back(line + "\r\n");
    }
    if (lines.empty()) {
        std::cerr << "fixwatch-sim: \"" << options.file << "\" holds no lines to send\n";
        return EXIT_FAILURE;
    }
    const auto interval = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(1.0 / options.rate));
    auto at = Clock::now();
    do {
        for (const std::string& line : lines) {
            terminal.Send(line, 4800 / kBitsPerCharacter, kBacklogSeconds);
            at += interval;
            if (!SleepUntil(at))
                return EXIT_SUCCESS;
        }
    } while (options.loop && !stopRequested);
    std::cerr << "fixwatch-sim: end of \"" << options.file << "\"; waiting until stopped\n";
    // The device stays for the reader until the user stops the simulator.
    while (SleepUntil(Clock::now() + std::chrono::seconds(1))) {
    }
    return EXIT_SUCCESS;
}

} // namespace

int main(int argc, char** argv)
{
    const auto options = ParseArguments(argc, argv);
    if (!options)
        return 2;

    fixwatch::StopOnSignals();

    fixwatch::ReceiverLine terminal(stopRequested);
    if (!terminal.Open("fixwatch-sim", B4800))
        return EXIT_FAILURE;
    std::cout << terminal.Device() << std::endl;

    return options->file.empty() ? RunSynthetic(terminal, options->baud) : RunFile(terminal, *options);
}
