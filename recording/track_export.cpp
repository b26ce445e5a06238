#include "track_export.h"

#include <QIODevice>

namespace fixwatch {

namespace {

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

TrackExport::TrackExport(TrackFormat format, QIODevice& out) : format_(format), out_(out)
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
    coordinates_.clear();
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
    if (!epoch.HasFix() || !epoch.timeMs) {
        // A gap in the fix ends the segment.
        if (inSegment_ && format_ == TrackFormat::Gpx)
            xml_->writeEndElement();
        inSegment_ = false;
        return;
    }
    switch (format_) {
    case TrackFormat::Gpx: AddGpx(epoch); break;
    case TrackFormat::Kml: AddKml(epoch); break;
    case TrackFormat::Csv: AddCsv(epoch); break;
    }
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
    if (!coordinates_.isEmpty())
        coordinates_ += u' ';
    coordinates_ += Degrees(*e.longitude) + u',' + Degrees(*e.latitude);
    if (e.altitude)
        coordinates_ += u',' + Decimal(*e.altitude, 3);
    allAltitudes_ = allAltitudes_ && e.altitude;
    ++trackPoints_;
    ++points_;
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
        if (trackPoints_ > 0) {
            xml_->writeStartElement(QStringLiteral("LineString"));
            if (allAltitudes_)
                xml_->writeTextElement(QStringLiteral("altitudeMode"), QStringLiteral("absolute"));
            xml_->writeTextElement(QStringLiteral("coordinates"), coordinates_);
            xml_->writeEndElement();
        }
        xml_->writeEndElement(); // Placemark
    }
    inSegment_ = false;
    coordinates_.clear();
}

void TrackExport::Finish()
{
    if (xml_)
        xml_->writeEndDocument();
}

} // namespace fixwatch
