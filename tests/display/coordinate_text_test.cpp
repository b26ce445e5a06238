// Position texts in every coordinate format, checked against GeographicLib's own GeoConvert
// on points at zone and band edges, the poles, the antimeridian and both hemispheres; and the
// worded texts that must not read as a position.
#include "coordinate_text.h"

#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace fixwatch {
namespace {

// Worded like the interpreter: "048° 07.038' N" with the degree sign in ISO-8859-1.
std::string Worded(const char* degrees, const char* minutes, char hemisphere)
{
    return std::string(degrees) + "\xB0 " + minutes + "' " + hemisphere;
}

struct Point {
    const char* legend;
    std::string latitude;
    std::string longitude;
};

const std::vector<Point> kPoints = {
    {"north-east", Worded("048", "07.038", 'N'), Worded("011", "31.000", 'E')},
    {"north-west", Worded("049", "16.45", 'N'), Worded("123", "11.12", 'W')},
    {"south-east, band H", Worded("033", "54.000", 'S'), Worded("018", "25.000", 'E')},
    {"south-west", Worded("034", "36.2", 'S'), Worded("058", "22.6", 'W')},
    {"last metre of zone 31", Worded("048", "07.038", 'N'), Worded("005", "59.999", 'E')},
    {"first metre of zone 32", Worded("048", "07.038", 'N'), Worded("006", "00.000", 'E')},
    {"band U below 56 N", Worded("055", "59.999", 'N'), Worded("004", "00.000", 'E')},
    {"band V at 56 N: Norway's zone 32", Worded("056", "00.000", 'N'), Worded("004", "00.000", 'E')},
    {"Svalbard: zone 31X up to 9 E", Worded("078", "00.000", 'N'), Worded("008", "59.999", 'E')},
    {"Svalbard: zone 33X from 9 E", Worded("078", "00.000", 'N'), Worded("009", "00.000", 'E')},
    {"equator, north", Worded("000", "00.000", 'N'), Worded("030", "00.000", 'E')},
    {"equator, south: band M", Worded("000", "00.000", 'S'), Worded("030", "00.000", 'E')},
    {"84 N is still UTM", Worded("084", "00.000", 'N'), Worded("045", "00.000", 'W')},
    {"beyond 84 N is UPS Y", Worded("084", "00.001", 'N'), Worded("045", "00.000", 'W')},
    {"80 S is still UTM", Worded("080", "00.000", 'S'), Worded("045", "00.000", 'E')},
    {"beyond 80 S is UPS B", Worded("080", "00.001", 'S'), Worded("045", "00.000", 'E')},
    {"north pole", Worded("090", "00.000", 'N'), Worded("000", "00.000", 'E')},
    {"south pole", Worded("090", "00.000", 'S'), Worded("179", "59.999", 'W')},
    {"antimeridian east", Worded("012", "00.000", 'S'), Worded("180", "00.000", 'E')},
    {"antimeridian west", Worded("012", "00.000", 'S'), Worded("180", "00.000", 'W')},
    {"last metre of zone 60", Worded("012", "00.000", 'S'), Worded("179", "59.999", 'E')},
    {"first metre of zone 1", Worded("012", "00.000", 'S'), Worded("179", "59.999", 'W')},
};

QString Utf8(const std::string& latin1)
{
    return QString::fromLatin1(latin1.data(), static_cast<qsizetype>(latin1.size()));
}

// GeoConvert's answer for every point, one line each: the worded texts with their blanks
// taken out ("048°07.038'N 011°31.000'E") are input GeographicLib reads by itself.
QStringList GeoConvert(const QStringList& options)
{
    QString input;
    for (const Point& point : kPoints) {
        QString line = Utf8(point.latitude) + QLatin1Char(' ') + Utf8(point.longitude);
        line.replace(QStringLiteral("\u00B0 "), QStringLiteral("\u00B0"))
            .replace(QStringLiteral("' "), QStringLiteral("'"));
        input += line + QLatin1Char('\n');
    }
    QProcess process;
    process.start(QStringLiteral(FIXWATCH_GEOCONVERT), options);
    process.write(input.toUtf8());
    process.closeWriteChannel();
    EXPECT_TRUE(process.waitForFinished(30000));
    return QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString Joined(const PositionText& text)
{
    return (Utf8(text.first) + QLatin1Char(' ') + Utf8(text.second)).trimmed();
}

// GeoConvert's "48d07'02.280"N" and "48.1173000" in the window's forms.
QString AsDms(QString text)
{
    text.replace(QStringLiteral("d"), QStringLiteral("\u00B0 ")).replace(QStringLiteral("'"), QStringLiteral("' "));
    const QChar hemisphere = text.back();
    text.chop(1);
    while (text.startsWith(QLatin1Char('0')) && !text.startsWith(QStringLiteral("0\u00B0")))
        text.remove(0, 1);
    return text + QLatin1Char(' ') + hemisphere;
}

QString AsDecimal(const QString& number, char positive, char negative)
{
    const bool minus = number.startsWith(QLatin1Char('-'));
    return (minus ? number.mid(1) : number) + QStringLiteral("\u00B0 ")
           + QLatin1Char(minus ? negative : positive);
}

class CoordinateFormats : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (QString(QStringLiteral(FIXWATCH_GEOCONVERT)).isEmpty())
            GTEST_SKIP() << "GeoConvert (geographiclib-tools) is not installed";
    }

