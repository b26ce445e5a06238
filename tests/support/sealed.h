#pragma once

#include "checksum.h"

#include <string>
#include <string_view>

namespace fixwatch::test {

// The text exactly as written, then "*" and its checksum. It never adds a "$": write the
// sentence as a receiver sends it, "$GPGGA,...", so that a test of a line without one can
// seal that too.
inline std::string Sealed(std::string_view text)
{
    return std::string(text) + "*" + NmeaChecksum(text);
}

// A sentence as a receiver sends it: sealed with its checksum, then CR LF.
inline std::string Line(std::string_view sentence)
{
    return Sealed(sentence) + "\r\n";
}

} // namespace fixwatch::test
