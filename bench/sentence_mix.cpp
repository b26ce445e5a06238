#include "sentence_mix.h"

#include "nmea_interpreter.h"

#include <array>
#include <cstdio>

namespace fixwatch::bench {
namespace {

std::string Sealed(const char* body)
{
    static const NmeaInterpreter checksum;
    return std::string(body) + "*" + checksum.GetChecksum(body);
}

} // namespace

std::vector<std::string> OneSecondMix(int second)
{
    const int s = second % 86400;
    const int hh = s / 3600, mm = (s / 60) % 60, ss = s % 60;
    const double minutes = 7.038 + (second % 1000) * 0.001;
    const int snr = 30 + second % 15;
    char b[6][160];
    std::snprintf(b[0], sizeof b[0], "$GPGGA,%02d%02d%02d.00,48%06.3f,N,01131.000,E,1,08,0.9,%.1f,M,46.9,M,,",
                  hh, mm, ss, minutes, 545.4 + (second % 10) * 0.1);
    std::snprintf(b[1], sizeof b[1], "$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1");
    std::snprintf(b[2], sizeof b[2], "$GPRMC,%02d%02d%02d.00,A,48%06.3f,N,01131.000,E,022.4,084.4,230394,003.1,W",
                  hh, mm, ss, minutes);
    std::snprintf(b[3], sizeof b[3], "$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K");
    std::snprintf(b[4], sizeof b[4], "$GPGLL,48%06.3f,N,01131.000,E,%02d%02d%02d.00,A", minutes, hh, mm, ss);

    std::vector<std::string> mix;
    mix.reserve(8);
    mix.push_back(Sealed(b[0]));
    mix.push_back(Sealed(b[1]));
    const std::array<const char*, 3> gsv = {
        "$GPGSV,3,1,11,03,03,111,00,04,15,270,00,06,01,010,00,13,06,292,%02d",
        "$GPGSV,3,2,11,14,25,170,00,16,57,208,%02d,18,67,296,40,19,40,246,00",
        "$GPGSV,3,3,11,22,42,067,%02d,24,14,311,43,27,05,244,00",
    };
    for (const char* format : gsv) {
        char line[160];
        std::snprintf(line, sizeof line, format, snr);
        mix.push_back(Sealed(line));
    }
    mix.push_back(Sealed(b[2]));
    mix.push_back(Sealed(b[3]));
    mix.push_back(Sealed(b[4]));
    return mix;
}

} // namespace fixwatch::bench
