// fixwatch-events --accuracy, --gpx, --kml and --csv end to end: real captures in, the
// figures checked against a computation of their own, the tracks read back by gpsbabel and
// xmllint.
#include "captures.h"
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

fs::path TempFile(const std::string& suffix)
{
    const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    return fs::temp_directory_path() / ("fixwatch-offline-" + test + suffix);
}

std::string Slurp(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

Result Shell(const std::string& command)
{
    const fs::path err = TempFile(".err");
    Result run;
    FILE* pipe = popen((command + " 2>" + err.string()).c_str(), "r");
    char buffer[4096];
    for (std::size_t n; pipe && (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        run.out.append(buffer, n);
    const int status = pipe ? pclose(pipe) : -1;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.err = Slurp(err);
    fs::remove(err);
    return run;
}

Result Tool(const std::string& arguments) { return Shell(std::string(FIXWATCH_EVENTS_TOOL) + " " + arguments); }

std::string Capture(const char* name) { return fixwatch::test::CapturePath(name).string(); }

fs::path Written(const std::string& text, const std::string& suffix)
{
    const fs::path file = TempFile(suffix);
    std::ofstream(file, std::ios::binary) << text;
    return file;
}

std::string Sealed(const std::string& body)
{
    unsigned sum = 0;
    for (char c : body.substr(1))
        sum ^= static_cast<unsigned char>(c);
    char hex[4];
    std::snprintf(hex, sizeof hex, "%02X", sum);
    return body + "*" + hex + "\r\n";
}

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::stringstream in(text);
    for (std::string part; std::getline(in, part, separator);)
        parts.push_back(part);
    if (!text.empty() && text.back() == separator)
        parts.emplace_back();
    return parts;
}

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
    void SetUp() override
    {
        FIXWATCH_NEED_CAPTURES();
    }
};

// The same statistics worked out here: GGAs read with plain string handling, WGS 84 to
// earth-centred coordinates and then rotated into east, north, up, sorted percentiles.
struct Independent {
    std::size_t fixes = 0;
    double cep50 = 0, cep95 = 0, twoDrms = 0, sdEast = 0, sdNorth = 0;
};

Independent Compute(const std::string& file, bool allTalkers, std::optional<std::pair<double, double>> reference)
{
    struct P {
        double lat, lon, alt;
    };
    std::vector<P> points;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const auto star = line.rfind('*');
        if (line.size() < 10 || line[0] != '$' || star == std::string::npos || star + 3 != line.size())
            continue;
        unsigned sum = 0;
        for (std::size_t i = 1; i < star; ++i)
            sum ^= static_cast<unsigned char>(line[i]);
        if (std::strtoul(line.substr(star + 1).c_str(), nullptr, 16) != sum || !std::isxdigit(line[star + 1]))
            continue;
        const auto f = Split(line.substr(0, star), ',');
        const std::string talker = f[0].substr(1, 2);
        if (f[0].size() != 6 || f[0].substr(3) != "GGA" || f.size() < 10
            || (allTalkers ? std::string("GPGNGLGAGBBDGQQZGI").find(talker) % 2 != 0 : talker != "GP")
            || f[6].empty() || std::atoi(f[6].c_str()) <= 0 || f[2].empty() || f[4].empty())
            continue;
        const double rawLat = std::stod(f[2]), rawLon = std::stod(f[4]);
        double lat = std::floor(rawLat / 100) + std::fmod(rawLat, 100) / 60;
        double lon = std::floor(rawLon / 100) + std::fmod(rawLon, 100) / 60;
        if (f[3] == "S")
            lat = -lat;
        if (f[5] == "W")
            lon = -lon;
        points.push_back({lat, lon, f[9].empty() ? 0 : std::stod(f[9])});
    }
    Independent r;
    r.fixes = points.size();
    if (points.empty())
        return r;
    double refLat = 0, refLon = 0, refAlt = 0;
    for (const P& p : points) {
        refLat += p.lat / static_cast<double>(points.size());
        refLon += p.lon / static_cast<double>(points.size());
        refAlt += p.alt / static_cast<double>(points.size());
    }
    if (reference)
        std::tie(refLat, refLon) = *reference;
    const double a = 6378137, f = 1 / 298.257223563, e2 = f * (2 - f), rad = M_PI / 180;
    auto ecef = [&](double lat, double lon, double h) {
        const double n = a / std::sqrt(1 - e2 * std::sin(lat * rad) * std::sin(lat * rad));
        return std::array<double, 3>{(n + h) * std::cos(lat * rad) * std::cos(lon * rad),
                                     (n + h) * std::cos(lat * rad) * std::sin(lon * rad),
                                     (n * (1 - e2) + h) * std::sin(lat * rad)};
    };
    const auto origin = ecef(refLat, refLon, refAlt);
    const double sp = std::sin(refLat * rad), cp = std::cos(refLat * rad);
    const double sl = std::sin(refLon * rad), cl = std::cos(refLon * rad);
    std::vector<double> d, east, north;
    double squares = 0;
    for (const P& p : points) {
        const auto x = ecef(p.lat, p.lon, p.alt);
        const double dx = x[0] - origin[0], dy = x[1] - origin[1], dz = x[2] - origin[2];
        east.push_back(-sl * dx + cl * dy);
        north.push_back(-sp * cl * dx - sp * sl * dy + cp * dz);
        d.push_back(std::hypot(east.back(), north.back()));
        squares += d.back() * d.back();
    }
    std::sort(d.begin(), d.end());
    auto percentile = [&](double q) {
        const double rank = q * static_cast<double>(d.size() - 1);
        const auto lo = static_cast<std::size_t>(rank);
        return d[lo] + (rank - static_cast<double>(lo)) * (d[std::min(lo + 1, d.size() - 1)] - d[lo]);
    };
    auto sd = [](const std::vector<double>& v) {
        double mean = 0, sum = 0;
        for (double x : v)
            mean += x / static_cast<double>(v.size());
        for (double x : v)
            sum += (x - mean) * (x - mean);
        return std::sqrt(sum / static_cast<double>(v.size()));
    };
    r.cep50 = percentile(0.5);
    r.cep95 = percentile(0.95);
    r.twoDrms = 2 * std::sqrt(squares / static_cast<double>(d.size()));
    r.sdEast = sd(east);
    r.sdNorth = sd(north);
    return r;
}

