// fixwatch-events --accuracy, --gpx, --kml and --csv end to end: real captures in, the
// figures that an independent computation gave, the tracks read back by gpsbabel and xmllint.
#include "captures.h"
#include "compare_scenario.h"
#include "sealed.h"
#include "shell_run.h"
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace fixwatch::test {
namespace {

namespace fs = std::filesystem;

using Result = ShellResult;

Result Tool(const std::string& arguments) { return Shell(std::string(FIXWATCH_EVENTS_TOOL) + " " + arguments); }

std::string Capture(const char* name) { return CapturePath(name).string(); }

// The parts between separators; a separator at the end leaves an empty last part.
std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts(1);
    for (char c : text)
        c == separator ? parts.emplace_back() : parts.back() += c;
    return parts;
}

// The "name: figure" lines of an --accuracy block.
std::map<std::string, double> Figures(const std::string& block)
{
    std::map<std::string, double> figures;
    for (const std::string& line : Split(block, '\n')) {
        const auto colon = line.find(": ");
        if (colon != std::string::npos && line.substr(0, colon) != "file")
            figures[line.substr(0, colon)] = std::stod(line.substr(colon + 2));
    }
    return figures;
}

class OfflineTool : public ::testing::Test {
protected:
    void SetUp() override { FIXWATCH_NEED_CAPTURES(); }
};

// The figures are those an independent computation gave (GGAs read with plain string
// handling, WGS 84 to earth-centred coordinates rotated into east, north, up, sorted
// percentiles); the arithmetic is pinned by nmea.Accuracy and the plane by
// analysis.LocalPlane. Here: which fixes count, around which point, and how they are printed.
TEST_F(OfflineTool, AccuracyPrintsTheFiguresOfTheFixesItCountsABlockPerFileAndRejectsBadReferencesAndFiles)
{
    const struct {
        const char* capture;
        const char* options;
        const char* fixes;
        const char* horizontal; // cep50, cep95, 2drms
        const char* spread;     // sd_east, sd_north and what follows
    } rows[] = {
        {"ublox-zed-f9p-nmea.nmea", "--gnss", "fixes: 29\n", "cep50: 0.089\ncep95: 0.137\n2drms: 0.193\n",
         "sd_east: 0.083\nsd_north: 0.049\nsd_up: 0.253\ngst_sigma_latitude: 2.324\n"}, // the mean of its GST σ
        {"neo-m8n.nmea", "--gnss", "fixes: 23\n", "cep50: 1.102\ncep95: 1.614\n2drms: 2.179\n",
         "sd_east: 0.545\nsd_north: 0.943\n"},
        {"neo-m8n.nmea", "--gnss --reference 44.069,-121.3142", "fixes: 23\n",
         "cep50: 2.898\ncep95: 3.817\n2drms: 6.197\n", "sd_east: 0.545\nsd_north: 0.943\n"},
        {"GPSmap-76S.nmea", "", "fixes: 12\n", "cep50: 0.000\ncep95: 0.000\n2drms: 0.000\n",
         "sd_east: 0.000\nsd_north: 0.000\n"},
        {"bu353s4.nmea", "", "fixes: 25\n", "cep50: 0.389\ncep95: 0.787\n2drms: 0.921\n",
         "sd_east: 0.407\nsd_north: 0.216\n"},
    };
    for (const auto& row : rows) {
        const std::string arguments = std::string("--accuracy ") + row.options + " " + Capture(row.capture);
        const Result run = Tool(arguments);
        ASSERT_EQ(run.status, 0) << arguments << run.err;
        SCOPED_TRACE(arguments + "\n" + run.out);
        for (const char* figures : {row.fixes, row.horizontal, row.spread})
            EXPECT_NE(run.out.find(figures), std::string::npos) << figures;
        const auto figures = Figures(run.out);
        EXPECT_TRUE(figures.count("r95_altitude") && figures.count("mean_altitude") && figures.count("sd_up"));
    }

    const Result run = Tool("--accuracy " + Capture("GPSmap-76S.nmea") + " /dev/null");
    EXPECT_EQ(run.status, 0);
    const auto blank = run.out.find("\n\n");
    ASSERT_NE(blank, std::string::npos);
    EXPECT_EQ(run.out.substr(blank + 2), "file: /dev/null\nfixes: 0\n");
    const Result gnOnly = Tool("--accuracy " + Capture("neo-m8n.nmea"));
    EXPECT_NE(gnOnly.out.find("fixes: 0\n"), std::string::npos);
    EXPECT_NE(gnOnly.err.find("add --gnss"), std::string::npos) << "says why there is nothing";
    EXPECT_NE(Tool("--gpx " + Capture("neo-m8n.nmea")).err.find("add --gnss"), std::string::npos);
    for (const char* bad : {"--reference 91,0 /dev/null", "--reference 45.1 /dev/null", "--gpx /dev/null",
                            "/nonexistent/x.nmea"})
        EXPECT_EQ(Tool(std::string("--accuracy ") + bad).status, 2) << bad;
}

// gpsbabel's reading of a GPX file's track points, one "lat,lon,date time" per point.
std::vector<std::string> BabelPoints(const fs::path& gpx)
{
    std::vector<std::string> points;
    const auto lines = Split(Shell("gpsbabel -t -i gpx -f " + gpx.string() + " -o unicsv,utc=0 -F -").out, '\n');
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const auto cells = Split(lines[i], ',');
        if (cells.size() >= 3)
            points.push_back(cells[1] + "," + cells[2] + "," + cells[cells.size() - 2] + " " + cells.back());
    }
    return points;
}

