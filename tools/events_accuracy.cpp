// fixwatch-events --accuracy: how well a receiver that stood still held its position.
#include "accuracy.h"
#include "epochs.h"
#include "events_offline.h"
#include "local_plane.h"

#include <cmath>
#include <cstdio>

namespace fixwatch::events {

namespace {

struct Mean {
    double sum = 0;
    std::size_t count = 0;
    void Add(const std::optional<double>& v) { if (v) { sum += *v; ++count; } }
    std::optional<double> Value() const { return count ? std::optional(sum / static_cast<double>(count)) : std::nullopt; }
};

void Print(std::string& out, const char* key, double value, int decimals)
{
    char text[96];
    std::snprintf(text, sizeof text, "%s: %.*f\n", key, decimals, value);
    out += text;
}

void Print(std::string& out, const char* key, const std::optional<double>& value, int decimals)
{
    if (value)
        Print(out, key, *value, decimals);
}

// Longitudes are averaged as offsets from the first fix's, so a receiver on the 180th
// meridian averages to it rather than to 0.
double WrapLongitude(double longitude)
{
    longitude = std::fmod(longitude + 180, 360);
    return (longitude < 0 ? longitude + 360 : longitude) - 180;
}

} // namespace

int RunAccuracy(const OfflineOptions& options)
{
    std::vector<std::string> files = options.files;
    if (files.empty())
        files.emplace_back();
    int status = 0;
    std::string out;
    for (const std::string& file : files) {
        std::vector<GgaFix> fixes;
        bool otherTalkersFix = false;
        EpochModel epochs(options.talkers, 1);
        Mean sigmaLatitude, sigmaLongitude, sigmaAltitude;
        auto takeSigmas = [&] {
            const Epoch& e = epochs.History().Newest();
            sigmaLatitude.Add(e.sigmaLatitude);
            sigmaLongitude.Add(e.sigmaLongitude);
            sigmaAltitude.Add(e.sigmaAltitude);
        };
        std::string error;
        const bool read = ForEachLine(file, [&](std::string_view line) {
            if (auto fix = ReadGgaFix(line, options.talkers))
                fixes.push_back(*fix);
            else if (options.talkers == Talkers::GpsOnly && !otherTalkersFix)
                otherTalkersFix = ReadGgaFix(line, Talkers::AllSystems).has_value();
            if (epochs.Feed(line))
                takeSigmas();
        }, error);
        if (epochs.Finish())
            takeSigmas();
        if (!read) {
            std::fwrite(out.data(), 1, out.size(), stdout);
            out.clear();
            std::fflush(stdout);
            std::fprintf(stderr, "fixwatch-events: cannot read %s: %s\n", DisplayName(file).c_str(), error.c_str());
            status = 2;
            continue;
        }

        if (fixes.empty() && otherTalkersFix)
            std::fprintf(stderr, "fixwatch-events: %s: no fix from GP sentences; its fixes come from other "
                                 "talkers (GN, GL, ...): add --gnss\n", DisplayName(file).c_str());
        if (!out.empty())
            out += '\n';
        out += "file: " + DisplayName(file) + '\n';
        out += "fixes: " + std::to_string(fixes.size()) + '\n';
        if (!fixes.empty()) {
            Mean latitude, longitudeOffset, altitude;
            for (const GgaFix& f : fixes) {
                latitude.Add(f.latitude);
                longitudeOffset.Add(WrapLongitude(f.longitude - fixes.front().longitude));
                altitude.Add(f.altitude);
            }
            const double meanLatitude = *latitude.Value();
            const double meanLongitude = WrapLongitude(fixes.front().longitude + *longitudeOffset.Value());
            const auto meanAltitude = altitude.Value();
            const double referenceLatitude = options.reference ? options.reference->first : meanLatitude;
            const double referenceLongitude = options.reference ? options.reference->second : meanLongitude;

            const LocalPlane plane(referenceLatitude, referenceLongitude, meanAltitude.value_or(0));
            std::vector<LocalOffset> offsets;
            offsets.reserve(fixes.size());
            for (const GgaFix& f : fixes)
                offsets.push_back(plane.Offset(f.latitude, f.longitude, f.altitude));
            const AccuracyFigures figures = ComputeAccuracy(offsets);

            Print(out, "mean_latitude", meanLatitude, 8);
            Print(out, "mean_longitude", meanLongitude, 8);
            Print(out, "mean_altitude", meanAltitude, 3);
            Print(out, "reference_latitude", referenceLatitude, 8);
            Print(out, "reference_longitude", referenceLongitude, 8);
            Print(out, "cep50", figures.cep50, 3);
            Print(out, "cep95", figures.cep95, 3);
            Print(out, "2drms", figures.twoDrms, 3);
            Print(out, "r95_altitude", figures.r95Altitude, 3);
            Print(out, "sd_east", figures.sdEast, 3);
            Print(out, "sd_north", figures.sdNorth, 3);
            Print(out, "sd_up", figures.sdUp, 3);
        }
        Print(out, "gst_sigma_latitude", sigmaLatitude.Value(), 3);
        Print(out, "gst_sigma_longitude", sigmaLongitude.Value(), 3);
        Print(out, "gst_sigma_altitude", sigmaAltitude.Value(), 3);
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return status;
}

} // namespace fixwatch::events