TEST_F(OfflineTool, AccuracyOfStationaryCapturesMatchesAnIndependentComputation)
{
    const struct {
        const char* capture;
        bool allTalkers;
        std::optional<std::pair<double, double>> reference;
    } rows[] = {
        {"ublox-zed-f9p-nmea.nmea", true, std::nullopt},
        {"neo-m8n.nmea", true, std::nullopt},
        {"neo-m8n.nmea", true, std::pair(44.069, -121.3142)},
        {"GPSmap-76S.nmea", false, std::nullopt},
        {"bu353s4.nmea", false, std::nullopt},
    };
    for (const auto& row : rows) {
        std::string arguments = std::string("--accuracy ") + (row.allTalkers ? "--gnss " : "") + Capture(row.capture);
        if (row.reference)
            arguments += " --reference " + std::to_string(row.reference->first) + "," + std::to_string(row.reference->second);
        const Result run = Tool(arguments);
        ASSERT_EQ(run.status, 0) << arguments << run.err;
        auto figures = Figures(run.out);
        const Independent expected = Compute(Capture(row.capture), row.allTalkers, row.reference);
        SCOPED_TRACE(arguments + "\n" + run.out);
        ASSERT_GT(expected.fixes, 5u);
        EXPECT_EQ(figures["fixes"], static_cast<double>(expected.fixes));
        EXPECT_NEAR(figures["cep50"], expected.cep50, 0.0015);
        EXPECT_NEAR(figures["cep95"], expected.cep95, 0.0015);
        EXPECT_NEAR(figures["2drms"], expected.twoDrms, 0.0015);
        EXPECT_NEAR(figures["sd_east"], expected.sdEast, 0.0015);
        EXPECT_NEAR(figures["sd_north"], expected.sdNorth, 0.0015);
        EXPECT_TRUE(figures.count("r95_altitude") && figures.count("mean_altitude") && figures.count("sd_up"));
    }
    const Result f9p = Tool("--accuracy --gnss " + Capture("ublox-zed-f9p-nmea.nmea"));
    EXPECT_NE(f9p.out.find("gst_sigma_latitude: 2.324\n"), std::string::npos) << "the mean of its GST σ";
}

TEST_F(OfflineTool, AccuracyPrintsABlockPerFileAndRejectsABadReference)
{
    const Result run = Tool("--accuracy " + Capture("GPSmap-76S.nmea") + " /dev/null");
    EXPECT_EQ(run.status, 0);
    const auto blank = run.out.find("\n\n");
    ASSERT_NE(blank, std::string::npos);
    EXPECT_EQ(run.out.substr(blank + 2), "file: /dev/null\nfixes: 0\n");
    const Result gnOnly = Tool("--accuracy " + Capture("neo-m8n.nmea"));
    EXPECT_NE(gnOnly.out.find("fixes: 0\n"), std::string::npos);
    EXPECT_NE(gnOnly.err.find("add --gnss"), std::string::npos) << "says why there is nothing";
    EXPECT_NE(Tool("--gpx " + Capture("neo-m8n.nmea")).err.find("add --gnss"), std::string::npos);
    EXPECT_EQ(Tool("--accuracy --reference 91,0 /dev/null").status, 2);
    EXPECT_EQ(Tool("--accuracy --reference 45.1 /dev/null").status, 2);
    EXPECT_EQ(Tool("--accuracy --gpx /dev/null").status, 2);
    EXPECT_EQ(Tool("--accuracy /nonexistent/x.nmea").status, 2);
}

