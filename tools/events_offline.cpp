#include "events_offline.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace fixwatch::events {

const char* const kOfflineUsage =
    "\n"
    "Recordings into figures or a track (one of them; --gnss reads every talker):\n"
    "  --accuracy FILE...     for a receiver that stood still, print for each FILE a block of\n"
    "                         \"key: value\" lines: file, fixes (every GGA with a fix quality\n"
    "                         above 0), mean_latitude, mean_longitude (8 decimals),\n"
    "                         mean_altitude, then in metres on the WGS 84 tangent plane of the\n"
    "                         reference: cep50, cep95 (percentiles of the horizontal distances,\n"
    "                         linear between ranks), 2drms, r95_altitude (of the distances from\n"
    "                         the mean altitude), sd_east, sd_north, sd_up (of the population),\n"
    "                         and gst_sigma_latitude, gst_sigma_longitude, gst_sigma_altitude\n"
    "                         (means of GST's) when the receiver sends GST\n"
    "  --reference LAT,LON    with --accuracy: distances from this point in decimal degrees\n"
    "                         instead of the mean position\n"
    "  --gpx FILE...          write the track as GPX 1.1 to standard output (one trk per FILE)\n"
    "  --kml FILE...          ... as KML 2.2 (one Placemark per FILE)\n"
    "  --csv FILE...          ... as CSV (RFC 4180, one row per point)\n"
    "                         A point is an epoch (a new UTC time) with a position fix: GGA\n"
    "                         quality above 0, RMC status A, or GLL status A where neither\n"
    "                         GGA nor RMC gives the fixes. A new segment starts after an\n"
    "                         epoch without a fix, or more than 5 s or 10 epochs without one.\n"
    "  --include-simulated    with --gpx, --kml, --csv: keep the points of a receiver's\n"
    "                         simulator (GGA quality 8), which are left out otherwise\n"
    "  --date YYYY-MM-DD      the date of the points before RMC or ZDA gives one (a GGA-only\n"
    "                         receiver); without it such points have no date in CSV and are\n"
    "                         left out of GPX\n"
    "  --compare A B          receiver B against receiver A, from two recordings made at the\n"
    "                         same time and matched on their epochs' UTC time: epochs (with a\n"
    "                         fix in both), only-a, only-b (a fix in one only), east, north,\n"
    "                         up (mean offset of B from A in metres on the plane at A's mean\n"
    "                         position), horizontal-rms, cn0-difference (mean B - A in dB over\n"
    "                         the signals both track at an epoch, with a fix or without, per\n"
    "                         satellite and band),\n"
    "                         signals-compared, and cn0-difference-L1, -L2, -L5, -E5b, -E6;\n"
    "                         a figure without data has an empty value\n";

namespace {

std::optional<double> ReadDegrees(std::string_view text, double limit)
{
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)
        || std::fabs(value) > limit)
        return std::nullopt;
    return value;
}

int Usage(const char* message, const char* argument)
{
    std::fprintf(stderr, "fixwatch-events: %s%s (see --help)\n", message, argument);
    return 2;
}

} // namespace

std::optional<int> RunOfflineMode(int argc, char** argv)
{
    OfflineOptions options;
    bool chosen = false;
    bool reading = true;
    for (int i = 1; i < argc && reading; ++i) {
        const std::string_view a = argv[i];
        if (a == "--")
            reading = false;
        else if (a == "--help" || a == "-h" || a == "--version")
            return std::nullopt;
        else if (a == "--accuracy" || a == "--gpx" || a == "--kml" || a == "--csv" || a == "--compare")
            chosen = true;
    }
    if (!chosen)
        return std::nullopt;

    int modes = 0;
    bool options_ = true;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (!options_) {
            options.files.emplace_back(a);
        } else if (a == "--") {
            options_ = false;
        } else if (a == "--accuracy" || a == "--gpx" || a == "--kml" || a == "--csv" || a == "--compare") {
            ++modes;
            options.mode = a == "--accuracy"  ? OfflineMode::Accuracy
                           : a == "--gpx"     ? OfflineMode::Gpx
                           : a == "--kml"     ? OfflineMode::Kml
                           : a == "--compare" ? OfflineMode::Compare
                                              : OfflineMode::Csv;
        } else if (a == "--gnss") {
            options.talkers = Talkers::AllSystems;
        } else if (a == "--include-simulated") {
            options.includeSimulated = true;
        } else if (a == "--date") {
            if (!hasValue || !(options.date = ReadIsoDate(argv[i + 1])))
                return Usage("--date needs a day as YYYY-MM-DD, not ", hasValue ? argv[i + 1] : "nothing");
            ++i;
        } else if (a == "--reference") {
            const std::string_view value = hasValue ? argv[i + 1] : "";
            const std::size_t comma = value.find(',');
            const auto latitude = ReadDegrees(value.substr(0, comma), 90);
            const auto longitude =
                comma == std::string_view::npos ? std::nullopt : ReadDegrees(value.substr(comma + 1), 180);
            if (!latitude || !longitude)
                return Usage("--reference needs LAT,LON in decimal degrees, not ", hasValue ? argv[i + 1] : "nothing");
            options.reference = std::pair(*latitude, *longitude);
            ++i;
        } else if (a.size() > 1 && a[0] == '-' && a != "-") {
            return Usage("this option does not go with --accuracy, --gpx, --kml, --csv or --compare: ", argv[i]);
        } else {
            options.files.emplace_back(a);
        }
    }
    if (modes > 1)
        return Usage("choose one of --accuracy, --gpx, --kml, --csv and --compare", "");
    if (options.reference && options.mode != OfflineMode::Accuracy)
        return Usage("--reference goes with --accuracy only", "");
    if (options.includeSimulated && (options.mode == OfflineMode::Accuracy || options.mode == OfflineMode::Compare))
        return Usage("--include-simulated goes with --gpx, --kml and --csv only", "");
    if (options.mode == OfflineMode::Compare)
        return RunCompare(options);
    return options.mode == OfflineMode::Accuracy ? RunAccuracy(options) : RunTrackExport(options);
}

std::string DisplayName(const std::string& file) { return file.empty() ? "standard input" : file; }

std::string FigureLine(std::string_view key, double value, int decimals)
{
    char text[64];
    int length = std::snprintf(text, sizeof text, "%.*f", decimals, value);
    const std::string_view shown(text, static_cast<std::size_t>(std::max(length, 0)));
    const bool zero = shown.find_first_not_of("-0.") == std::string_view::npos;
    std::string line(key);
    line += ": ";
    line += zero && shown.starts_with('-') ? shown.substr(1) : shown;
    line += '\n';
    return line;
}

} // namespace fixwatch::events