TEST_F(OfflineTool, GpxIsValidAndGpsbabelReadsBackEveryPointOfTheCsvAndKmlIsWellFormed)
{
    // How far gpsbabel's own reading of the NMEA agrees: on the F9P it pairs each time with
    // the position of the epoch before; it passes over GGA quality 8 (simulation).
    enum Babel {
        SamePoints,
        SameCount,
        Differs,
    };
    const struct {
        const char* capture;
        const char* options;
        Babel babel;
        const char* firstRecord;
    } rows[] = {
        {"ublox-zed-f9p-nmea.nmea", "--gnss", SameCount, ""},
        {"nmea-rtk.nmea", "--gnss", SamePoints, "2020-03-18T13:28:19.6Z,4"},
        {"GPSmap-76S.nmea", "--include-simulated", Differs, ""},
        {"garmin48.nmea", "", SamePoints, "2001-06-06T22:53:08Z,"},
        {"bu353s4.nmea", "", SamePoints, ""},
        {"quectel-l76k-nmea.nmea", "--gnss", SamePoints, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.capture);
        const std::string input = std::string(row.options) + " " + Capture(row.capture);
        const fs::path gpx = TempFile(".gpx"), kml = TempFile(".kml"), babelGpx = TempFile(".babel.gpx");
        const Result run = Tool("--gpx " + input + " > " + gpx.string());
        ASSERT_EQ(run.status, 0) << run.err;
        const Result valid = Shell("xmllint --noout --schema " FIXWATCH_GPX_SCHEMA " " + gpx.string());
        EXPECT_EQ(valid.status, 0) << valid.err;
        ASSERT_EQ(Tool("--kml " + input + " > " + kml.string()).status, 0);
        EXPECT_EQ(Shell("xmllint --noout " + kml.string()).status, 0) << "KML well-formed";

        const Result csv = Tool("--csv " + input);
        ASSERT_EQ(csv.status, 0);
        auto records = Split(csv.out, '\n');
        records.pop_back(); // after the last CR LF
        ASSERT_GT(records.size(), 6u) << "a header and more than five points";
        EXPECT_TRUE(records[1].starts_with(row.firstRecord)) << records[1];

        const auto back = BabelPoints(gpx);
        EXPECT_EQ(back.size(), records.size() - 1) << "every point, read back";
        // Point by point, beside gpsbabel's own reading of the NMEA, through its own GPX.
        Shell("gpsbabel -t -i nmea -f " + Capture(row.capture) + " -o gpx -F " + babelGpx.string());
        const auto babel = BabelPoints(babelGpx);
        if (row.babel == SamePoints) {
            EXPECT_EQ(babel, back);
        } else if (row.babel == SameCount) {
            EXPECT_EQ(babel.size(), back.size());
        }
        for (const auto& file : {gpx, kml, babelGpx})
            fs::remove(file);
    }
}

