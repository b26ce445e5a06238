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

} // namespace
