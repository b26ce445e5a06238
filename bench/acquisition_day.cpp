// fixwatch-bench-day: feeds simulated hours of a receiver through the window's line assembly
// and display handlers (offscreen, ticks called directly, as fast as they run) and prints the
// cost per tick in the first and the last simulated hour and the peak memory.
// Usage: fixwatch-bench-day [hours] [baud]   (defaults 24 and 4800)
#include "main_form.h"
#include "synthetic_receiver.h"

#include <QApplication>

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <string>

#include <sys/resource.h>

namespace {

long PeakKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const long hours = argc > 1 ? std::atol(argv[1]) : 24;
    const long baud = argc > 2 ? std::atol(argv[2]) : 4800;
    const std::size_t bytesPerTick = static_cast<std::size_t>(baud / 10);

    fixwatch::MainForm form;
    form.show();
    fixwatch::SyntheticReceiver receiver;
    std::string stream; // what the line has sent and the port has not yet been read

    using Clock = std::chrono::steady_clock;
    const long ticks = hours * 3600;
    double firstHour = 0, lastHour = 0;
    long peakAfterFirstHour = 0;
    for (long tick = 0; tick < ticks; ++tick) {
        // A full line at this speed: reads cut the stream wherever a second's bytes end,
        // mostly in the middle of a sentence, as a real port does.
        while (stream.size() < bytesPerTick)
            for (const std::string& sentence : receiver.NextSecond())
                stream += sentence + "\r\n";
        const std::string read = stream.substr(0, bytesPerTick);
        stream.erase(0, bytesPerTick);

        const auto started = Clock::now();
        form.HandleInput(read);
        const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
        if (tick < 3600)
            firstHour += seconds;
        if (tick >= ticks - 3600)
            lastHour += seconds;
        if (tick == 3599)
            peakAfterFirstHour = PeakKiB();
    }
    std::cout << "simulated " << hours << " h at " << baud << " baud, " << ticks << " ticks\n"
              << "cost per tick, first hour: " << firstHour / 3600 * 1e6 << " us\n"
              << "cost per tick, last hour:  " << lastHour / 3600 * 1e6 << " us\n"
              << "peak memory after the first hour: " << peakAfterFirstHour << " KiB\n"
              << "peak memory at the end:           " << PeakKiB() << " KiB\n"
              << "line buffer at the end: " << form.lineBuffer().size() << " characters\n";
    return 0;
}
