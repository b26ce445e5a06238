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
#include <regex>
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

TEST(EventsTool, SignalsPrintsEachSatellitesSignalsWhenTheInputEnds)
{
    // L1 and L5 of GPS 5, GPS 10 in view on L1 but not tracked, a Galileo signal outside the
    // table and a GLONASS sequence without a signal ID.
    using fixwatch::test::Sealed;
    const std::string input = Sealed("$GPGSV,1,1,02,05,06,110,19,10,24,284,,1") + "\r\n"
                              + Sealed("$GPGSV,1,1,01,05,06,110,41,8") + "\n" + Sealed("$GAGSV,1,1,01,12,62,237,30,9")
                              + "\n" + Sealed("$GLGSV,1,1,01,65,,,30");
    const auto signals = std::pair(0, std::string("SIGNAL\tGPS\t5\t1\tL1 C/A\t19\nSIGNAL\tGPS\t5\t8\tL5-Q\t41\n"
                                                  "SIGNAL\tGPS\t10\t1\tL1 C/A\t\n"
                                                  "SIGNAL\tGLONASS\t65\t-\t\t30\n"
                                                  "SIGNAL\tGalileo\t12\t9\t\t30\n"));
    EXPECT_EQ(RunTool("--signals @0", {input}), signals);
    EXPECT_EQ(RunTool("--gnss --signals < @0", {input}), signals) << "standard input, --gnss changes nothing";
    EXPECT_EQ(RunTool("--signals /dev/null"), std::pair(0, std::string())) << "no satellites, no lines";
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// GeoConvert's answer, one line per line of `input`.
std::vector<std::string> GeoConvert(const std::string& options, const std::string& input)
{
    const auto file = Written(input, ".geoconvert");
    const auto answer = Shell(std::string(FIXWATCH_GEOCONVERT) + " " + options + " < " + file.string()).out;
    std::filesystem::remove(file);
    return Lines(answer);
}

TEST(EventsTool, PositionFormatOnEveryCaptureAgreesWithGeoConvert)
{
    if (std::string(FIXWATCH_GEOCONVERT).empty())
        GTEST_SKIP() << "GeoConvert (geographiclib-tools) is not installed";
    FIXWATCH_NEED_CAPTURES();
    std::string files;
    for (const auto& capture : fixwatch::test::Captures())
        files += " '" + capture.string() + "'";
    const auto run = [&](const char* format) {
        const auto [status, out] = RunTool(std::string("--gnss --position-format=") + format + files);
        EXPECT_EQ(status, 0) << format;
        return Lines(out);
    };
    const auto sent = run("sent"), utm = run("utm"), mgrs = run("mgrs"), dd = run("dd");
    ASSERT_GT(sent.size(), 1000u);
    for (const auto* shown : {&utm, &mgrs, &dd})
        ASSERT_EQ(shown->size(), sent.size());

    // The converted positions, as input GeoConvert reads by itself: "038°54.5087'N 077°26.4523'W".
    const std::string prefix = "position: ";
    std::vector<std::size_t> converted;
    std::string input;
    for (std::size_t i = 0; i < sent.size(); ++i) {
        ASSERT_EQ(sent[i].rfind(prefix, 0), 0u) << sent[i];
        if (utm[i] == sent[i])
            continue; // did not read as a position: shown as sent in every format
        converted.push_back(i);
        input += std::regex_replace(sent[i].substr(prefix.size()), std::regex("(\xC2\xB0|') "), "$1") + "\n";
    }
    ASSERT_GT(converted.size(), sent.size() * 9 / 10) << "most captured positions read";
    const auto peerUtm = GeoConvert("-u", input), peerMgrs = GeoConvert("-m", input);
    const auto peerDd = GeoConvert("-g -p 2", input);
    for (const auto* peer : {&peerUtm, &peerMgrs, &peerDd})
        ASSERT_EQ(peer->size(), converted.size());

    auto degrees = [](const std::string& number, char positive, char negative) {
        const bool minus = number.front() == '-';
        return (minus ? number.substr(1) : number) + "\xC2\xB0 " + (minus ? negative : positive);
    };
    // Up to the first capture line that differs, so that one fault does not print thousands.
    for (std::size_t k = 0; k < converted.size() && !HasFailure(); ++k) {
        const std::size_t i = converted[k];
        // GeoConvert names the hemisphere ("18n 288355 4309453"), the window the band of the
        // MGRS grid zone ("18S 288355 4309453").
        std::string zone = peerMgrs[k];
        zone.erase(zone.find_last_not_of("0123456789") - 1);
        const std::string figures = peerMgrs[k].substr(zone.size() + 2);
        const std::string latitude = peerDd[k].substr(0, peerDd[k].find(' '));
        EXPECT_EQ(utm[i], prefix + zone + peerUtm[k].substr(peerUtm[k].find(' '))) << sent[i];
        EXPECT_EQ(mgrs[i], prefix + peerMgrs[k].substr(0, zone.size() + 2) + " " + figures.substr(0, figures.size() / 2)
                               + " " + figures.substr(figures.size() / 2))
            << sent[i];
        const std::string longitude = peerDd[k].substr(latitude.size() + 1);
        EXPECT_EQ(dd[i], prefix + degrees(latitude, 'N', 'S') + " " + degrees(longitude, 'E', 'W')) << sent[i];
    }
}

} // namespace
