#pragma once

#include "event_printer.h"
#include "nmea_interpreter.h"

#include <string>
#include <string_view>
#include <vector>

namespace fixwatch::test {

// What one Parse call did: its result and the events it raised, one "Name\tparam..." line
// each, as fixwatch-events prints them (texts in UTF-8).
struct Transcript {
    bool accepted = false;
    std::vector<std::string> events;
};

inline Transcript Interpret(std::string_view sentence, Talkers talkers = Talkers::GpsOnly)
{
    std::string out;
    EventPrinter printer(out);
    NmeaInterpreter gps(printer, talkers);
    Transcript t;
    t.accepted = gps.Parse(sentence);
    std::size_t start = 0;
    while (start < out.size()) {
        std::size_t end = out.find('\n', start);
        t.events.push_back(out.substr(start, end - start));
        start = end + 1;
    }
    return t;
}

// The sentence body with "*" and its correct checksum appended.
inline std::string Sealed(std::string_view body)
{
    return std::string(body) + "*" + NmeaInterpreter().GetChecksum(body);
}

using Lines = std::vector<std::string>;

} // namespace fixwatch::test
