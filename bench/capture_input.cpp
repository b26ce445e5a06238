#include "capture_input.h"

#include <filesystem>
#include <fstream>

namespace fixwatch::bench {

CaptureInput ReadCapture(const std::string& name)
{
    const std::filesystem::path path = std::filesystem::path(FIXWATCH_NMEA_LOGS) / name;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {{}, "no capture " + name + " in " + path.parent_path().string() + " (the FIXWATCH_NMEA_LOGS setting)"};
    CaptureInput input;
    for (std::string line; std::getline(in, line); input.lines.push_back(line))
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
    return input;
}

} // namespace fixwatch::bench
