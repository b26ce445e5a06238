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

namespace fixwatch {
namespace {

using G = GnssSystem;

TEST(SkyPosition, PutsAzimuthClockwiseFromNorthAndTheZenithAtTheCentre)
{
    const double d45 = 60 * std::sqrt(0.5);
    const struct {
        int elevation, azimuth;
        QPointF expected;
    } rows[] = {
        {90, 123, {100, 100}}, {0, 0, {100, 10}},   {0, 90, {190, 100}},   {0, 180, {100, 190}},
        {0, 270, {10, 100}},   {60, 180, {100, 130}}, {-5, 90, {190, 100}}, {120, 90, {100, 100}},
        {0, 450, {190, 100}},  {0, -90, {10, 100}},  {30, 45, {100 + d45, 100 - d45}},
    };
    for (const auto& row : rows) {
        const QPointF at = SkyPosition(row.elevation, row.azimuth, {100, 100}, 90);
        EXPECT_NEAR(std::hypot(at.x() - row.expected.x(), at.y() - row.expected.y()), 0, 1e-9)
            << "el " << row.elevation << " az " << row.azimuth;
    }
    for (int extreme : {INT_MIN, INT_MAX}) {
        const QPointF at = SkyPosition(extreme, extreme, {100, 100}, 90);
        EXPECT_LE(std::hypot(at.x() - 100, at.y() - 100), 90 + 1e-9) << extreme;
    }
}

TEST(SkyMarks, GrowWithTheSignalWithinBoundsAndWithThePlot)
{
    EXPECT_EQ(MarkRadius(kNone, 200), MarkRadius(-7, 200));
    EXPECT_LT(MarkRadius(kNone, 200), MarkRadius(30, 200));
    EXPECT_LT(MarkRadius(30, 200), MarkRadius(45, 200));
    EXPECT_EQ(MarkRadius(INT_MAX, 200), MarkRadius(50, 200));
    EXPECT_LT(MarkRadius(50, 200), 20);
    EXPECT_LT(MarkRadius(50, 100), MarkRadius(50, 300));
}

TEST(SkyPlot, PlacesOnlySatellitesWithElevationAndAzimuthAndTheLegendListsTheirSystems)
{
    SkyView view;
    view.ShowSatellites(SmallSky());
    std::vector<SatelliteKey> placed;
    for (const SkyPlot::Mark& mark : view.Img_Sky->Marks())
        placed.push_back(mark.key);
    // GPS 100 has neither, BeiDou 21 no azimuth.
    EXPECT_EQ(placed, (std::vector<SatelliteKey>{{G::GPS, 5}, {G::GPS, 10}, {G::GLONASS, 65}, {G::Galileo, 5}}));
    EXPECT_EQ(view.Img_SkyLegend->Systems(), (std::vector<GnssSystem>{G::GPS, G::GLONASS, G::Galileo, G::BeiDou}));
    EXPECT_GT(view.Img_SkyLegend->heightForWidth(80), view.Img_SkyLegend->heightForWidth(2000));

    view.ShowSatellites({});
    EXPECT_TRUE(view.Img_SkyLegend->Systems().empty());
    EXPECT_TRUE(view.Img_Sky->Marks().empty());
}

TEST(SkyPlot, DrawsUsedSatellitesFilledAndOthersHollowInLightAndDarkPalettes)
{
    const std::vector<SkySatellite> sky = {
        Sat(G::GPS, 7, 50, 45, 45, true),       Sat(G::GPS, 8, 50, 135, 45, false),
        Sat(G::GLONASS, 70, 20, 225, 40, true), Sat(G::Galileo, 11, 20, 315, 40, false),
        Sat(G::BeiDou, 30, 10, 10, 50, true),   Sat(G::SBAS, 46, 10, 190, 50, false),
        Sat(G::QZSS, 194, 75, 280, 44, true),   Sat(G::NavIC, 3, 75, 100, 44, false)};
    for (const bool dark : {false, true}) {
        SkyPlot plot;
        if (dark) {
            QPalette palette;
            palette.setColor(QPalette::Base, QColor(35, 35, 35));
            palette.setColor(QPalette::Text, QColor(230, 230, 230));
            plot.setPalette(palette);
        }
        plot.resize(400, 400);
        plot.SetSatellites(sky);
        const QImage image = plot.grab().toImage();
        const QColor base = plot.palette().color(QPalette::Base);
        const auto pixel = [&](QPointF p) { return image.pixelColor(int(std::floor(p.x())), int(std::floor(p.y()))); };
        ASSERT_EQ(plot.Marks().size(), sky.size());
        for (const SkyPlot::Mark& mark : plot.Marks()) {
            const QColor colour = SystemColor(mark.key.system);
            const QColor ring = pixel(mark.centre + QPointF(mark.radius, 0));
            const std::string what = std::string(dark ? "dark " : "light ") + std::string(SystemName(mark.key.system));
            EXPECT_EQ(pixel(mark.centre).rgb(), (mark.used ? colour : base).rgb()) << what;
            EXPECT_EQ(pixel(mark.centre + QPointF(mark.radius * 0.6, 0)).rgb(), (mark.used ? colour : base).rgb()) << what;
            EXPECT_TRUE(mark.used || (std::abs(ring.red() - colour.red()) <= 40 &&
                                      std::abs(ring.green() - colour.green()) <= 40 &&
                                      std::abs(ring.blue() - colour.blue()) <= 40))
                << what << ": ring " << ring.name().toStdString(); // antialiased edge of the pen
        }
        EXPECT_EQ(pixel(plot.Centre() + QPointF(0.5, 0.5) * (plot.Radius() * 0.35)).rgb(), base.rgb()) << "empty disk";
    }
}

TEST(SkyPlot, KeepsAbsurdValuesAndVeryLongListsInsideAndLabelsClearOfEachOther)
{
    std::vector<SkySatellite> sky;
    const int elevations[] = {-5, 120, 0, 90, INT_MIN, INT_MAX, 45};
    const int azimuths[] = {400, -30, 359, 360, INT_MIN, INT_MAX, 720};
    const int strengths[] = {255, -1, 0, 99, INT_MAX, 30, 1};
    for (std::size_t i = 1; i <= 2000; ++i)
        sky.push_back(Sat(kAllGnssSystems[i % 7], int(i), elevations[i % 7], azimuths[(i / 7) % 7],
                          strengths[(i / 49) % 7], i % 2 == 0));
    for (const QSize size : {QSize(500, 400), QSize(40, 25), QSize(0, 0)}) {
        SkyPlot plot;
        plot.resize(size);
        plot.SetSatellites(sky);
        ASSERT_EQ(plot.Marks().size(), sky.size());
        for (const SkyPlot::Mark& mark : plot.Marks()) {
            const QPointF from = mark.centre - plot.Centre();
            ASSERT_LE(std::hypot(from.x(), from.y()), plot.Radius() + 1) << size.width(); // whole pixels
            ASSERT_LE(mark.radius, MarkRadius(255, plot.Radius()));
            ASSERT_TRUE(plot.rect().isEmpty() || QRectF(plot.rect()).contains(mark.labelRect)) << size.width();
        }
        plot.grab(); // paints without failing
    }

    // A spread sky and two satellites almost on top of each other: no number over another
    // number or circle.
    sky.clear();
    for (int number = 1; number <= 24; ++number)
        sky.push_back(Sat(G::GPS, number, 10 + (number % 3) * 30, number * 15, 20 + number, true));
    sky.push_back(Sat(G::Galileo, 30, 50, 200, 45, false));
    sky.push_back(Sat(G::Galileo, 31, 50, 202, 45, false));
    SkyPlot plot;
    plot.resize(520, 520);
    plot.SetSatellites(sky);
    for (const SkyPlot::Mark& a : plot.Marks())
        for (const SkyPlot::Mark& b : plot.Marks()) {
            const QRectF circle(b.centre - QPointF(b.radius, b.radius), QSizeF(2 * b.radius, 2 * b.radius));
            EXPECT_TRUE(&a == &b || !(a.labelRect.intersects(b.labelRect) || a.labelRect.intersects(circle)))
                << a.label.toStdString() << " over " << b.label.toStdString();
        }
}

TEST(SkyPlot, FitsTheLargestSquareAndGrowsWithIt)
{
    double previous = 0;
    for (const QSize size : {QSize(600, 300), QSize(300, 600), QSize(900, 900)}) {
        SkyPlot plot;
        plot.resize(size);
        const double side = std::min(size.width(), size.height());
        EXPECT_EQ(plot.Centre(), QPointF(size.width() / 2.0, size.height() / 2.0));
        EXPECT_LT(2 * plot.Radius(), side - 20) << "room outside the horizon for N E S W";
        EXPECT_GT(2 * plot.Radius(), side * 0.8);
        EXPECT_GE(plot.Radius(), previous);
        previous = plot.Radius();
    }
}

TEST(SkyPlot, TheSameListAgainPaintsNothing)
{
    struct PaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* event) override { return (paints += event->type() == QEvent::Paint), false; }
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

} // namespace
} // namespace fixwatch
