// fixwatch-events --accuracy: how well a receiver that stood still held its position.
#include "accuracy_report.h"
#include "events_offline.h"

#include <cstdio>

namespace fixwatch::events {

namespace {

void Print(std::string& out, const char* key, double value, int decimals) { out += FigureLine(key, value, decimals); }

void Print(std::string& out, const char* key, const std::optional<double>& value, int decimals)
{
    if (value)
        Print(out, key, *value, decimals);
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
        GstSigmaMeans sigmas;
        auto takeSigmas = [&] { sigmas.Add(epochs.History().Newest()); };
        std::string error;
        const bool read = ForEachLine(
            file, [&](std::string_view line) {
                if (auto fix = ReadGgaFix(line, options.talkers))
                    fixes.push_back(*fix);
                else if (options.talkers == Talkers::GpsOnly && !otherTalkersFix)
                    otherTalkersFix = ReadGgaFix(line, Talkers::AllSystems).has_value();
                if (epochs.Feed(line))
                    takeSigmas();
            },
            error);
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
                                 "talkers (GN, GL, ...): add --gnss\n",
                         DisplayName(file).c_str());
        if (!out.empty())
            out += '\n';
        out += "file: " + DisplayName(file) + '\n';
        out += "fixes: " + std::to_string(fixes.size()) + '\n';
        std::optional<ReferencePoint> reference;
        if (options.reference)
            reference = ReferencePoint{options.reference->first, options.reference->second};
        if (const auto report = ReportAccuracy(fixes, reference)) {
            const AccuracyFigures& figures = report->figures;
            Print(out, "mean_latitude", report->meanLatitude, 8);
            Print(out, "mean_longitude", report->meanLongitude, 8);
            Print(out, "mean_altitude", report->meanAltitude, 3);
            Print(out, "reference_latitude", report->reference.latitude, 8);
            Print(out, "reference_longitude", report->reference.longitude, 8);
            Print(out, "cep50", figures.cep50, 3);
            Print(out, "cep95", figures.cep95, 3);
            Print(out, "2drms", figures.twoDrms, 3);
            Print(out, "r95_altitude", figures.r95Altitude, 3);
            Print(out, "sd_east", figures.sdEast, 3);
            Print(out, "sd_north", figures.sdNorth, 3);
            Print(out, "sd_up", figures.sdUp, 3);
        }
        Print(out, "gst_sigma_latitude", sigmas.latitude.Value(), 3);
        Print(out, "gst_sigma_longitude", sigmas.longitude.Value(), 3);
        Print(out, "gst_sigma_altitude", sigmas.altitude.Value(), 3);
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return status;
}

} // namespace fixwatch::events
