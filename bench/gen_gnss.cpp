// Writes the made-up 10 Hz four-system receiver's stream to standard output:
// `fixwatch-gen-gnss MINUTES [NORTH-METRES]` gives MINUTES of it, the receiver standing
// NORTH-METRES further north (default 0), for benchmarks that read long recordings.
#include "synthetic_gnss_receiver.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

template <class T>
bool Read(const char* text, T& value)
{
    const auto [end, error] = std::from_chars(text, text + std::strlen(text), value);
    return error == std::errc() && *end == '\0';
}

} // namespace

int main(int argc, char** argv)
{
    long minutes = 60;
    double north = 0;
    if ((argc > 1 && (!Read(argv[1], minutes) || minutes < 0)) || (argc > 2 && !Read(argv[2], north)) || argc > 3) {
        std::fprintf(stderr, "usage: fixwatch-gen-gnss [minutes] [north-metres]\n");
        return 2;
    }
    fixwatch::SyntheticReceiver::Start start;
    start.latitude += north / 111'130.0; // about a metre a metre at this latitude
    fixwatch::SyntheticGnssReceiver receiver(start);
    std::string out;
    for (long tick = 0; tick < minutes * 60 * fixwatch::SyntheticGnssReceiver::kTicksPerSecond; ++tick) {
        for (const std::string& sentence : receiver.NextTick())
            out += sentence;
        if (out.size() > (1u << 20)) {
            std::fwrite(out.data(), 1, out.size(), stdout);
            out.clear();
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}
