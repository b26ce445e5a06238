#pragma once

#include <string>
#include <vector>

namespace fixwatch::bench {

// The lines of one real receiver capture from the FIXWATCH_NMEA_LOGS folder, split at LF with
// a CR before it dropped; or, when the file cannot be read, why, naming where it was looked for.
struct CaptureInput {
    std::vector<std::string> lines;
    std::string missing;
};

CaptureInput ReadCapture(const std::string& name);

} // namespace fixwatch::bench