    QString Shown(const Point& point, CoordinateFormat format)
    {
        return Joined(FormatPosition(point.latitude, point.longitude, format));
    }
};

TEST_F(CoordinateFormats, UtmMgrsAndDegreesAgreeWithGeoConvert)
{
    const QStringList utm = GeoConvert({"-u"}), mgrs = GeoConvert({"-m"});
    const QStringList decimal = GeoConvert({"-g", "-p", "2"}), dms = GeoConvert({"-d", "-p", "1"});
    for (const QStringList* answers : {&utm, &mgrs, &decimal, &dms})
        ASSERT_EQ(answers->size(), static_cast<qsizetype>(kPoints.size()));
    for (std::size_t i = 0; i < kPoints.size(); ++i) {
        const auto at = static_cast<qsizetype>(i);
        const Point& point = kPoints[i];
        // GeoConvert names the hemisphere ("32n 687300 5332401"); the window names the band
        // as MGRS does ("32U"): the zone and band of its MGRS reference and its figures.
        const QString figures = utm[at].section(QLatin1Char(' '), 1);
        QString zone = mgrs[at];
        while (!zone.isEmpty() && zone.back().isDigit())
            zone.chop(1);
        zone.chop(2); // the 100 km square
        EXPECT_EQ(Shown(point, CoordinateFormat::Utm), zone + QLatin1Char(' ') + figures) << point.legend;
        const PositionText m = FormatPosition(point.latitude, point.longitude, CoordinateFormat::Mgrs);
        EXPECT_EQ(Utf8(m.first) + Utf8(m.second).remove(QLatin1Char(' ')), mgrs[at]) << point.legend;

        const PositionText dd = FormatPosition(point.latitude, point.longitude, CoordinateFormat::DecimalDegrees);
        const PositionText s = FormatPosition(point.latitude, point.longitude,
                                              CoordinateFormat::DegreesMinutesSeconds);
        // GeoConvert signs a zero only when it is negative, and writes 180 W as 180 E.
        if (point.latitude.find("000\xB0 00.000' S") == std::string::npos
            && point.longitude.find("180") == std::string::npos) {
            EXPECT_EQ(Utf8(dd.first), AsDecimal(decimal[at].section(' ', 0, 0), 'N', 'S')) << point.legend;
            EXPECT_EQ(Utf8(dd.second), AsDecimal(decimal[at].section(' ', 1, 1), 'E', 'W')) << point.legend;
        }
        if (point.longitude.find("180") == std::string::npos) {
            EXPECT_EQ(Utf8(s.first), AsDms(dms[at].section(' ', 0, 0))) << point.legend;
            EXPECT_EQ(Utf8(s.second), AsDms(dms[at].section(' ', 1, 1))) << point.legend;
        }
    }
    // The two forms that GeoConvert writes otherwise; each format's exact text as shown is
    // pinned by the position tool's rows.
    EXPECT_EQ(Shown(kPoints[11], CoordinateFormat::DecimalDegrees), "0.0000000\u00B0 S 30.0000000\u00B0 E")
        << "the hemisphere of a zero is the one sent";
    EXPECT_EQ(Shown(kPoints[19], CoordinateFormat::DegreesMinutesSeconds),
              "12\u00B0 00' 00.00\" S 180\u00B0 00' 00.00\" W");
}

