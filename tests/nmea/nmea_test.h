#pragma once

#include "event_printer.h"
#include "nmea_interpreter.h"
#include "sky.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fixwatch::test {

using Lines = std::vector<std::string>;

// The real receiver captures, in name order; empty when the folder is absent (tests skip).
inline std::vector<std::filesystem::path> Captures()
{
    std::vector<std::filesystem::path> files;
    if (std::filesystem::is_directory(FIXWATCH_NMEA_LOGS))
        for (const auto& entry : std::filesystem::directory_iterator(FIXWATCH_NMEA_LOGS))
            if (entry.path().extension() == ".nmea")
                files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

// A capture's lines as a receiver's reader hands them on: split at LF, a CR before it dropped.
inline Lines CaptureLines(const std::filesystem::path& file)
{
    Lines lines;
    std::ifstream in(std::filesystem::path(FIXWATCH_NMEA_LOGS) / file, std::ios::binary);
    for (std::string line; std::getline(in, line); lines.push_back(line))
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
    return lines;
}

// What one Parse call did: its result and its events as fixwatch-events prints them.
struct Transcript {
    bool accepted = false;
    Lines events;
};

inline Transcript Interpret(std::string_view sentence, Talkers talkers = Talkers::GpsOnly,
                            FixQualityWords words = FixQualityWords::Invalid)
{
    std::string out;
    EventPrinter printer(out);
    NmeaInterpreter interpreter(printer, talkers);
    interpreter.SetFixQualityWords(words);
    Transcript t{interpreter.Parse(sentence), {}};
    for (std::size_t start = 0, end; start < out.size(); start = end + 1)
        t.events.push_back(out.substr(start, (end = out.find('\n', start)) - start));
    return t;
}

inline Lines Events(const std::string& sentence) { return Interpret(sentence).events; }

// The sentence body with "*" and its correct checksum appended.
inline std::string Sealed(std::string_view body)
{
    return std::string(body) + "*" + NmeaInterpreter().GetChecksum(body);
}

// "system number elevation azimuth signal", a missing value as "-", " used" when a GSA lists it.
inline std::string SatelliteText(const SkySatellite& s)
{
    auto value = [](const std::optional<int>& v) { return v ? std::to_string(*v) : std::string("-"); };
    return std::string(SystemName(s.system)) + " " + std::to_string(s.number) + " " + value(s.elevation) +
           " " + value(s.azimuth) + " " + value(s.signal) + (s.used ? " used" : "");
}

inline Lines SkyText(const Sky& sky)
{
    Lines lines;
    for (const SkySatellite& s : sky.Satellites())
        lines.push_back(SatelliteText(s));
    return lines;
}

// What a new sky makes of the sentence bodies, each sealed and fed in order.
inline Lines SkyOf(const Lines& bodies, Talkers talkers = Talkers::AllSystems)
{
    Sky sky(talkers);
    for (const std::string& body : bodies)
        sky.Feed(Sealed(body));
    return SkyText(sky);
}

} // namespace fixwatch::test
