#pragma once

#include <string>
#include <vector>

namespace fixwatch::bench {

// One second of a typical receiver's output, with correct checksums: GGA, GSA, three GSV,
// RMC, VTG and GLL. `second` moves the time, the position and the satellites a little, so
// consecutive seconds differ as they do on a real receiver.
std::vector<std::string> OneSecondMix(int second);

} // namespace fixwatch::bench