TEST(CoordinateLocator, SixCharactersFromTheStandardGrid)
{
    const struct {
        const char* legend;
        GeoPoint point;
        const char* locator;
    } rows[] = {
        {"Washington, D.C.", {38.9, -77.04}, "FM18lv"},
        {"Munich", {48.1173, 11.5166667}, "JN58sc"},
        {"a point on a subsquare's lower edge belongs to it", {48.0 + 2.5 / 60.0, 11.5166667}, "JN58sb"},
        {"just below that edge", {48.0 + 2.4999 / 60.0, 11.5166667}, "JN58sa"},
        {"the south pole at 180 W: the first field", {-90.0, -180.0}, "AA00aa"},
        {"180 E is 180 W", {0.0, 180.0}, "AJ00aa"},
        {"the north pole: the last row", {90.0, 0.0}, "JR09ax"},
        {"just west of the antimeridian", {-12.0, 179.9999}, "RH98xa"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(MaidenheadLocator(row.point), row.locator) << row.legend;
}

TEST(CoordinateReading, OnlyAWellFormedPairInRangeIsConverted)
{
    const std::string north = Worded("048", "07.038", 'N');
    const std::string east = Worded("011", "31.000", 'E');
    const struct {
        const char* legend;
        std::string latitude;
        std::string longitude;
    } rows[] = {
        {"a field sent without its leading zero", "080\xB0 7.038' N", east},
        {"a two-character latitude field", "048\xB0 ' N", east},
        {"a one-character latitude field", "005\xB0  N", east},
        {"60 minutes", Worded("048", "60.000", 'N'), east},
        {"latitude beyond 90", Worded("090", "00.001", 'N'), east},
        {"longitude beyond 180", north, Worded("180", "00.001", 'E')},
        {"a latitude with E", Worded("048", "07.038", 'E'), east},
        {"a longitude with N", north, Worded("011", "31.000", 'N')},
        {"a lower-case hemisphere", Worded("048", "07.038", 'n'), east},
        {"a sign in the minutes", Worded("048", "-7.038", 'N'), east},
        {"an exponent in the minutes", Worded("048", "07e1", 'N'), east},
        {"text after the hemisphere", north + "X", east},
        {"a line end inside", Worded("048", "07.0\r38", 'N'), east},
        {"a UTF-8 degree sign", "048\xC2\xB0 07.038' N", east},
        {"empty", "", ""},
    };
    for (const auto& row : rows) {
        EXPECT_FALSE(ReadPosition(row.latitude, row.longitude)) << row.legend;
        EXPECT_EQ(FormatPosition(row.latitude, row.longitude, CoordinateFormat::Utm),
                  (PositionText{row.latitude, row.longitude}))
            << row.legend << ": shown as sent";
    }
    const auto read = ReadPosition(Worded("048", "07", 'S'), Worded("011", "31.", 'W'));
    ASSERT_TRUE(read) << "minutes without decimals";
    EXPECT_DOUBLE_EQ(read->latitude, -(48 + 7 / 60.0));
    EXPECT_DOUBLE_EQ(read->longitude, -(11 + 31 / 60.0));
    EXPECT_EQ(FormatPosition(north, east, CoordinateFormat::Sent), (PositionText{north, east}));
}

TEST(CoordinateCaptions, NameWhatEachFormatShowsInItsTwoRows)
{
    const std::pair<CoordinateFormat, PositionText> rows[] = {
        {CoordinateFormat::Sent, {"Latitude:", "Longitude:"}},
        {CoordinateFormat::DecimalDegrees, {"Latitude:", "Longitude:"}},
        {CoordinateFormat::DegreesMinutesSeconds, {"Latitude:", "Longitude:"}},
        {CoordinateFormat::Utm, {"UTM zone:", "East, North:"}},
        {CoordinateFormat::Mgrs, {"MGRS square:", "East, North:"}},
        {CoordinateFormat::Locator, {"Locator:", ""}},
    };
    for (const auto& [format, captions] : rows)
        EXPECT_EQ(CoordinateCaptions(format), captions) << captions.first;
}

} // namespace
} // namespace fixwatch
