#include "track_export.h"

#include <QIODevice>

#include <chrono>

namespace fixwatch {

namespace {

constexpr std::int64_t kDayMs = std::int64_t{24} * 60 * 60 * 1000;

// A plain decimal (never an exponent, as xsd:decimal and spreadsheets want) with at most
// `decimals` digits after the point, trailing zeros dropped.
QString Decimal(double value, int decimals)
{
    QString text = QString::number(value, 'f', decimals);
    if (text.contains(u'.')) {
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(u'.'))
            text.chop(1);
    }
    return text == u"-0" ? QStringLiteral("0") : text;
}

QString Degrees(double value) { return QString::number(value, 'f', 9); }

// GPX wants longitudes in [-180, 180).
double GpxLongitude(double longitude) { return longitude >= 180 ? longitude - 360 : longitude; }

QString Optional(const std::optional<double>& value, int decimals)
{
    return value ? Decimal(*value, decimals) : QString();
}

// GPX's kind of fix, from GGA's quality and GSA's mode; empty when the sentences do not say.
QString GpxFix(const Epoch& e)
{
    switch (e.fixQuality.value_or(-1)) {
    case 2:
    case 4:
    case 5: return QStringLiteral("dgps");
    case 3: return QStringLiteral("pps");
    case 1:
    case -1:
        if (e.gsaMode == 2)
            return QStringLiteral("2d");
        if (e.gsaMode == 3)
            return QStringLiteral("3d");
        return {};
    default: return {};
    }
}

// A track's name comes from a file name: control characters are no XML text.
QString XmlSafe(QString text)
{
    for (QChar& c : text)
        if (c.unicode() < 0x20 && c != u'\t')
            c = QChar::ReplacementCharacter;
    return text;
}

// The epoch's time as milliseconds: from 1970 when it has a date, else of the day.
std::int64_t PointMs(const Epoch& e)
{
    if (!e.date)
        return *e.timeMs;
    using namespace std::chrono;
    const sys_days day{year_month_day{year(e.date->year), month(static_cast<unsigned>(e.date->month)),
                                      std::chrono::day(static_cast<unsigned>(e.date->day))}};
    return std::int64_t{day.time_since_epoch().count()} * kDayMs + *e.timeMs;
}

} // namespace

QString IsoUtcTime(const std::optional<UtcDate>& date, std::int32_t timeMs)
{
    QString text;
    if (date)
        text = QStringLiteral("%1-%2-%3T")
                   .arg(date->year, 4, 10, QChar(u'0'))
                   .arg(date->month, 2, 10, QChar(u'0'))
                   .arg(date->day, 2, 10, QChar(u'0'));
    const int seconds = timeMs / 1000;
    text += QStringLiteral("%1:%2:%3")
                .arg(seconds / 3600, 2, 10, QChar(u'0'))
                .arg(seconds / 60 % 60, 2, 10, QChar(u'0'))
                .arg(seconds % 60, 2, 10, QChar(u'0'));
    if (int ms = timeMs % 1000) {
        QString fraction = QStringLiteral("%1").arg(ms, 3, 10, QChar(u'0'));
        while (fraction.endsWith(u'0'))
            fraction.chop(1);
        text += u'.' + fraction;
    }
    return text + u'Z';
}

TrackExport::TrackExport(TrackFormat format, QIODevice& out, TrackOptions options)
    : format_(format), out_(out), options_(options)
{
    if (format_ == TrackFormat::Csv) {
        out_.write("time,latitude,longitude,altitude,geoid_separation,speed_knots,course,"
                   "fix_quality,satellites_used,hdop,vdop,pdop\r\n");
        return;
    }
    xml_ = std::make_unique<QXmlStreamWriter>(&out_);
    xml_->setAutoFormatting(true);
    xml_->setAutoFormattingIndent(1);
    xml_->writeStartDocument();
    if (format_ == TrackFormat::Gpx) {
        xml_->writeDefaultNamespace(QStringLiteral("http://www.topografix.com/GPX/1/1"));
        xml_->writeNamespace(QStringLiteral("http://www.w3.org/2001/XMLSchema-instance"), QStringLiteral("xsi"));
        xml_->writeStartElement(QStringLiteral("gpx"));
        xml_->writeAttribute(QStringLiteral("version"), QStringLiteral("1.1"));
        xml_->writeAttribute(QStringLiteral("creator"), QStringLiteral("Fixwatch"));
        xml_->writeAttribute(QStringLiteral("http://www.w3.org/2001/XMLSchema-instance"), QStringLiteral("schemaLocation"),
                             QStringLiteral("http://www.topografix.com/GPX/1/1 http://www.topografix.com/GPX/1/1/gpx.xsd"));
    } else {
        xml_->writeDefaultNamespace(QStringLiteral("http://www.opengis.net/kml/2.2"));
        xml_->writeStartElement(QStringLiteral("kml"));
        xml_->writeStartElement(QStringLiteral("Document"));
    }
}

