#pragma once

// The modes of fixwatch-events that read whole recordings into figures or a track rather
// than printing events: --accuracy, --gpx, --kml, --csv and --compare.
#include "epochs.h"
#include "recording_lines.h"
#include "talkers.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fixwatch::events {

extern const char* const kOfflineUsage;

enum class OfflineMode {
    Accuracy,
    Gpx,
    Kml,
    Csv,
    Compare,
};

struct OfflineOptions {
    OfflineMode mode = OfflineMode::Accuracy;
    Talkers talkers = Talkers::GpsOnly;
    std::optional<UtcDate> date;                        // --date
    bool includeSimulated = false;                      // --include-simulated
    std::optional<std::pair<double, double>> reference; // --reference LAT,LON
    std::vector<std::string> files;                     // empty: standard input
};

// Runs the mode the command line names and gives the exit status; nothing when it names
// none of them (the event modes then read it).
std::optional<int> RunOfflineMode(int argc, char** argv);

int RunAccuracy(const OfflineOptions& options);
int RunTrackExport(const OfflineOptions& options);
int RunCompare(const OfflineOptions& options);

using fixwatch::ForEachLine;

// The name a file goes by in the output.
std::string DisplayName(const std::string& file);

// One figure of the "key: value" modes, with `decimals` decimals: "north: 1.000". A value that
// rounds to zero is written "0.000", never "-0.000".
std::string FigureLine(std::string_view key, double value, int decimals);

} // namespace fixwatch::events
