// fixwatch-events --gpx, --kml, --csv: a recording's track for the programs people use next.
#include "epochs.h"
#include "events_offline.h"
#include "track_export.h"

#include <QFile>

#include <cstdio>

namespace fixwatch::events {

int RunTrackExport(const OfflineOptions& options)
{
    std::vector<std::string> files = options.files;
    if (files.empty())
        files.emplace_back();
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly)) {
        std::fprintf(stderr, "fixwatch-events: cannot write to standard output\n");
        return 2;
    }
    const TrackFormat format = options.mode == OfflineMode::Gpx   ? TrackFormat::Gpx
                               : options.mode == OfflineMode::Kml ? TrackFormat::Kml
                                                                  : TrackFormat::Csv;
    TrackExport track(format, out, TrackOptions{options.includeSimulated});
    int status = 0;
    for (const std::string& file : files) {
        // Each epoch is written as it closes: the history needs to hold only the newest.
        EpochModel epochs(options.talkers, 1);
        epochs.AssumeDate(options.date);
        const std::size_t undatedBefore = track.LeftOutUndated();
        const std::size_t pointsBefore = track.Points();
        const std::size_t simulatedBefore = track.LeftOutSimulated();
        bool otherTalkersFix = false;
        track.BeginTrack(QString::fromLocal8Bit(DisplayName(file)));
        std::string error;
        const bool read = ForEachLine(
            file, [&](std::string_view line) {
                if (epochs.Feed(line))
                    track.Add(epochs.History().Newest());
                if (options.talkers == Talkers::GpsOnly && !otherTalkersFix)
                    otherTalkersFix = ReadGgaFix(line, Talkers::AllSystems).has_value();
            },
            error);
        if (epochs.Finish())
            track.Add(epochs.History().Newest());
        track.EndTrack();
        if (!read) {
            out.flush();
            std::fprintf(stderr, "fixwatch-events: cannot read %s: %s\n", DisplayName(file).c_str(), error.c_str());
            status = 2;
        }
        if (track.Points() == pointsBefore && track.LeftOutUndated() == undatedBefore
            && track.LeftOutSimulated() == simulatedBefore && otherTalkersFix)
            std::fprintf(stderr, "fixwatch-events: %s: no point from GP sentences; its fixes come from other "
                                 "talkers (GN, GL, ...): add --gnss\n",
                         DisplayName(file).c_str());
        if (const std::size_t simulated = track.LeftOutSimulated() - simulatedBefore)
            std::fprintf(stderr,
                         "fixwatch-events: %s: %zu points of the receiver's simulator (GGA quality 8) left "
                         "out; keep them with --include-simulated\n",
                         DisplayName(file).c_str(), simulated);
        if (const std::size_t undated = track.LeftOutUndated() - undatedBefore)
            std::fprintf(stderr,
                         "fixwatch-events: %s: %zu points left out of the GPX: they have no date (no RMC or ZDA "
                         "before them); give one with --date YYYY-MM-DD\n",
                         DisplayName(file).c_str(), undated);
    }
    track.Finish();
    out.flush();
    return status;
}

} // namespace fixwatch::events
