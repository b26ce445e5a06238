#pragma once

#include <string>
#include <string_view>

namespace fixwatch {

// The NMEA-0183 checksum of a text as two upper-case hexadecimal digits: the exclusive or
// of every character's code, skipping every "$" and stopping at the first "*".
std::string NmeaChecksum(std::string_view text);

// True when NmeaChecksum of the whole text equals its last two characters, compared
// exactly. Nothing else is looked at: this is the interpreter's acceptance test.
bool ChecksumMatches(std::string_view text);

} // namespace fixwatch
