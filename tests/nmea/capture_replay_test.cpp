// Every line of the recorded receiver logs goes through Parse. Whatever a real receiver sent,
// damaged lines included, Parse must come back, accept only the six GP sentences with a
// matching checksum, and raise nothing for what it rejects.
#include "transcript.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fixwatch::test {
namespace {

bool IsHandledIdentifier(std::string_view line)
{
    for (std::string_view id : {"$GPGGA", "$GPGLL", "$GPGSA", "$GPGSV", "$GPRMC", "$GPVTG"}) {
        if (line.substr(0, id.size()) == id && (line.size() == id.size() || line[id.size()] == ',' ||
                                                line[id.size()] == '*'))
            return true;
    }
    return false;
}

TEST(CaptureReplay, RealReceiverLogsParseSafelyAndConsistently)
{
    const std::filesystem::path folder = FIXWATCH_NMEA_LOGS;
    if (!std::filesystem::is_directory(folder))
        GTEST_SKIP() << "no receiver logs at " << folder;

    const NmeaInterpreter plain;
    std::size_t files = 0, lines = 0, accepted = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".nmea")
            continue;
        ++files;
        std::ifstream in(entry.path(), std::ios::binary);
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            ++lines;
            const Transcript t = Interpret(line);
            const bool checksumMatches =
                line.size() >= 2 && plain.GetChecksum(line) == line.substr(line.size() - 2);
            if (t.accepted) {
                ++accepted;
                EXPECT_TRUE(checksumMatches && IsHandledIdentifier(line)) << entry.path().filename() << ": " << line;
            } else {
                EXPECT_TRUE(t.events.empty()) << entry.path().filename() << ": " << line;
                EXPECT_FALSE(checksumMatches && IsHandledIdentifier(line) && line[line.size() - 3] == '*')
                    << entry.path().filename() << ": " << line;
            }
        }
    }
    EXPECT_GT(files, 100u);
    EXPECT_GT(accepted, lines / 10) << "most captures hold GP sentences";
}

} // namespace
} // namespace fixwatch::test
