#include "captures.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string_view>

namespace fixwatch::test {

std::filesystem::path CaptureFolder() { return FIXWATCH_NMEA_LOGS; }

std::vector<std::filesystem::path> Captures()
{
    std::vector<std::filesystem::path> files;
    std::error_code error;
    if (std::filesystem::is_directory(CaptureFolder(), error))
        for (const auto& entry : std::filesystem::directory_iterator(CaptureFolder(), error))
            if (entry.path().extension() == ".nmea")
                files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

std::filesystem::path CapturePath(const std::filesystem::path& file) { return CaptureFolder() / file; }

std::vector<std::string> CaptureLines(const std::filesystem::path& file)
{
    std::vector<std::string> lines;
    std::ifstream in(CapturePath(file), std::ios::binary);
    for (std::string line; std::getline(in, line); lines.push_back(line))
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
    return lines;
}

std::string MissingCaptures(const std::filesystem::path& file)
{
    const std::string setting = " (the FIXWATCH_NMEA_LOGS setting)";
    if (file.empty())
        return Captures().empty() ? "no receiver captures (*.nmea) in " + CaptureFolder().string() + setting : "";
    std::error_code error;
    return std::filesystem::is_regular_file(CapturePath(file), error)
               ? ""
               : "no capture " + file.string() + " in " + CaptureFolder().string() + setting;
}

bool CapturesRequired()
{
    const char* ci = std::getenv("CI");
    return ci != nullptr && std::string_view(ci) == "true";
}

} // namespace fixwatch::test
