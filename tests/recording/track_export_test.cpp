// The track writers on epochs made by hand: the exact CSV, GPX segments and the texts a
// file name can bring in.
#include "track_export.h"
#include "qt_print.h"

#include <QBuffer>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <tuple>

namespace fixwatch {
namespace {

Epoch Fix(std::int32_t timeMs, std::optional<UtcDate> date = UtcDate{2026, 12, 7})
{
    Epoch e;
    std::tie(e.timeMs, e.date, e.latitude, e.longitude, e.fixQuality, e.gsaMode) =
        std::tuple(timeMs, date, 48.1173, -11.516666666, 1, 3);
    return e;
}

QByteArray Export(TrackFormat format, const std::vector<Epoch>& epochs, const QString& name = "t",
                  std::size_t* undated = nullptr)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    TrackExport track(format, buffer);
    track.BeginTrack(name);
    for (const Epoch& e : epochs)
        track.Add(e);
    track.EndTrack();
    track.Finish();
    if (undated)
        *undated = track.LeftOutUndated();
    return buffer.data();
}

TEST(TrackExport, CsvHasAHeaderCrLfIsoTimesAndEmptyCellsForUnknownValues)
{
    Epoch full = Fix(36'000'100);
    std::tie(full.altitude, full.geoidSeparation, full.speedKnots, full.course, full.satellitesUsed, full.hdop,
             full.vdop, full.pdop) = std::tuple(545.4, -46.9, 0.5, 84.4, 8, 0.9, 1.25, 1.5);
    Epoch noFix = Fix(36'001'000);
    noFix.fixQuality = 0;
    Epoch rmcOnly = Fix(36'002'000, std::nullopt);
    rmcOnly.fixQuality.reset();
    rmcOnly.rmcStatus = 'A';
    EXPECT_EQ(Export(TrackFormat::Csv, {full, noFix, rmcOnly}),
              "time,latitude,longitude,altitude,geoid_separation,speed_knots,course,fix_quality,"
              "satellites_used,hdop,vdop,pdop\r\n"
              "2026-12-07T10:00:00.1Z,48.117300000,-11.516666666,545.4,-46.9,0.5,84.4,1,8,0.9,1.25,1.5\r\n"
              "10:00:02Z,48.117300000,-11.516666666,,,,,,,,,\r\n");
}

TEST(TrackExport, GpxStartsASegmentAfterAGapAndLeavesOutPointsWithoutADate)
{
    Epoch noFix = Fix(2000);
    noFix.fixQuality = 0;
    Epoch antimeridian = Fix(4000);
    antimeridian.longitude = 180.0;
    std::size_t undated = 0;
    const QByteArray gpx = Export(TrackFormat::Gpx, {Fix(0), Fix(1000), noFix, Fix(3000, std::nullopt), antimeridian},
                                  "a <b> & \"c\"\x01", &undated);
    EXPECT_EQ(undated, 1u);
    QXmlStreamReader xml(gpx);
    int segments = 0;
    QString name;
    QStringList longitudes;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"trkseg")
            ++segments;
        if (xml.name() == u"trkpt")
            longitudes << xml.attributes().value("lon").toString();
        if (xml.name() == u"name")
            name = xml.readElementText();
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(segments, 2);
    EXPECT_EQ(longitudes.size(), 3);
    EXPECT_EQ(longitudes.last(), "-180.000000000") << "GPX longitudes stop short of 180";
    EXPECT_EQ(name, QString("a <b> & \"c\"") + QChar::ReplacementCharacter);
}

TEST(TrackExport, KmlIsOneLineStringOfLonLatAlt)
{
    Epoch high = Fix(0);
    high.altitude = 12.5;
    const QByteArray kml = Export(TrackFormat::Kml, {high, high});
    EXPECT_TRUE(kml.contains("<coordinates>-11.516666666,48.117300000,12.5 -11.516666666,48.117300000,12.5"
                             "</coordinates>"))
        << kml.toStdString();
    EXPECT_TRUE(kml.contains("<altitudeMode>absolute</altitudeMode>"));
    EXPECT_FALSE(Export(TrackFormat::Kml, {Fix(0)}).contains("altitudeMode"))
        << "without altitudes the line lies on the ground";
}

TEST(TrackExport, ANewSegmentStartsOnlyAfterARealGapInTheFix)
{
    Epoch gll = Fix(1000);
    gll.fixQuality.reset();
    gll.gllStatus = 'A';
    Epoch noFix = Fix(0);
    noFix.fixQuality = 0;
    Epoch simulated = Fix(0);
    simulated.fixQuality = 8;
    simulated.rmcStatus = 'V';
    Epoch silent; // a sentence at a time of its own that says nothing of the fix
    silent.timeMs = 0;
    auto at = [](Epoch e, std::int32_t timeMs) {
        e.timeMs = timeMs;
        return e;
    };
    const struct {
        const char* legend;
        std::vector<Epoch> epochs;
        qsizetype points, segments;
    } rows[] = {
        {"GLL between GGA fixes", {Fix(0), at(gll, 1000), Fix(2000), at(gll, 3000), Fix(4000)}, 3, 1},
        {"GLL alone makes the track", {at(gll, 0), at(gll, 1000), Fix(2000), at(gll, 3000)}, 3, 1},
        {"an epoch without a fix", {Fix(0), at(noFix, 1000), Fix(2000)}, 2, 2},
        {"epochs that say nothing of the fix", {Fix(0), at(silent, 500), at(silent, 700), Fix(1000)}, 2, 1},
        {"5 s without an epoch", {Fix(0), Fix(5000), Fix(10'001)}, 3, 2},
        {"more than 10 epochs without a fix", {Fix(0), at(silent, 100), at(silent, 200), at(silent, 300), at(silent, 400), at(silent, 500), at(silent, 600), at(silent, 700), at(silent, 800), at(silent, 900), at(silent, 950), Fix(1000)}, 2, 2},
        {"time going back", {Fix(2000), Fix(1000)}, 2, 2},
        {"a simulator's fixes", {Fix(0), at(simulated, 1000), Fix(2000)}, 2, 2},
    };
    for (const auto& row : rows) {
        const QByteArray gpx = Export(TrackFormat::Gpx, row.epochs);
        EXPECT_EQ(gpx.count("<trkpt "), row.points) << row.legend;
        EXPECT_EQ(gpx.count("<trkseg>"), row.segments) << row.legend;
    }
}

TEST(TrackExport, AKmlTrackComesInLineStringsOfBoundedSizeThatJoin)
{
    std::vector<Epoch> epochs;
    const std::size_t count = 2 * TrackExport::kKmlPiecePoints + 10;
    for (std::size_t i = 0; i < count; ++i) {
        epochs.push_back(Fix(static_cast<std::int32_t>(i) * 1000));
        epochs.back().latitude = 40 + static_cast<double>(i) * 1e-6;
    }
    const QByteArray kml = Export(TrackFormat::Kml, epochs);
    QXmlStreamReader xml(kml);
    QStringList pieces;
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"coordinates")
            pieces << xml.readElementText();
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    ASSERT_EQ(pieces.size(), 3);
    EXPECT_EQ(kml.count("<MultiGeometry>"), 1);
    qsizetype points = 0;
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        const QStringList coordinates = pieces[i].split(u' ');
        points += coordinates.size();
        if (i > 0) {
            EXPECT_EQ(coordinates.first(), pieces[i - 1].split(u' ').last()) << "piece " << i << " joins the one before";
        }
    }
    EXPECT_EQ(points, static_cast<qsizetype>(count) + 2) << "each joint is written twice";
}

} // namespace
} // namespace fixwatch
