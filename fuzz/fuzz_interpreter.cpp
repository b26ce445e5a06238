// Feeds arbitrary bytes to Parse and GetChecksum. Any crash, leak or sanitizer report is a bug:
// no input may make the interpreter fail, and the checksum is always two hexadecimal digits.
// The all-systems reading must raise exactly the same for whatever the GP-only one accepts.
#include "event_printer.h"
#include "nmea_interpreter.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    // The printer also exercises the Latin-1 to UTF-8 conversion of every text raised.
    std::string events;
    fixwatch::EventPrinter printer(events);
    const fixwatch::NmeaInterpreter gps(printer);
    const bool accepted = gps.Parse(text);

    const std::string checksum = gps.GetChecksum(text);
    const auto isHexDigit = [](char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); };
    if (checksum.size() != 2 || !isHexDigit(checksum[0]) || !isHexDigit(checksum[1]))
        std::abort();
    // A rejected sentence must raise nothing.
    if (!accepted && !events.empty())
        std::abort();

    // Reading every talker changes nothing for what GP already reads.
    std::string allEvents;
    fixwatch::EventPrinter allPrinter(allEvents);
    const fixwatch::NmeaInterpreter all(allPrinter, fixwatch::Talkers::AllSystems);
    const bool allAccepted = all.Parse(text);
    if ((!allAccepted && !allEvents.empty()) || (accepted && (!allAccepted || allEvents != events)))
        std::abort();
    return 0;
}
