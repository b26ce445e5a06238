#include "sample_sentences.h"

#include "nmea_interpreter.h"

#include <fstream>

namespace fixwatch {

std::vector<std::string> SampleSentences()
{
    const char* bodies[] = {
        "GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,",
        "GPGSA,A,3,04,05,09,12,24,25,29,,,,,,1.8,0.9,1.5",
        "GPGSV,2,1,08,04,12,040,42,05,67,105,47,09,38,275,45,12,25,310,39",
        "GPGSV,2,2,08,24,44,155,44,25,21,060,33,29,60,230,48,31,05,347,18",
        "GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,051226,003.1,W",
        "GPVTG,084.4,T,087.5,M,022.4,N,041.5,K",
        "GPGLL,4807.038,N,01131.000,E,123519,A",
    };
    const NmeaInterpreter gps;
    std::vector<std::string> sentences;
    for (const char* body : bodies) {
        const std::string text = std::string("$") + body;
        sentences.push_back(text + "*" + gps.GetChecksum(text));
    }
    return sentences;
}

std::string SampleSecondText()
{
    std::string text;
    for (const std::string& sentence : SampleSentences())
        text += sentence + "\r\n";
    return text;
}

std::string CaptureText(const std::string& path, int count)
{
    std::ifstream file(path, std::ios::binary);
    std::string text;
    for (std::string line; count > 0 && std::getline(file, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line.front() == '#')
            continue;
        text += line + "\r\n";
        --count;
    }
    return text;
}

} // namespace fixwatch
