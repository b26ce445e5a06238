#pragma once

#include "captures.h"
#include "epochs.h"
#include "event_printer.h"
#include "nmea_interpreter.h"
#include "sealed.h"
#include "sky.h"

#include <algorithm>
#include <string>
#include <vector>

namespace fixwatch::test {

using Lines = std::vector<std::string>;

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

// "system number elevation azimuth signal", a missing value as "-", " used" when a GSA lists it.
inline std::string SatelliteText(const SkySatellite& s)
{
    auto value = [](const std::optional<int>& v) { return v ? std::to_string(*v) : std::string("-"); };
    return std::string(SystemName(s.system)) + " " + std::to_string(s.number) + " " + value(s.elevation)
           + " " + value(s.azimuth) + " " + value(s.signal) + (s.used ? " used" : "");
}

inline Lines SkyText(const Sky& sky)
{
    Lines lines;
    for (const SkySatellite& s : sky.Satellites())
        lines.push_back(SatelliteText(s));
    return lines;
}

// A new sky fed the lines in order (sentence bodies, sealed here unless `seal` is false).
inline Sky SkyFed(const Lines& lines, bool seal = true, Talkers talkers = Talkers::AllSystems)
{
    Sky sky(talkers);
    for (const std::string& line : lines)
        sky.Feed(seal ? Sealed(line) : line);
    return sky;
}

inline Lines SkyOf(const Lines& bodies, Talkers talkers = Talkers::AllSystems)
{
    return SkyText(SkyFed(bodies, true, talkers));
}

// The epochs a new model makes of the lines (sentence bodies, sealed here unless `seal` is
// false), fed in order, then finished.
inline EpochModel ModelOf(const Lines& lines, Talkers talkers = Talkers::GpsOnly, std::optional<UtcDate> date = {},
                          bool seal = true)
{
    EpochModel model(talkers);
    model.AssumeDate(date);
    for (const std::string& line : lines)
        model.Feed(seal ? Sealed(line) : line);
    model.Finish();
    return model;
}

inline EpochModel ModelOfCapture(const std::string& name, Talkers talkers = Talkers::AllSystems)
{
    return ModelOf(CaptureLines(name), talkers, {}, false);
}

} // namespace fixwatch::test