TrackExport::~TrackExport() = default;

void TrackExport::BeginTrack(const QString& name)
{
    trackPoints_ = 0;
    allAltitudes_ = true;
    inSegment_ = false;
    gap_ = false;
    ggaOrRmcFixes_ = false;
    epochsSincePoint_ = 0;
    lastPointMs_.reset();
    coordinates_.clear();
    lastCoordinate_.clear();
    piecePoints_ = 0;
    multiGeometry_ = false;
    if (format_ == TrackFormat::Gpx) {
        xml_->writeStartElement(QStringLiteral("trk"));
        xml_->writeTextElement(QStringLiteral("name"), XmlSafe(name));
    } else if (format_ == TrackFormat::Kml) {
        xml_->writeStartElement(QStringLiteral("Placemark"));
        xml_->writeTextElement(QStringLiteral("name"), XmlSafe(name));
    }
}

void TrackExport::Add(const Epoch& epoch)
{
    ++epochsSincePoint_;
    const bool simulated = epoch.Simulated() && !options_.includeSimulated;
    if (epoch.HasFix() && epoch.timeMs && !simulated) {
        // GLL at a time of its own between the fixes of GGA or RMC repeats their position.
        if (epoch.GllOnly() && ggaOrRmcFixes_)
            return;
        const bool newPiece = StartsNewPiece(epoch);
        if (newPiece)
            EndPiece();
        gap_ = false;
        epochsSincePoint_ = 0;
        lastPointMs_ = PointMs(epoch);
        lastPointDated_ = epoch.date.has_value();
        ggaOrRmcFixes_ = ggaOrRmcFixes_ || !epoch.GllOnly();
        switch (format_) {
        case TrackFormat::Gpx: AddGpx(epoch); break;
        case TrackFormat::Kml: AddKml(epoch); break;
        case TrackFormat::Csv: AddCsv(epoch); break;
        }
        return;
    }
    if (simulated && epoch.HasFix())
        ++simulated_;
    // Only an epoch that speaks of the fix can say it is lost: one of a sentence that carries
    // no fix, at a time of its own, is no gap.
    const bool speaksOfFix = epoch.fixQuality || epoch.rmcStatus || (epoch.GllOnly() && !ggaOrRmcFixes_);
    if (speaksOfFix || simulated)
        gap_ = true;
}

bool TrackExport::StartsNewPiece(const Epoch& epoch) const
{
    if (!lastPointMs_)
        return true;
    if (gap_ || epochsSincePoint_ > kGapEpochs)
        return true;
    std::int64_t step = PointMs(epoch) - *lastPointMs_;
    if (!epoch.date || !lastPointDated_)
        step = ((PointMs(epoch) % kDayMs) - (*lastPointMs_ % kDayMs) + kDayMs) % kDayMs;
    return step < 0 || step > kGapMs;
}

void TrackExport::EndPiece()
{
    if (format_ == TrackFormat::Gpx && inSegment_)
        xml_->writeEndElement();
    if (format_ == TrackFormat::Kml && piecePoints_ > 0) {
        // The track is more than one piece: they go together in a MultiGeometry.
        if (!multiGeometry_)
            xml_->writeStartElement(QStringLiteral("MultiGeometry"));
        multiGeometry_ = true;
        WriteKmlPiece();
    }
    inSegment_ = false;
}

