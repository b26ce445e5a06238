#pragma once

#include <optional>
#include <string_view>

namespace fixwatch {

// The word for a GGA fix quality beyond the three the default reading names: "RTK Fixed" (4),
// "RTK Float" (5), "Estimated" (6), "Manual" (7) or "Simulator" (8), for a GGA with a
// matching checksum from any of the nine satellite-system talkers whose field 6 is exactly
// that digit. Nothing for any other text.
//
// Kept only until the window reads the words from its interpreter
// (NmeaInterpreter::SetFixQualityWords); it reads the line as the interpreter does.
std::optional<std::string_view> ExtendedFixQuality(std::string_view sentence);

} // namespace fixwatch
