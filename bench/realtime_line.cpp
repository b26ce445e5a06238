// fixwatch-bench-line: a receiver on a pseudo-terminal that keeps real time, for measuring
// what a program costs while it watches a live line. Prints the device of the slave side on
// the first line, then writes each epoch's sentences at the pace of a line of the given baud
// rate, in pieces as a UART hands them on, until killed or for --seconds N.
//   default: a GPS receiver at 1 Hz (GGA, GSA, three GSV, RMC, VTG, GLL), 4800 baud, 48 bytes
//   --gnss:  a four-system receiver at 10 Hz (give --baud 115200)
#include "receiver_line.h"
#include "sentence_mix.h"
#include "synthetic_gnss_receiver.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iostream>
#include <string>
#include <string_view>

namespace {

constexpr long kBitsPerCharacter = 10; // start, 8 data, stop
constexpr long kNanosecondsPerSecond = 1'000'000'000;
// What nobody read for this long is dropped, as a real line loses it.
constexpr long kBacklogSeconds = 2;

using fixwatch::stopRequested;

struct Options {
    bool gnss = false;
    long baud = 4800;
    long piece = 48;
    long seconds = 0; // 0: until killed
};

timespec Now()
{
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return now;
}

timespec Plus(timespec at, long nanoseconds)
{
    at.tv_nsec += nanoseconds;
    at.tv_sec += at.tv_nsec / kNanosecondsPerSecond;
    at.tv_nsec %= kNanosecondsPerSecond;
    return at;
}

bool Before(const timespec& a, const timespec& b)
{
    return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

void SleepUntil(const timespec& at)
{
    while (!stopRequested && ::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) == EINTR) {
    }
}

bool ParseArguments(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const auto number = [&](long minimum, long& value) {
            value = i + 1 < argc ? std::strtol(argv[++i], nullptr, 10) : 0;
            return value >= minimum;
        };
        if (arg == "--gnss") {
            options.gnss = true;
        } else if (arg == "--baud") {
            if (!number(300, options.baud))
                return false;
        } else if (arg == "--piece") {
            if (!number(1, options.piece))
                return false;
        } else if (arg == "--seconds") {
            if (!number(1, options.seconds))
                return false;
        } else {
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ParseArguments(argc, argv, options)) {
        std::cerr << "usage: fixwatch-bench-line [--gnss] [--baud B] [--piece BYTES] [--seconds N]\n";
        return 2;
    }
    fixwatch::StopOnSignals();

    fixwatch::ReceiverLine line(stopRequested);
    if (!line.Open("fixwatch-bench-line"))
        return EXIT_FAILURE;
    std::cout << line.Device() << std::endl;

    const long bytesPerSecond = options.baud / kBitsPerCharacter;
    const long nanosecondsPerByte = kNanosecondsPerSecond / bytesPerSecond;
    const long epochNanoseconds = kNanosecondsPerSecond / (options.gnss ? fixwatch::SyntheticGnssReceiver::kTicksPerSecond : 1);
    fixwatch::SyntheticGnssReceiver gnss;
    int second = 0;

    const timespec started = Now();
    const timespec end = {started.tv_sec + options.seconds, started.tv_nsec};
    timespec epoch = started;
    while (!stopRequested && (options.seconds == 0 || Before(epoch, end))) {
        std::string text;
        if (options.gnss) {
            for (const std::string& sentence : gnss.NextTick())
                text += sentence;
        } else {
            for (const std::string& sentence : fixwatch::bench::OneSecondMix(second++))
                text += sentence + "\r\n";
        }
        // Each piece leaves when the line would have finished sending it.
        timespec at = epoch;
        for (std::size_t offset = 0; offset < text.size() && !stopRequested;) {
            const std::size_t size = std::min<std::size_t>(static_cast<std::size_t>(options.piece), text.size() - offset);
            at = Plus(at, static_cast<long>(size) * nanosecondsPerByte);
            SleepUntil(at);
            line.Send(std::string_view(text).substr(offset, size), bytesPerSecond, kBacklogSeconds);
            offset += size;
        }
        epoch = Plus(epoch, epochNanoseconds);
        if (Before(epoch, at))
            epoch = at; // an epoch longer than the line can carry starts the next one late
        SleepUntil(epoch);
    }
    return EXIT_SUCCESS;
}
