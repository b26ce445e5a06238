// fixwatch-events end to end: lines in, the exact transcript out; and how its printer writes numbers.
#include "captures.h"
#include "event_printer.h"
#include "sealed.h"
#include "shell_run.h"
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

using fixwatch::test::Shell;
using fixwatch::test::Written;

// The tool's exit status and standard output for `arguments`, in which each "@N" names a
// temporary file holding inputs[N].
std::pair<int, std::string> RunTool(std::string arguments, const std::vector<std::string>& inputs = {})
{
    std::vector<std::filesystem::path> files;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        files.push_back(Written(inputs[i], std::to_string(i)));
        arguments.replace(arguments.find("@" + std::to_string(i)), 2, files.back().string());
    }
    const auto result = Shell(std::string(FIXWATCH_EVENTS_TOOL) + " " + arguments);
    for (const auto& file : files)
        std::filesystem::remove(file);
    return {result.status, result.out};
}

const std::string kGllEvents = "PositionReceived\t049° 16.45' N\t123° 11.12' W\n"
                               "TimeChangedExtendex\t22:54:44 GMT\nTimeChanged\t22:54:44\nFixObtained\n";

TEST(EventsTool, PrintsEveryEventThenTheParseResultForEachLineOfStdinOrFilesInOrderAndGnssReadsEveryTalkerAsGps)
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
    const auto help = RunTool("--help");
    EXPECT_EQ(help.first, 0);
    const std::string usage = help.second.substr(0, help.second.find("\n\n"));
    for (const char* option : {"--gnss", "--sky", "--position-format", "--accuracy", "--reference", "--gpx", "--kml",
                               "--csv", "--date"})
        EXPECT_NE(usage.find(option), std::string::npos) << option << " is missing from the usage lines";

    const std::string gn = "$GNGLL,4916.45,N,12311.12,W,225444,A*2F\n$GNZDA,003956.00,12,04,2019,00,00*7C";
    EXPECT_EQ(RunTool("@0", {gn}).second, "Parse\tfalse\nParse\tfalse\n") << "GP only by default";
    EXPECT_EQ(RunTool("--gnss @0", {gn}).second, kGllEvents + "Parse\ttrue\nParse\tfalse\n");
}

TEST(EventsTool, NumbersPrintAsTheShortestTextThatReadsBackAsTheSameDouble)
{
    std::vector<double> values = {0.0, -0.0, 1e5, -1e5, 99999.999, 1e-3, 1e-4, 0.05, -0.05, 5e-324, 1e300,
                                  0.1 + 0.2, std::nan(""), HUGE_VAL, -HUGE_VAL};
    // Every value a receiver writes with up to four decimals (the fourth is left to the
    // library), over the range of DOPs, speeds and altitudes.
    for (int decimals = 0; decimals <= 4; ++decimals) {
        const double scale = std::pow(10.0, decimals);
        for (long m = -200000; m <= 200000; m += 1 + decimals * 7)
            values.push_back(static_cast<double>(m) / scale);
    }
    std::mt19937_64 random(7);
    for (int i = 0; i < 100000; ++i) {
        const std::uint64_t bits = random();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        values.push_back(value);
        values.push_back(std::ldexp(static_cast<double>(bits >> 11), -53) * 1e5 * (i % 2 ? 1 : -1));
    }
    std::string out;
    fixwatch::EventPrinter printer(out);
    for (const double value : values) {
        out.clear();
        printer.AltitudeReceived(value);
        char text[64];
        const std::string expected = "AltitudeReceived\t" + std::string(text, std::to_chars(text, text + 64, value).ptr) + "\n";
        ASSERT_EQ(out, expected);
    }
}

// The tool reads its input in large blocks: lines that a block's end cuts, lines longer than a
// block and a CR LF split between two blocks must read exactly as short lines do.
TEST(EventsTool, LinesCutByTheReadingBlocksReadWhole)
{
    std::string input, expected;
    for (int i = 0; input.size() < 300000; ++i) {
        const bool good = i % 3 != 0;
        input += good ? "$GPGLL,4916.45,N,12311.12,W,225444,A*31" : std::string(static_cast<std::size_t>(i % 97), 'x');
        input += i % 2 ? "\r\n" : "\n";
        expected += good ? kGllEvents + "Parse\ttrue\n" : "Parse\tfalse\n";
        if (i == 500) {
            input += std::string(200000, ',') + "\n"; // longer than several blocks
            expected += "Parse\tfalse\n";
        }
    }
    const auto [status, out] = RunTool("< @0", {input});
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(out == expected) << "outputs differ in length " << out.size() << " against " << expected.size();
}