// gpsbabel's reading of a GPX file's track points, one "lat,lon,date time" per point.
std::vector<std::string> BabelPoints(const std::string& format, const fs::path& file)
{
    const Result run = Shell("gpsbabel -t -i " + format + " -f " + file.string() + " -o unicsv,utc=0 -F -");
    std::vector<std::string> points;
    auto lines = Split(run.out, '\n');
    for (std::size_t i = 1; i < lines.size(); ++i) {
        auto cells = Split(lines[i], ',');
        if (cells.size() >= 3)
            points.push_back(cells[1] + "," + cells[2] + "," + (cells.size() > 2 ? cells.back() : ""));
    }
    return points;
}

TEST_F(OfflineTool, GpxOfRealCapturesIsValidAndGpsbabelReadsBackEveryPoint)
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
    } rows[] = {
        {"ublox-zed-f9p-nmea.nmea", "--gnss", SameCount},
        {"nmea-rtk.nmea", "--gnss", SamePoints},
        {"GPSmap-76S.nmea", "", Differs},
        {"bu353s4.nmea", "", SamePoints},
        {"quectel-l76k-nmea.nmea", "--gnss", SamePoints},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.capture);
        const fs::path gpx = TempFile(".gpx");
        const Result run = Tool(std::string("--gpx ") + row.options + " " + Capture(row.capture) + " > " + gpx.string());
        ASSERT_EQ(run.status, 0) << run.err;
        const Result valid = Shell("xmllint --noout --schema " FIXWATCH_GPX_SCHEMA " " + gpx.string());
        EXPECT_EQ(valid.status, 0) << valid.err;

        const Result csv = Tool(std::string("--csv ") + row.options + " " + Capture(row.capture));
        const std::size_t points = Split(csv.out, '\n').size() - 2; // less the header and the last CR LF
        const auto back = BabelPoints("gpx", gpx);
        EXPECT_GT(back.size(), 5u);
        EXPECT_EQ(back.size(), points) << "every point, read back";
        // Point by point, beside gpsbabel's own reading of the NMEA.
        const Result own = Shell("gpsbabel -t -i nmea -f " + Capture(row.capture) + " -o gpx -F " + gpx.string() + ".babel");
        const auto babel = BabelPoints("gpx", gpx.string() + ".babel");
        if (row.babel == SamePoints) {
            EXPECT_EQ(babel, back);
        } else if (row.babel == SameCount) {
            EXPECT_EQ(babel.size(), back.size());
        }
        fs::remove(gpx);
        fs::remove(gpx.string() + ".babel");
    }
}

TEST_F(OfflineTool, KmlIsWellFormedAndCsvFollowsRfc4180)
{
    const Result kml = Tool("--kml --gnss " + Capture("nmea-rtk.nmea"));
    ASSERT_EQ(kml.status, 0);
    const fs::path file = Written(kml.out, ".kml");
    EXPECT_EQ(Shell("xmllint --noout " + file.string()).status, 0);
    fs::remove(file);

    const Result csv = Tool("--csv --gnss " + Capture("nmea-rtk.nmea"));
    ASSERT_EQ(csv.status, 0);
    ASSERT_GE(csv.out.size(), 2u);
    EXPECT_EQ(csv.out.substr(csv.out.size() - 2), "\r\n");
    auto lines = Split(csv.out, '\n');
    lines.pop_back(); // after the last CR LF
    for (const std::string& line : lines) {
        EXPECT_EQ(line.back(), '\r') << "every record ends in CR LF";
        EXPECT_EQ(Split(line.substr(0, line.size() - 1), ',').size(), 12u) << line;
        EXPECT_EQ(line.find('"'), std::string::npos);
    }
    EXPECT_EQ(lines[1].substr(0, 24), "2020-03-18T13:28:19.6Z,4");
}

TEST_F(OfflineTool, MidnightRolloverAndAGgaOnlyFileWithAndWithoutADate)
{
    const std::string gga = "$GPGGA,%s,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,";
    auto at = [&](const char* time) {
        std::string body = gga;
        body.replace(body.find("%s"), 2, time);
        return Sealed(body);
    };
    const fs::path ggaOnly = Written(at("235959") + at("000000") + at("000001"), ".nmea");

    const Result undatedCsv = Tool("--csv " + ggaOnly.string());
    EXPECT_NE(undatedCsv.out.find("\r\n23:59:59Z,48.1173"), std::string::npos) << undatedCsv.out;
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

    const fs::path withRmc = Written(Sealed("$GPRMC,235959,A,4807.038,N,01131.000,E,0.1,,311226,,") + at("000000"),
                                     ".nmea");
    const Result rolled = Tool("--csv " + withRmc.string());
    EXPECT_NE(rolled.out.find("\r\n2027-01-01T00:00:00Z,"), std::string::npos) << rolled.out;
    fs::remove(ggaOnly);
    fs::remove(withRmc);
}

} // namespace
