// fixwatch-events end to end: lines in, the exact transcript out.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>

namespace {

struct Result {
    int status = -1;
    std::string out;
};

Result RunTool(const std::string& arguments)
{
    Result r;
    const std::string command = std::string(FIXWATCH_EVENTS_TOOL) + " " + arguments + " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return r;
    char buffer[4096];
    std::size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        r.out.append(buffer, n);
    const int status = pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

std::filesystem::path WriteInput(const std::string& name, const std::string& bytes)
{
    auto path = std::filesystem::temp_directory_path() / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

TEST(EventsTool, PrintsEveryEventThenTheParseResultForEachLine)
{
    const auto input = WriteInput("fixwatch-events-input.nmea",
                                  "$GPGLL,4916.45,N,12311.12,W,225444,A*31\r\n"
                                  "\n"
                                  "$GPGSV,3,3,10,22,42,067,42,24,14,311,43*7E\n"
                                  "$GPGGA,bad*00\n"
                                  "$GPGGA*56");
    const Result r = RunTool("< " + input.string());
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "PositionReceived\t049° 16.45' N\t123° 11.12' W\n"
              "TimeChangedExtendex\t22:54:44 GMT\n"
              "TimeChanged\t22:54:44\n"
              "FixObtained\n"
              "Parse\ttrue\n"
              "Parse\tfalse\n"
              "SatellitesInViewReceived\t10\n"
              "SatelliteReceived\t9\t22\t67\t42\t42\n"
              "SatelliteReceived\t10\t24\t311\t14\t43\n"
              "Parse\ttrue\n"
              "Parse\tfalse\n"
              "Parse\ttrue\n");
    std::filesystem::remove(input);
}

TEST(EventsTool, ReadsFilesInOrderAndFailsOnAnUnreadableOne)
{
    const auto a = WriteInput("fixwatch-events-a.nmea", "$GPGGA*56"); // no LF: the line ends with its file
    const auto b = WriteInput("fixwatch-events-b.nmea", "x\n");
    EXPECT_EQ(RunTool(a.string() + " " + b.string()).out, "Parse\ttrue\nParse\tfalse\n");
    EXPECT_EQ(RunTool(a.string() + " /nonexistent/fixwatch.nmea").status, 2);
    std::filesystem::remove(a);
    std::filesystem::remove(b);
}

TEST(EventsTool, GnssReadsEveryTalkerAsGps)
{
    const auto input = WriteInput("fixwatch-events-gnss.nmea",
                                  "$GNGLL,4916.45,N,12311.12,W,225444,A*2F\n"
                                  "$GNZDA,003956.00,12,04,2019,00,00*7C\n");
    EXPECT_EQ(RunTool(input.string()).out, "Parse\tfalse\nParse\tfalse\n") << "GP only by default";
    EXPECT_EQ(RunTool("--gnss " + input.string()).out,
              "PositionReceived\t049° 16.45' N\t123° 11.12' W\n"
              "TimeChangedExtendex\t22:54:44 GMT\n"
              "TimeChanged\t22:54:44\n"
              "FixObtained\n"
              "Parse\ttrue\n"
              "Parse\tfalse\n");
    std::filesystem::remove(input);
}

TEST(EventsTool, SkyPrintsOnlyTheSkyWhenTheInputEnds)
{
    // Two signals of GPS, a GLONASS sequence cut off by the end of the input, GSA by system ID.
    const auto input = WriteInput("fixwatch-events-sky.nmea",
                                  "$GPGSV,1,1,02,05,06,110,19,10,24,284,,1*64\r\n"
                                  "$GPGSV,1,1,02,05,06,110,,10,24,284,27,6*6E\r\n"
                                  "$GNGSA,A,3,10,,,,,,,,,,,,1.0,0.6,0.8,1*3F\r\n"
                                  "$GLGSV,1,1,01,65,,,30*64\r\n"
                                  "$GLGSV,2,1,05,66,58,305,32*59");
    const Result r = RunTool("--sky " + input.string());
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "SKY\tGPS\t5\t6\t110\t19\t0\n"
              "SKY\tGPS\t10\t24\t284\t27\t1\n"
              "SKY\tGLONASS\t65\t\t\t30\t0\n");
    EXPECT_EQ(RunTool("--sky --gnss < " + input.string()).out, r.out) << "standard input, --gnss changes nothing";
    EXPECT_EQ(RunTool("--sky /dev/null").out, "") << "no satellites, no lines";
    std::filesystem::remove(input);
}

TEST(EventsTool, RefusesUnknownOptionsAndTakesEverythingAfterDoubleDashAsFiles)
{
    EXPECT_EQ(RunTool("--skies /dev/null").status, 2);
    EXPECT_EQ(RunTool("-- --gnss").status, 2) << "a file named --gnss that does not exist";
    const Result help = RunTool("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--gnss"), std::string::npos);
    EXPECT_NE(help.out.find("--sky"), std::string::npos);
}

} // namespace
