#pragma once

#include <fstream>
#include <string>

namespace fixwatch::bench {

// The process's resident set now, in MB, from /proc; -1 where /proc does not say.
inline double ResidentMegabytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stod(line.substr(6)) / 1024;
    return -1;
}

} // namespace fixwatch::bench
