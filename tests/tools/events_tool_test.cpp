// fixwatch-events end to end: lines in, the exact transcript out.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>
#include <sys/wait.h>

namespace {

// The tool's exit status and standard output for `arguments`, in which each "@N" names a
// temporary file holding inputs[N].
std::pair<int, std::string> RunTool(std::string arguments, const std::vector<std::string>& inputs = {})
{
    std::vector<std::filesystem::path> files;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        files.push_back(std::filesystem::temp_directory_path() / ("fixwatch-events-" + test + char('0' + i)));
        std::ofstream(files.back(), std::ios::binary) << inputs[i];
        arguments.replace(arguments.find("@" + std::to_string(i)), 2, files.back().string());
    }
    std::string out;
    FILE* pipe = popen((std::string(FIXWATCH_EVENTS_TOOL) + " " + arguments + " 2>/dev/null").c_str(), "r");
    char buffer[4096];
    for (std::size_t n; pipe && (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    const int status = pipe ? pclose(pipe) : -1;
    for (const auto& file : files)
        std::filesystem::remove(file);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

const std::string kGllEvents = "PositionReceived\t049° 16.45' N\t123° 11.12' W\n"
                               "TimeChangedExtendex\t22:54:44 GMT\nTimeChanged\t22:54:44\nFixObtained\n";

TEST(EventsTool, PrintsEveryEventThenTheParseResultForEachLineOfStdinOrFilesInOrder)
{
    const std::string input = "$GPGLL,4916.45,N,12311.12,W,225444,A*31\r\n\n"
                              "$GPGSV,3,3,10,22,42,067,42,24,14,311,43*7E\n$GPGGA,bad*00\n$GPGGA*56";
    EXPECT_EQ(RunTool("< @0", {input}),
              std::pair(0, kGllEvents + "Parse\ttrue\nParse\tfalse\nSatellitesInViewReceived\t10\n"
                                        "SatelliteReceived\t9\t22\t67\t42\t42\n"
                                        "SatelliteReceived\t10\t24\t311\t14\t43\n"
                                        "Parse\ttrue\nParse\tfalse\nParse\ttrue\n"));
    EXPECT_EQ(RunTool("@0 @1", {"$GPGGA*56", "x\n"}).second, "Parse\ttrue\nParse\tfalse\n")
        << "a last line without LF ends with its file";
    EXPECT_EQ(RunTool("@0 /nonexistent/fixwatch.nmea", {"$GPGGA*56"}).first, 2);
    EXPECT_EQ(RunTool("--skies /dev/null").first, 2);
    EXPECT_EQ(RunTool("-- --gnss").first, 2) << "after --, a file named --gnss that does not exist";
    EXPECT_EQ(RunTool("--help").first, 0);
}

TEST(EventsTool, GnssReadsEveryTalkerAsGps)
{
    const std::string input = "$GNGLL,4916.45,N,12311.12,W,225444,A*2F\n$GNZDA,003956.00,12,04,2019,00,00*7C";
    EXPECT_EQ(RunTool("@0", {input}).second, "Parse\tfalse\nParse\tfalse\n") << "GP only by default";
    EXPECT_EQ(RunTool("--gnss @0", {input}).second, kGllEvents + "Parse\ttrue\nParse\tfalse\n");
}

TEST(EventsTool, SkyPrintsOnlyTheSkyWhenTheInputEnds)
{
    // Two signals of GPS, a GLONASS sequence cut off by the end of the input, GSA by system ID.
    const std::string input = "$GPGSV,1,1,02,05,06,110,19,10,24,284,,1*64\r\n"
                              "$GPGSV,1,1,02,05,06,110,,10,24,284,27,6*6E\r\n"
                              "$GNGSA,A,3,10,,,,,,,,,,,,1.0,0.6,0.8,1*3F\r\n$GLGSV,1,1,01,65,,,30*64\r\n"
                              "$GLGSV,2,1,05,66,58,305,32*59";
    const auto sky = std::pair(0, std::string("SKY\tGPS\t5\t6\t110\t19\t0\nSKY\tGPS\t10\t24\t284\t27\t1\n"
                                              "SKY\tGLONASS\t65\t\t\t30\t0\n"));
    EXPECT_EQ(RunTool("--sky @0", {input}), sky);
    EXPECT_EQ(RunTool("--sky --gnss < @0", {input}), sky) << "standard input, --gnss changes nothing";
    EXPECT_EQ(RunTool("--sky /dev/null"), std::pair(0, std::string())) << "no satellites, no lines";
}

} // namespace
