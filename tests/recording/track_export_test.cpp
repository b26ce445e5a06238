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

} // namespace
} // namespace fixwatch