// A file without RMC or ZDA: its points are left out of the GPX, and said so once, unless
// --date gives the day of the first one; midnight still steps the date.
TEST_F(OfflineTool, AGgaOnlyFileWithAndWithoutADate)
{
    auto at = [](const std::string& time) {
        return Line("$GPGGA," + time + ",4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
    };
    const fs::path ggaOnly = Written(at("235959") + at("000000") + at("000001"), ".nmea");
    const Result undatedGpx = Tool("--gpx " + ggaOnly.string());
    EXPECT_EQ(undatedGpx.status, 0);
    EXPECT_EQ(undatedGpx.out.find("<trkpt"), std::string::npos);
    EXPECT_NE(undatedGpx.err.find("3 points left out of the GPX: they have no date"), std::string::npos)
        << undatedGpx.err;
    EXPECT_EQ(std::count(undatedGpx.err.begin(), undatedGpx.err.end(), '\n'), 1);

    const Result dated = Tool("--gpx --date 2026-12-31 " + ggaOnly.string());
    for (const char* time : {"2026-12-31T23:59:59Z", "2027-01-01T00:00:00Z", "2027-01-01T00:00:01Z"})
        EXPECT_NE(dated.out.find(std::string("<time>") + time + "</time>"), std::string::npos) << time;
    EXPECT_TRUE(dated.err.empty());
    EXPECT_EQ(Tool("--gpx --date 2026-02-30 " + ggaOnly.string()).status, 2);

    fs::remove(ggaOnly);
}

// How many times `what` stands in `text`.
std::size_t Count(const std::string& text, const std::string& what)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

TEST_F(OfflineTool, GllAtItsOwnTimeNeitherSplitsTheTrackNorAddsPointsAndSimulatorFixesStayOut)
{
    const struct {
        const char* legend;
        const char* capture;
        const char* options;
        std::size_t points, segments;
    } rows[] = {
        // GLL at the odd seconds between GGA and RMC every two; the capture pauses 16 s once.
        {"garmin48", "garmin48.nmea", "", 7, 2},
        // GLL to the millisecond, GGA and RMC to the hundredth: one instant each time.
        {"eXplorist210", "eXplorist210.nmea", "", 4, 1},
        {"a simulator", "GPSmap-76S.nmea", "", 0, 0},
        {"a simulator, asked for", "GPSmap-76S.nmea", "--include-simulated", 12, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.legend);
        const Result run = Tool("--gpx " + std::string(row.options) + " " + Capture(row.capture));
        EXPECT_EQ(Count(run.out, "<trkpt "), row.points);
        EXPECT_EQ(Count(run.out, "<trkseg>"), row.segments);
    }
    const Result simulated = Tool("--csv " + Capture("GPSmap-76S.nmea"));
    EXPECT_NE(simulated.err.find("12 points of the receiver's simulator (GGA quality 8) left out"), std::string::npos)
        << simulated.err;
    EXPECT_EQ(simulated.err.find("other talkers"), std::string::npos) << simulated.err;

    // A receiver that sends GLL alone: its fixes are the track.
    const fs::path gllOnly = Written(Line("$GPRMC,100000,V,,,,,,,071226,,") + Line("$GPGLL,4807.038,N,01131.000,E,100001,A")
                                         + Line("$GPGLL,4807.039,N,01131.000,E,100002,A")
                                         + Line("$GPGLL,4807.040,N,01131.000,E,100003,V"),
                                     ".nmea");
    const Result gll = Tool("--gpx " + gllOnly.string());
    EXPECT_EQ(Count(gll.out, "<trkpt "), 2u) << gll.out;
    EXPECT_NE(gll.out.find("<time>2026-12-07T10:00:02Z</time>"), std::string::npos) << gll.out;
    fs::remove(gllOnly);
}

// The comparison itself is pinned by analysis.ReceiverComparison and analysis.LiveComparison;
// here, the options, the figures' names and their layout.
TEST_F(OfflineTool, CompareMeasuresBAgainstAOnTheEpochsTheyShare)
{
    // B is the capture 1 m further north and 3 dB weaker: every epoch shared, none higher.
    const std::string a = Capture("ublox-zed-f9p-nmea.nmea");
    const fs::path b = Written(CompareScenario(a).b, ".nmea");
    const Result run = Tool("--gnss --compare " + a + " " + b.string());
    ASSERT_EQ(run.status, 0) << run.err;
    const std::map<std::string, double> figures = Figures(run.out);
    EXPECT_GT(figures.at("epochs"), 0);
    EXPECT_EQ(figures.at("only-a") + figures.at("only-b"), 0);
    EXPECT_NEAR(figures.at("north"), 1.000, 0.001);
    for (const char* key : {"east", "up"})
        EXPECT_NEAR(figures.at(key), 0, 0.001) << key;
    EXPECT_EQ(run.out.find(": -0.000"), std::string::npos) << "a figure that rounds to zero has no sign\n"
                                                           << run.out;
    EXPECT_NEAR(figures.at("horizontal-rms"), 1.000, 0.001);
    for (const char* key : {"cn0-difference", "cn0-difference-L2"})
        EXPECT_NEAR(figures.at(key), -3, 1e-9) << key;
    EXPECT_GT(figures.at("signals-compared"), 100);
    EXPECT_NE(run.out.find("\ncn0-difference-L5:\n"), std::string::npos) << "no L5 in this capture: no figure";

    // Without --gnss this GN receiver gives no fix to compare; one file is not a comparison.
    EXPECT_EQ(Figures(Tool("--compare " + a + " " + b.string()).out).at("epochs"), 0);
    const Result one = Tool("--compare " + a);
    EXPECT_EQ(one.status, 2);
    EXPECT_NE(one.err.find("--compare needs two recordings"), std::string::npos) << one.err;
    fs::remove(b);
}

} // namespace
} // namespace fixwatch::test