void TrackExport::AddGpx(const Epoch& e)
{
    if (!e.date) {
        ++undated_;
        return;
    }
    if (!inSegment_)
        xml_->writeStartElement(QStringLiteral("trkseg"));
    inSegment_ = true;
    xml_->writeStartElement(QStringLiteral("trkpt"));
    xml_->writeAttribute(QStringLiteral("lat"), Degrees(*e.latitude));
    xml_->writeAttribute(QStringLiteral("lon"), Degrees(GpxLongitude(*e.longitude)));
    if (e.altitude)
        xml_->writeTextElement(QStringLiteral("ele"), Decimal(*e.altitude, 3));
    xml_->writeTextElement(QStringLiteral("time"), IsoUtcTime(e.date, *e.timeMs));
    if (e.geoidSeparation)
        xml_->writeTextElement(QStringLiteral("geoidheight"), Decimal(*e.geoidSeparation, 3));
    if (const QString fix = GpxFix(e); !fix.isEmpty())
        xml_->writeTextElement(QStringLiteral("fix"), fix);
    if (e.satellitesUsed)
        xml_->writeTextElement(QStringLiteral("sat"), QString::number(*e.satellitesUsed));
    for (const auto& [name, value] : {std::pair{"hdop", e.hdop}, {"vdop", e.vdop}, {"pdop", e.pdop}})
        if (value)
            xml_->writeTextElement(QLatin1StringView(name), Decimal(*value, 3));
    xml_->writeEndElement();
    ++trackPoints_;
    ++points_;
}

void TrackExport::AddKml(const Epoch& e)
{
    if (piecePoints_ >= kKmlPiecePoints) {
        // Cut for size: the next piece begins where this one ends, so the line goes on.
        const QString joint = lastCoordinate_;
        const bool jointAltitude = allAltitudes_;
        EndPiece();
        coordinates_ = joint;
        piecePoints_ = 1;
        allAltitudes_ = jointAltitude;
    }
    lastCoordinate_ = Degrees(*e.longitude) + u',' + Degrees(*e.latitude);
    if (e.altitude)
        lastCoordinate_ += u',' + Decimal(*e.altitude, 3);
    if (!coordinates_.isEmpty())
        coordinates_ += u' ';
    coordinates_ += lastCoordinate_;
    allAltitudes_ = allAltitudes_ && e.altitude;
    ++piecePoints_;
    ++trackPoints_;
    ++points_;
}

void TrackExport::WriteKmlPiece()
{
    xml_->writeStartElement(QStringLiteral("LineString"));
    if (allAltitudes_)
        xml_->writeTextElement(QStringLiteral("altitudeMode"), QStringLiteral("absolute"));
    xml_->writeTextElement(QStringLiteral("coordinates"), coordinates_);
    xml_->writeEndElement();
    coordinates_.clear();
    piecePoints_ = 0;
    allAltitudes_ = true;
}

void TrackExport::AddCsv(const Epoch& e)
{
    const QString cells[] = {
        IsoUtcTime(e.date, *e.timeMs),
        Degrees(*e.latitude),
        Degrees(*e.longitude),
        Optional(e.altitude, 3),
        Optional(e.geoidSeparation, 3),
        Optional(e.speedKnots, 3),
        Optional(e.course, 3),
        e.fixQuality ? QString::number(*e.fixQuality) : QString(),
        e.satellitesUsed ? QString::number(*e.satellitesUsed) : QString(),
        Optional(e.hdop, 3),
        Optional(e.vdop, 3),
        Optional(e.pdop, 3),
    };
    QString row;
    for (const QString& cell : cells) {
        if (!row.isEmpty() || &cell != &cells[0])
            row += u',';
        row += cell;
    }
    out_.write(row.toLatin1() + "\r\n");
    ++trackPoints_;
    ++points_;
}

void TrackExport::EndTrack()
{
    if (format_ == TrackFormat::Gpx) {
        if (inSegment_)
            xml_->writeEndElement();
        xml_->writeEndElement(); // trk
    } else if (format_ == TrackFormat::Kml) {
        if (piecePoints_ > 0)
            WriteKmlPiece();
        if (multiGeometry_)
            xml_->writeEndElement();
        xml_->writeEndElement(); // Placemark
    }
    inSegment_ = false;
    coordinates_.clear();
    piecePoints_ = 0;
}

void TrackExport::Finish()
{
    if (xml_)
        xml_->writeEndDocument();
}

} // namespace fixwatch
