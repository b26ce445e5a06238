#pragma once

#include "epochs.h"

#include <QString>
#include <QXmlStreamWriter>

#include <memory>

class QIODevice;

namespace fixwatch {

enum class TrackFormat {

    Gpx,

    Kml,

    Csv,

};

// Writes the epochs that have a position fix as a track: GPX 1.1 (one trk per track, a new
// trkseg after epochs without a fix), KML 2.2 (one Placemark with a LineString per track)
// or CSV (RFC 4180: a header row, CR LF, ISO 8601 UTC times, empty cells for unknown values).
// GPX needs a date for each point: a point without one is left out and counted.
class TrackExport {
public:
    TrackExport(TrackFormat format, QIODevice& out);
    ~TrackExport();

    void BeginTrack(const QString& name);
    void Add(const Epoch& epoch);
    void EndTrack();
    // Ends the document; nothing may be added after it.
    void Finish();

    std::size_t Points() const { return points_; }          // written, over every track
    std::size_t LeftOutUndated() const { return undated_; } // GPX points without a date

private:
    void AddGpx(const Epoch& epoch);
    void AddKml(const Epoch& epoch);
    void AddCsv(const Epoch& epoch);

    TrackFormat format_;
    QIODevice& out_;
    std::unique_ptr<QXmlStreamWriter> xml_;
    bool inSegment_ = false;
    QString coordinates_;      // KML: the track's LineString so far
    bool allAltitudes_ = true; // KML: every point of the track has its altitude
    std::size_t trackPoints_ = 0;
    std::size_t points_ = 0;
    std::size_t undated_ = 0;
};

// "2026-12-07T10:15:00.1Z", or "10:15:00.1Z" without a date; fractions of a second only as
// far as they go.
QString IsoUtcTime(const std::optional<UtcDate>& date, std::int32_t timeMs);

} // namespace fixwatch
