#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fixwatch::test {

// The real receiver captures in FIXWATCH_NMEA_LOGS, in name order; empty when the folder is
// absent (tests then skip).
inline std::vector<std::filesystem::path> Captures()
{
    std::vector<std::filesystem::path> files;
    const std::filesystem::path folder = FIXWATCH_NMEA_LOGS;
    if (!std::filesystem::is_directory(folder))
        return files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() == ".nmea")
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

inline std::filesystem::path Capture(const std::string& name)
{
    return std::filesystem::path(FIXWATCH_NMEA_LOGS) / name;
}

// A capture's lines as a receiver's reader hands them on: split at LF, a CR before the LF
// dropped.
inline std::vector<std::string> CaptureLines(const std::filesystem::path& file)
{
    std::vector<std::string> lines;
    std::ifstream in(file, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

} // namespace fixwatch::test
