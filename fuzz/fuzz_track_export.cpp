// Feeds arbitrary text, line by line, to the epoch model and writes the epochs' track as GPX,
// KML and CSV, as the window's "Export track..." and fixwatch-events do. Each line also goes
// in with its checksum made right. Any crash or sanitizer report is a bug, and so is a GPX or
// KML document that does not read back as well-formed XML, or a CSV row whose cells are not
// those of its header.
#include "epochs.h"
#include "fuzz_lines.h"
#include "track_export.h"

#include <QBuffer>
#include <QXmlStreamReader>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

void Check(bool promise)
{
    if (!promise)
        std::abort();
}

// The cells of each CSV row, quotes honoured.
std::vector<int> CellCounts(const QByteArray& csv)
{
    std::vector<int> counts;
    int cells = 1;
    bool quoted = false;
    for (qsizetype i = 0; i < csv.size(); ++i) {
        const char c = csv[i];
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && c == ',')
            ++cells;
        else if (!quoted && c == '\n') {
            counts.push_back(cells);
            cells = 1;
        }
    }
    Check(!quoted);
    return counts;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    fixwatch::EpochModel epochs(fixwatch::Talkers::AllSystems, 256);
    fixwatch::fuzz::ForEachLineAndSealed(text, [&](std::string_view line, bool) { epochs.Feed(line); });
    epochs.Finish();

    for (const auto format : {fixwatch::TrackFormat::Gpx, fixwatch::TrackFormat::Kml, fixwatch::TrackFormat::Csv}) {
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        {
            fixwatch::TrackExport track(format, out);
            track.BeginTrack(QStringLiteral("fuzz <&> \"track\""));
            const fixwatch::EpochHistory& history = epochs.History();
            for (std::size_t i = 0; i < history.Size(); ++i)
                track.Add(history[i]);
            track.EndTrack();
            track.Finish();
        }
        const QByteArray written = out.data();
        if (format == fixwatch::TrackFormat::Csv) {
            const std::vector<int> counts = CellCounts(written);
            Check(!counts.empty());
            for (const int cells : counts)
                Check(cells == counts.front());
        } else {
            QXmlStreamReader reader(written);
            while (!reader.atEnd())
                reader.readNext();
            Check(!reader.hasError());
        }
    }
    return 0;
}
