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

struct TrackOptions {
    bool includeSimulated = false; // points of a receiver's simulator (GGA quality 8)
};

// Writes the epochs that have a position fix as a track: GPX 1.1 (one trk per track),
// KML 2.2 (one Placemark per track) or CSV (RFC 4180: a header row, CR LF, ISO 8601 UTC
// times, empty cells for unknown values). A new piece of the line (GPX's trkseg, a
// LineString of its own in KML) starts only after a real gap in the fix: an epoch that says
// there is none, or more than kGapMs or kGapEpochs since the last point. Once GGA or RMC
// give the fixes, an epoch of GLL alone at a time of its own is no point and no gap: it
// repeats what they say. KML is written as it goes, in LineStrings of at most
// kKmlPiecePoints points, so that no text node grows with the track.
// GPX needs a date for each point: a point without one is left out and counted.
class TrackExport {
public:
    static constexpr std::int64_t kGapMs = 5000;
    static constexpr std::size_t kGapEpochs = 10;
    static constexpr std::size_t kKmlPiecePoints = 10000;

    TrackExport(TrackFormat format, QIODevice& out, TrackOptions options = {});
    ~TrackExport();

    void BeginTrack(const QString& name);
    void Add(const Epoch& epoch);
    void EndTrack();
    // Ends the document; nothing may be added after it.
    void Finish();

    std::size_t Points() const { return points_; }          // written, over every track
    std::size_t LeftOutUndated() const { return undated_; } // GPX points without a date
    std::size_t LeftOutSimulated() const { return simulated_; }

private:
    bool StartsNewPiece(const Epoch& epoch) const;
    void EndPiece();
    void AddGpx(const Epoch& epoch);
    void AddKml(const Epoch& epoch);
    void AddCsv(const Epoch& epoch);
    void WriteKmlPiece();

    TrackFormat format_;
    QIODevice& out_;
    TrackOptions options_;
    std::unique_ptr<QXmlStreamWriter> xml_;
    bool inSegment_ = false;
    bool gap_ = false;           // the fix was lost since the last point
    bool ggaOrRmcFixes_ = false; // the track's fixes come from GGA or RMC
    std::size_t epochsSincePoint_ = 0;
    std::optional<std::int64_t> lastPointMs_; // from the date when there is one, else of the day
    bool lastPointDated_ = false;
    QString coordinates_;    // KML: the piece of the line not yet written
    QString lastCoordinate_; // KML: so that a piece cut for size joins the next
    std::size_t piecePoints_ = 0;
    bool allAltitudes_ = true;   // KML: every point of the piece has its altitude
    bool multiGeometry_ = false; // KML: the track is written as several LineStrings
    std::size_t trackPoints_ = 0;
    std::size_t points_ = 0;
    std::size_t undated_ = 0;
    std::size_t simulated_ = 0;
};

// "2026-12-07T10:15:00.1Z", or "10:15:00.1Z" without a date; fractions of a second only as
// far as they go.
QString IsoUtcTime(const std::optional<UtcDate>& date, std::int32_t timeMs);

} // namespace fixwatch