TEST(EventsTool, SkyAndSignalsPrintOnlyTheirTablesWhenTheInputEnds)
{
    using fixwatch::test::Sealed;
    const struct {
        const char* option;
        std::string input, printed;
    } rows[] = {
        // Two signals of GPS, a GLONASS sequence cut off by the end of the input, GSA by system ID.
        {"--sky",
         "$GPGSV,1,1,02,05,06,110,19,10,24,284,,1*64\r\n$GPGSV,1,1,02,05,06,110,,10,24,284,27,6*6E\r\n"
         "$GNGSA,A,3,10,,,,,,,,,,,,1.0,0.6,0.8,1*3F\r\n$GLGSV,1,1,01,65,,,30*64\r\n$GLGSV,2,1,05,66,58,305,32*59",
         "SKY\tGPS\t5\t6\t110\t19\t0\nSKY\tGPS\t10\t24\t284\t27\t1\nSKY\tGLONASS\t65\t\t\t30\t0\n"},
        // L1 and L5 of GPS 5, GPS 10 in view on L1 but not tracked, a Galileo signal outside the
        // table and a GLONASS sequence without a signal ID.
        {"--signals",
         Sealed("$GPGSV,1,1,02,05,06,110,19,10,24,284,,1") + "\r\n" + Sealed("$GPGSV,1,1,01,05,06,110,41,8") + "\n"
             + Sealed("$GAGSV,1,1,01,12,62,237,30,9") + "\n" + Sealed("$GLGSV,1,1,01,65,,,30"),
         "SIGNAL\tGPS\t5\t1\tL1 C/A\t19\nSIGNAL\tGPS\t5\t8\tL5-Q\t41\nSIGNAL\tGPS\t10\t1\tL1 C/A\t\n"
         "SIGNAL\tGLONASS\t65\t-\t\t30\nSIGNAL\tGalileo\t12\t9\t\t30\n"},
    };
    for (const auto& row : rows) {
        const std::string option = row.option;
        EXPECT_EQ(RunTool(option + " @0", {row.input}), std::pair(0, row.printed)) << option;
        EXPECT_EQ(RunTool("--gnss " + option + " < @0", {row.input}), std::pair(0, row.printed))
            << option << ": standard input, --gnss changes nothing";
        EXPECT_EQ(RunTool(option + " /dev/null"), std::pair(0, std::string())) << option << ": no satellites, no lines";
    }
}

// The conversions themselves are checked against GeoConvert in the display tests; here, that
// each format reaches the tool's output, and that a text which is no position stays as sent.
TEST(EventsTool, PositionFormatWritesEachPositionInTheChosenFormatAndKeepsAnUnreadableOneAsSent)
{
    using fixwatch::test::Sealed;
    const std::string input = Sealed("$GPGLL,4916.45,N,12311.12,W,225444,A") + "\r\n"
                              + Sealed("$GPGLL,9916.45,N,12311.12,W,225445,A") + "\r\n";
    const std::string unread = "position: 099\xC2\xB0 16.45' N 123\xC2\xB0 11.12' W\n";
    const struct {
        const char* format;
        const char* first;
    } rows[] = {
        {"sent", "049\xC2\xB0 16.45' N 123\xC2\xB0 11.12' W"},
        {"dd", "49.2741667\xC2\xB0 N 123.1853333\xC2\xB0 W"},
        {"dms", "49\xC2\xB0 16' 27.00\" N 123\xC2\xB0 11' 07.20\" W"},
        {"utm", "10U 486519 5457951"},
        {"mgrs", "10UDV 86518 57950"},
        {"locator", "CN89jg"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(RunTool(std::string("--position-format=") + row.format + " @0", {input}),
                  std::pair(0, "position: " + std::string(row.first) + "\n" + unread))
            << row.format;
    }
    for (const char* refused : {"dm", "UTM"})
        EXPECT_EQ(RunTool(std::string("--position-format=") + refused + " @0", {input}).first, 2) << refused;
}

// Real receivers' positions, as the interpreter words them, read as positions.
TEST(EventsTool, PositionFormatConvertsNearlyEveryPositionOfTheCaptures)
{
    FIXWATCH_NEED_CAPTURES();
    std::string files;
    for (const auto& capture : fixwatch::test::Captures())
        files += " '" + capture.string() + "'";
    const auto [sentStatus, sent] = RunTool("--gnss --position-format=sent" + files);
    const auto [utmStatus, utm] = RunTool("--gnss --position-format=utm" + files);
    ASSERT_EQ(std::pair(sentStatus, utmStatus), std::pair(0, 0));
    std::istringstream sentLines(sent), utmLines(utm);
    std::size_t lines = 0, converted = 0;
    for (std::string a, b; std::getline(sentLines, a) && std::getline(utmLines, b); ++lines)
        converted += a != b;
    ASSERT_GT(lines, 1000u);
    EXPECT_GT(converted, lines * 9 / 10) << "most captured positions read";
}

} // namespace
