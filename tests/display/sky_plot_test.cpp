// The Sky tab's plot: where satellites go, how they are drawn, and that no value or list a
// receiver can send puts anything outside the plot.
#include "sky_legend.h"
#include "sky_plot.h"
#include "sky_samples.h"
#include "sky_view.h"

#include <QImage>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <numbers>

namespace fixwatch {
namespace {

using G = GnssSystem;

QPalette DarkPalette()
{
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(53, 53, 53));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    dark.setColor(QPalette::Base, QColor(35, 35, 35));
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    dark.setColor(QPalette::Highlight, QColor(42, 130, 218));
    return dark;
}

QColor PixelAt(const QImage& image, QPointF point)
{
    return image.pixelColor(static_cast<int>(std::floor(point.x())),
                            static_cast<int>(std::floor(point.y())));
}

// Close enough to allow for antialiasing at the edge of a pen.
bool Near(const QColor& actual, const QColor& expected, int tolerance = 40)
{
    return std::abs(actual.red() - expected.red()) <= tolerance &&
           std::abs(actual.green() - expected.green()) <= tolerance &&
           std::abs(actual.blue() - expected.blue()) <= tolerance;
}

std::string Name(const QColor& colour)
{
    return colour.name().toStdString();
}

TEST(SkyPosition, PutsAzimuthClockwiseFromNorthAndTheZenithAtTheCentre)
{
    const double r = 90;
    const QPointF centre(100, 100);
    const double d45 = std::numbers::sqrt2 / 2;
    const struct {
        const char* legend;
        int elevation;
        int azimuth;
        QPointF expected;
    } rows[] = {
        {"zenith at the centre", 90, 123, {100, 100}},
        {"north on the horizon, up", 0, 0, {100, 10}},
        {"east, right", 0, 90, {190, 100}},
        {"south, down", 0, 180, {100, 190}},
        {"west, left", 0, 270, {10, 100}},
        {"30 degrees up in the north-east, on the first ring", 30, 45,
         {100 + 60 * d45, 100 - 60 * d45}},
        {"60 degrees up in the south, on the second ring", 60, 180, {100, 130}},
        {"below the horizon, held on it", -5, 90, {190, 100}},
        {"past the zenith, held at it", 120, 90, {100, 100}},
        {"azimuth 360 is north", 0, 360, {100, 10}},
        {"azimuth 450 is east", 0, 450, {190, 100}},
        {"azimuth -90 is west", 0, -90, {10, 100}},
    };
    for (const auto& row : rows) {
        const QPointF at = SkyPosition(row.elevation, row.azimuth, centre, r);
        EXPECT_NEAR(at.x(), row.expected.x(), 1e-9)
            << row.legend << ": el " << row.elevation << " az " << row.azimuth;
        EXPECT_NEAR(at.y(), row.expected.y(), 1e-9)
            << row.legend << ": el " << row.elevation << " az " << row.azimuth;
    }
    for (int extreme : {INT_MIN, INT_MAX}) {
        const QPointF at = SkyPosition(extreme, extreme, centre, r);
        EXPECT_LE(std::hypot(at.x() - 100, at.y() - 100), r + 1e-9) << extreme;
    }
}

TEST(SkyMarks, GrowWithTheSignalWithinBounds)
{
    const double r = 200;
    EXPECT_LT(MarkRadius(kNone, r), MarkRadius(30, r));
    EXPECT_LT(MarkRadius(30, r), MarkRadius(45, r));
    EXPECT_EQ(MarkRadius(kNone, r), MarkRadius(0, r));
    EXPECT_EQ(MarkRadius(-7, r), MarkRadius(0, r));
    EXPECT_EQ(MarkRadius(255, r), MarkRadius(50, r));
    EXPECT_EQ(MarkRadius(INT_MAX, r), MarkRadius(50, r));
    EXPECT_LT(MarkRadius(50, r), r / 10);
    EXPECT_LT(MarkRadius(50, 100), MarkRadius(50, 300)); // in proportion to the plot
}

TEST(SkyPlot, PlacesOnlySatellitesWithElevationAndAzimuth)
{
    SkyView view;
    view.resize(700, 400);
    view.ShowSatellites(SmallSky());
    EXPECT_EQ(view.Grd_Sky->model()->rowCount(), 6);

    std::vector<SatelliteKey> placed;
    for (const SkyPlot::Mark& mark : view.Img_Sky->Marks())
        placed.push_back(mark.key);
    // GPS 100 has neither, BeiDou 21 no azimuth.
    EXPECT_EQ(placed, (std::vector<SatelliteKey>{
                          {G::GPS, 5}, {G::GPS, 10}, {G::GLONASS, 65}, {G::Galileo, 5}}));
    EXPECT_EQ(view.Img_Sky->objectName(), "Img_Sky");
}

TEST(SkyPlot, DrawsUsedSatellitesFilledAndOthersHollowOnThePalettesBase)
{
    const std::vector<SkySatellite> sky = {
        Sat(G::GPS, 7, 50, 45, 45, true),        Sat(G::GPS, 8, 50, 135, 45, false),
        Sat(G::GLONASS, 70, 20, 225, 40, true),  Sat(G::Galileo, 11, 20, 315, 40, false),
        Sat(G::BeiDou, 30, 10, 10, 50, true),    Sat(G::SBAS, 46, 10, 190, 50, false),
        Sat(G::QZSS, 194, 75, 280, 44, true),    Sat(G::NavIC, 3, 75, 100, 44, false),
    };
    for (const bool dark : {false, true}) {
        SkyPlot plot;
        if (dark)
            plot.setPalette(DarkPalette());
        plot.resize(400, 400);
        plot.SetSatellites(sky);
        const QImage image = plot.grab().toImage();
        const QColor base = plot.palette().color(QPalette::Base);
        const char* palette = dark ? "dark palette" : "light palette";

        ASSERT_EQ(plot.Marks().size(), sky.size());
        for (const SkyPlot::Mark& mark : plot.Marks()) {
            const QColor colour = SystemColor(mark.key.system);
            const QColor middle = PixelAt(image, mark.centre);
            const QColor inside = PixelAt(image, mark.centre + QPointF(mark.radius * 0.6, 0));
            const QColor ring = PixelAt(image, mark.centre + QPointF(mark.radius, 0));
            const std::string what = std::string(palette) + ", " +
                                     std::string(SystemName(mark.key.system)) + " " +
                                     std::to_string(mark.key.number);
            EXPECT_TRUE(Near(middle, mark.used ? colour : base, 0))
                << what << ": middle " << Name(middle);
            EXPECT_TRUE(Near(inside, mark.used ? colour : base, 0))
                << what << ": inside " << Name(inside);
            if (!mark.used) {
                EXPECT_TRUE(Near(ring, colour)) << what << ": ring " << Name(ring);
            }
        }
        // The disk between rings, away from any satellite, is the palette's base.
        const QPointF empty = plot.Centre() + QPointF(0.5, 0.5) * (plot.Radius() * 0.35);
        EXPECT_EQ(PixelAt(image, empty), base) << palette;
    }
}

TEST(SkyPlot, KeepsAbsurdValuesAndVeryLongListsInsideThePlot)
{
    std::vector<SkySatellite> sky;
    const int elevations[] = {-5, 120, 0, 90, INT_MIN, INT_MAX, 45};
    const int azimuths[] = {400, -30, 359, 360, INT_MIN, INT_MAX, 720};
    const int strengths[] = {255, -1, 0, 99, INT_MAX, 30, 1};
    for (int number = 1; number <= 2000; ++number) {
        const auto i = static_cast<std::size_t>(number);
        sky.push_back(Sat(kAllGnssSystems[i % 7], number, elevations[i % 7], azimuths[(i / 7) % 7],
                          strengths[(i / 49) % 7], number % 2 == 0));
    }
    const struct {
        const char* legend;
        QSize size;
    } sizes[] = {{"ordinary", {500, 400}}, {"tiny", {40, 25}}, {"nothing", {0, 0}}};
    for (const auto& size : sizes) {
        SkyPlot plot;
        plot.resize(size.size);
        plot.SetSatellites(sky);
        ASSERT_EQ(plot.Marks().size(), sky.size()) << size.legend;
        const QRectF bounds = plot.rect();
        for (const SkyPlot::Mark& mark : plot.Marks()) {
            const QPointF from = mark.centre - plot.Centre();
            // Circles are drawn on whole pixels.
            ASSERT_LE(std::hypot(from.x(), from.y()), plot.Radius() + 1)
                << size.legend << ": " << mark.key.number;
            ASSERT_LE(mark.radius, MarkRadius(255, plot.Radius())) << size.legend;
            if (!bounds.isEmpty()) {
                ASSERT_TRUE(bounds.contains(mark.labelRect)) << size.legend << ": "
                                                             << mark.key.number;
            }
        }
        plot.grab(); // paints without failing
    }
}

TEST(SkyPlot, WritesNumbersWhereTheyCoverNoOtherNumberOrCircle)
{
    // A spread sky, and two satellites almost on top of each other.
    std::vector<SkySatellite> sky;
    for (int number = 1; number <= 24; ++number)
        sky.push_back(Sat(G::GPS, number, 10 + (number % 3) * 30, number * 15, 20 + number, true));
    sky.push_back(Sat(G::Galileo, 30, 50, 200, 45, false));
    sky.push_back(Sat(G::Galileo, 31, 50, 202, 45, false));
    SkyPlot plot;
    plot.resize(520, 520);
    plot.SetSatellites(sky);

    const auto& marks = plot.Marks();
    ASSERT_EQ(marks.size(), sky.size());
    for (std::size_t i = 0; i < marks.size(); ++i) {
        for (std::size_t j = 0; j < marks.size(); ++j) {
            if (i == j)
                continue;
            const QRectF circle(marks[j].centre - QPointF(marks[j].radius, marks[j].radius),
                                QSizeF(2 * marks[j].radius, 2 * marks[j].radius));
            EXPECT_FALSE(marks[i].labelRect.intersects(marks[j].labelRect))
                << marks[i].label.toStdString() << " over " << marks[j].label.toStdString();
            EXPECT_FALSE(marks[i].labelRect.intersects(circle))
                << marks[i].label.toStdString() << " over circle " << marks[j].label.toStdString();
        }
    }
}

TEST(SkyPlot, FitsTheLargestSquareAndGrowsWithIt)
{
    const struct {
        const char* legend;
        QSize size;
    } rows[] = {{"wide", {600, 300}}, {"tall", {300, 600}}, {"large", {900, 900}}};
    double previous = 0;
    for (const auto& row : rows) {
        SkyPlot plot;
        plot.resize(row.size);
        const double side = std::min(row.size.width(), row.size.height());
        EXPECT_EQ(plot.Centre(), QPointF(row.size.width() / 2.0, row.size.height() / 2.0))
            << row.legend;
        // Room outside the horizon for N E S W, but most of the square for the sky.
        EXPECT_LT(2 * plot.Radius(), side - 20) << row.legend;
        EXPECT_GT(2 * plot.Radius(), side * 0.8) << row.legend;
        EXPECT_GE(plot.Radius(), previous) << row.legend;
        previous = plot.Radius();
    }
}

TEST(SkyPlot, TheSameListAgainPaintsNothing)
{
    struct PaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* event) override
        {
            paints += event->type() == QEvent::Paint;
            return false;
        }
    } counter;
    SkyView view;
    view.resize(700, 400);
    view.ShowSatellites(SmallSky());
    view.Img_Sky->installEventFilter(&counter);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    QTRY_VERIFY(counter.paints > 0);

    counter.paints = 0;
    view.ShowSatellites(SmallSky());
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.paints, 0);

    std::vector<SkySatellite> moved = SmallSky();
    moved[0].elevation = 46;
    view.ShowSatellites(moved);
    QTRY_VERIFY(counter.paints > 0);
}

TEST(SkyLegend, ListsTheSystemsInViewAndWrapsToItsWidth)
{
    SkyView view;
    view.ShowSatellites(SmallSky());
    EXPECT_EQ(view.Img_SkyLegend->Systems(),
              (std::vector<GnssSystem>{G::GPS, G::GLONASS, G::Galileo, G::BeiDou}));
    EXPECT_GT(view.Img_SkyLegend->heightForWidth(80), view.Img_SkyLegend->heightForWidth(2000));

    view.ShowSatellites({});
    EXPECT_TRUE(view.Img_SkyLegend->Systems().empty());
    EXPECT_TRUE(view.Img_Sky->Marks().empty());
    EXPECT_EQ(view.Grd_Sky->model()->rowCount(), 0);
}

} // namespace
} // namespace fixwatch
