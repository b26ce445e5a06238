// The Sky tab: where the plot puts satellites and their names and how it draws them, the table's rows and
// sorting, and updates that keep the user's place and repaint only what changed.
#include "captures.h"
#include "sky_legend.h"
#include "sky_plot.h"
#include "sky_satellites.h"
#include "sky_table_model.h"
#include "sky_view.h"
#include "sky.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QImage>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QToolTip>

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace fixwatch {
namespace {

using G = GnssSystem;
using Names = std::vector<std::string>;
constexpr std::optional<int> kNone = std::nullopt;

// A multi-system sky in system then number order, chosen so that numeric and textual sorting
// differ (5 < 10 < 100), with some values empty.
// clang-format off
const std::vector<SkySatellite> kSmallSky = {
    {G::GPS, 5, 45, 100, 40, true},         {G::GPS, 10, 9, 20, kNone, false},
    {G::GPS, 100, kNone, kNone, 12, false}, {G::GLONASS, 65, 80, 300, 31, true},
    {G::Galileo, 5, 20, 200, 8, false},     {G::BeiDou, 21, 60, kNone, 45, true}};

// No name is written over another name, a circle, a ring value or a cardinal point, or
// outside the plot.
void ExpectClearNames(const SkyPlot& plot, const std::string& what)
{
    std::vector<QRectF> fixed = plot.RingLabels();
    fixed.insert(fixed.end(), plot.CompassLabels().begin(), plot.CompassLabels().end());
    for (const SkyPlot::Mark& a : plot.Marks()) {
        if (a.labelRect.isNull())
            continue;
        const std::string name = what + " " + a.label.toStdString();
        ASSERT_TRUE(QRectF(plot.rect()).contains(a.labelRect)) << name;
        for (const QRectF& other : fixed)
            ASSERT_FALSE(a.labelRect.intersects(other)) << name << " over a ring value or N E S W";
        for (const SkyPlot::Mark& b : plot.Marks()) {
            const QRectF circle(b.centre - QPointF(b.radius, b.radius), QSizeF(2 * b.radius, 2 * b.radius));
            ASSERT_TRUE(&a == &b || !(a.labelRect.intersects(b.labelRect) || a.labelRect.intersects(circle)))
                << name << " over " << b.label.toStdString();
        }
    }
}
// clang-format on

QString Cell(const QTableView* t, int row, int col) { return t->model()->index(row, col).data().toString(); }

// The rows, or only the selected ones, as "system number", top to bottom.
Names Order(const QTableView* table, bool selectedOnly = false)
{
    Names order;
    for (int row = 0; row < table->model()->rowCount(); ++row)
        if (!selectedOnly || table->selectionModel()->isRowSelected(row, {}))
            order.push_back((Cell(table, row, SkyTableModel::System) + ' '
                             + Cell(table, row, SkyTableModel::Number))
                                .toStdString());
    return order;
}

// The visible columns' titles, then each row's cells, as "System|No.|... / GPS|5|...".
QString Shown(const QTableView* table)
{
    QStringList titles, rows;
    for (int column = 0; column < table->model()->columnCount(); ++column)
        if (!table->isColumnHidden(column))
            titles << table->model()->headerData(column, Qt::Horizontal).toString();
    for (int row = 0; row < table->model()->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < table->model()->columnCount(); ++column)
            if (!table->isColumnHidden(column))
                cells << Cell(table, row, column);
        rows << cells.join('|');
    }
    return titles.join('|') + " / " + rows.join(" / ");
}

// What the plot made of every sky a real receiver went through, at the size the window gives
// it; no name overprints anything on any of them, and a name stood out with a leader line
// stays near its circle.
struct CaptureMarks {
    std::size_t marks = 0, named = 0, usedMarks = 0, usedNamed = 0, unlocated = 0, leaders = 0;
};
CaptureMarks MarksOf(const std::string& capture)
{
    Sky sky;
    SkyPlot plot;
    plot.resize(394, 394);
    CaptureMarks n;
    for (const std::string& line : test::CaptureLines(capture)) {
        if (!sky.Feed(line))
            continue;
        plot.SetSatellites(sky.Satellites());
        ExpectClearNames(plot, capture);
        std::size_t located = 0;
        for (const SkySatellite& satellite : sky.Satellites()) {
            const bool zero = satellite.elevation == 0 && satellite.azimuth == 0;
            n.unlocated += zero;
            located += satellite.elevation && satellite.azimuth && !zero;
        }
        EXPECT_EQ(plot.Marks().size(), located) << capture;
        for (const SkyPlot::Mark& mark : plot.Marks()) {
            ++n.marks, n.named += !mark.labelRect.isNull(), n.leaders += mark.leader;
            n.usedMarks += mark.used, n.usedNamed += mark.used && !mark.labelRect.isNull();
            const QPointF away = mark.labelRect.center() - mark.centre;
            EXPECT_TRUE(!mark.leader || std::hypot(away.x(), away.y()) < 8 * mark.radius + mark.labelRect.width())
                << mark.label.toStdString() << " stays near its circle";
        }
    }
    return n;
}

// The Sky tab shown with the small sky.
class SkyViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        view.resize(700, 300);
        view.ShowSatellites(kSmallSky);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    }
    SkyView view;
    QTableView* table = view.Grd_Sky;
};

TEST(SkyPlot, PutsAzimuthClockwiseFromNorthTheZenithAtTheCentreAndGrowsWithTheLargestSquare)
{
    // Zenith, the horizon at N, E, S and W, and 60 degrees up in the south.
    // clang-format off
    const std::tuple<int, int, QPointF> rows[] = {{90, 123, {100, 100}}, {0, 0, {100, 10}}, {0, 90, {190, 100}},
                                                  {0, 180, {100, 190}}, {0, 270, {10, 100}}, {60, 180, {100, 130}}};
    // clang-format on
    for (const auto& [elevation, azimuth, expected] : rows) {
        const QPointF at = SkyPosition(elevation, azimuth, {100, 100}, 90);
        EXPECT_LT(std::hypot(at.x() - expected.x(), at.y() - expected.y()), 1e-9) << azimuth;
    }

    for (const QSize size : {QSize(600, 300), QSize(300, 600), QSize(900, 900)}) {
        SkyPlot plot;
        plot.resize(size);
        const double side = std::min(size.width(), size.height());
        EXPECT_EQ(plot.Centre(), QPointF(size.width() / 2.0, size.height() / 2.0));
        EXPECT_LT(2 * plot.Radius(), side - 20) << "room outside the horizon for N E S W";
        EXPECT_GT(2 * plot.Radius(), side * 0.8);
    }
    // Marks grow with the signal up to a cap, and with the plot.
    EXPECT_EQ(MarkRadius(kNone, 200), MarkRadius(-7, 200));
    EXPECT_LT(MarkRadius(kNone, 200), MarkRadius(30, 200));
    EXPECT_LT(MarkRadius(30, 200), MarkRadius(45, 200));
    EXPECT_EQ(MarkRadius(INT_MAX, 200), MarkRadius(50, 200));
    EXPECT_LT(MarkRadius(50, 200), 20);
    EXPECT_LT(MarkRadius(50, 100), MarkRadius(50, 300));
}

// A multi-band receiver gets a column per band it sends, each the strongest C/N0 of the
// satellite's signals there; a receiver that does not name its signals gets none.
TEST_F(SkyViewTest, BandColumnsComeWithTheBandsTheReceiverSends)
{
    const auto withSignals = [](SkySatellite s, std::initializer_list<std::pair<char, int>> listed) {
        for (const auto& [id, cn0] : listed)
            s.perSignal[s.signalCount++] = SkySignal{id, static_cast<std::int16_t>(cn0), 1};
        return s;
    };
    view.ShowSatellites({withSignals({G::GPS, 5, 45, 100, 41, true}, {{'1', 41}, {'8', 35}, {'7', -1}}),
                         withSignals({G::Galileo, 12, 62, 237, 35, false}, {{'2', 35}, {'7', 30}})});
    EXPECT_EQ(Shown(table), "System|No.|Elev.|Azim.|Signal|Used|L1|L5|E5b / GPS|5|45|100|41|Yes|41|35| / "
                            "Galileo|12|62|237|35|No|30||35");
    view.ShowSatellites({withSignals({G::GPS, 5, 45, 100, 41, true}, {{0, 41}})});
    EXPECT_EQ(Shown(table), "System|No.|Elev.|Azim.|Signal|Used / GPS|5|45|100|41|Yes") << "no signal IDs";
}

TEST_F(SkyViewTest, TheTableListsEverySatelliteReadOnlyThePlotOnlyThoseWithElevationAndAzimuth)
{
    EXPECT_EQ(Shown(table), "System|No.|Elev.|Azim.|Signal|Used / GPS|5|45|100|40|Yes / GPS|10|9|20||No / "
                            "GPS|100|||12|No / GLONASS|65|80|300|31|Yes / Galileo|5|20|200|8|No / BeiDou|21|60||45|Yes");
    EXPECT_EQ(table->editTriggers(), QAbstractItemView::NoEditTriggers);

    QStringList names;
    for (const SkyPlot::Mark& mark : view.Img_Sky->Marks())
        names << mark.label;
    EXPECT_EQ(names, QStringList({"G5", "G10", "R65", "E5"}))
        << "named by the system's letter; GPS 100 has neither elevation nor azimuth, BeiDou 21 no azimuth";

    // Hovering a circle names its satellite and all that is known of it.
    const SkyPlot::Mark gps5 = view.Img_Sky->Marks().front();
    QHelpEvent hover(QEvent::ToolTip, gps5.centre.toPoint(), view.Img_Sky->mapToGlobal(gps5.centre.toPoint()));
    QCoreApplication::sendEvent(view.Img_Sky, &hover);
    EXPECT_EQ(QToolTip::text(), "G5 (GPS): elevation 45\u00B0, azimuth 100\u00B0, signal 40 dB-Hz, used in the fix");
    EXPECT_EQ(view.Img_SkyLegend->Systems(), std::vector<G>({G::GPS, G::GLONASS, G::Galileo, G::BeiDou}));
    view.ShowSatellites({});
    EXPECT_TRUE(view.Img_SkyLegend->Systems().empty());
    EXPECT_TRUE(view.Img_Sky->Marks().empty());
}

TEST(SkyPlot, DrawsUsedSatellitesFilledAndOthersHollowInLightAndDarkPalettes)
{
    // clang-format off
    const std::vector<SkySatellite> sky = {
        {G::GPS, 7, 50, 45, 45, true},       {G::GPS, 8, 50, 135, 45, false},
        {G::GLONASS, 70, 20, 225, 40, true}, {G::Galileo, 11, 20, 315, 40, false},
        {G::BeiDou, 30, 10, 10, 50, true},   {G::SBAS, 46, 10, 190, 50, false},
        {G::QZSS, 194, 75, 280, 44, true},   {G::NavIC, 3, 75, 100, 44, false}};
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
        const auto pixel = [&](QPointF p) {
            return image.pixelColor(int(std::floor(p.x())), int(std::floor(p.y())));
        };
        ASSERT_EQ(plot.Marks().size(), sky.size());
        for (const SkyPlot::Mark& mark : plot.Marks()) {
            const QColor colour = SystemColor(mark.key.system), fill = mark.used ? colour : base;
            const QColor ring = pixel(mark.centre + QPointF(mark.radius, 0)); // antialiased edge of the pen
            const std::string what = (dark ? "dark " : "light ") + std::string(SystemName(mark.key.system));
            EXPECT_EQ(pixel(mark.centre).rgb(), fill.rgb()) << what;
            EXPECT_EQ(pixel(mark.centre + QPointF(mark.radius * 0.6, 0)).rgb(), fill.rgb()) << what;
            EXPECT_TRUE(mark.used || (std::abs(ring.red() - colour.red()) <= 40
                                      && std::abs(ring.green() - colour.green()) <= 40
                                      && std::abs(ring.blue() - colour.blue()) <= 40))
                << what << ": ring " << ring.name().toStdString();
        }
        const QPointF empty = plot.Centre() + QPointF(0.5, 0.5) * (plot.Radius() * 0.35);
        EXPECT_EQ(pixel(empty).rgb(), base.rgb()) << "empty disk";
    }
    // clang-format on
}

TEST(SkyPlot, KeepsAbsurdValuesAndVeryLongListsInsideAndLabelsClearOfEachOther)
{
    std::vector<SkySatellite> sky;
    const int elevations[] = {-5, 120, 0, 90, INT_MIN, INT_MAX, 45};
    const int azimuths[] = {400, -30, 359, 360, INT_MIN, INT_MAX, 720};
    const int strengths[] = {255, -1, 0, 99, INT_MAX, 30, 1};
    for (std::size_t i = 1; i <= 2000; ++i)
        sky.push_back({kAllGnssSystems[i % 7], int(i), elevations[i % 7], azimuths[(i / 7) % 7],
                       strengths[(i / 49) % 7], i % 2 == 0});
    for (const QSize size : {QSize(500, 400), QSize(40, 25), QSize(0, 0)}) {
        SkyPlot plot;
        plot.resize(size);
        plot.SetSatellites(sky);
        ASSERT_EQ(plot.Marks().size(), sky.size());
        for (const SkyPlot::Mark& mark : plot.Marks()) {
            const QPointF from = mark.centre - plot.Centre();
            ASSERT_LE(std::hypot(from.x(), from.y()), plot.Radius() + 1) << size.width(); // whole pixels
            ASSERT_LE(mark.radius, MarkRadius(255, plot.Radius()));
        }
        ExpectClearNames(plot, std::to_string(size.width()));
        plot.grab(); // paints without failing
    }
}

// A name with no room beside its circle stands further out with a leader line.
TEST(SkyPlot, NamesOnRealSkiesNeverOverprintCrowdedOnesStandOutAndUnlocatedSatellitesStayOff)
{
    const struct {
        const char* legend;
        const char* capture;
        double named, usedNamed; // the least share of all marks and of used ones that keep a name
        bool unlocated, leaders;
    } rows[] = {
        {"a crowded four-system sky", "ublox-zed-f9p-nmea.nmea", 0.9, 0.97, false, false},
        {"\"00,000\" for satellites not located", "beidou-gb.nmea", 0.9, 0.97, true, false},
        {"Galileo beside GPS and BeiDou: every name kept", "telit-pls83-w.nmea", 1.0, 1.0, false, true},
    };
    for (const auto& row : rows) {
        FIXWATCH_NEED_CAPTURES(row.capture);
        SCOPED_TRACE(row.legend);
        const CaptureMarks n = MarksOf(row.capture);
        ASSERT_GT(n.marks, 0U);
        EXPECT_GE(double(n.named) / double(n.marks), row.named) << n.named << " of " << n.marks;
        EXPECT_GE(double(n.usedNamed) / double(n.usedMarks), row.usedNamed) << n.usedNamed << " of " << n.usedMarks;
        EXPECT_TRUE(!row.unlocated || n.unlocated > 0) << "no 00,000 satellite";
        EXPECT_TRUE(!row.leaders || n.leaders > 0) << "the crowded place needs a leader line";
    }
}

TEST_F(SkyViewTest, SortsEveryColumnByValueEmptyLastAndAHeaderClickPutsTheStrongestFirst)
{
    using M = SkyTableModel;
    constexpr Qt::SortOrder up = Qt::AscendingOrder, down = Qt::DescendingOrder;
    // The expected order as indices into the small sky: 0 GPS 5, 1 GPS 10, 2 GPS 100,
    // 3 GLONASS 65, 4 Galileo 5, 5 BeiDou 21.
    // clang-format off
    const std::tuple<int, Qt::SortOrder, const char*> rows[] = {
        {M::System, up, "012345"},    {M::System, down, "543012"}, {M::Number, up, "041532"},
        {M::Number, down, "235104"},  {M::Elevation, up, "140532"}, {M::Elevation, down, "350412"},
        {M::Azimuth, up, "104325"},   {M::Azimuth, down, "340125"}, {M::Signal, up, "423051"},
        {M::Signal, down, "503241"},  {M::Used, down, "035124"},
    };
    // clang-format on
    // Out of order and GPS 5 twice: shown sorted and once, the first one given kept.
    SkySatellite weakGps5 = kSmallSky[0];
    weakGps5.signal = 1;
    const auto& s = kSmallSky;
    view.ShowSatellites({s[4], s[0], weakGps5, s[5], s[1], s[3], s[2]});
    for (const auto& [column, order, indices] : rows) {
        Names expected;
        for (const char* i = indices; *i; ++i) {
            const SkySatellite& sat = s[*i - '0'];
            expected.push_back(std::string(SystemName(sat.system)) + " " + std::to_string(sat.number));
        }
        table->sortByColumn(column, order);
        EXPECT_EQ(Order(table), expected) << column << " " << order;
    }

    const auto click = [&](int column) {
        QHeaderView* header = table->horizontalHeader();
        const QPoint middle(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                            header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, middle);
        return Order(table).front() + " .. " + Order(table).back();
    };
    EXPECT_EQ(click(M::Signal), "BeiDou 21 .. GPS 10");
    EXPECT_EQ(click(M::Signal), "Galileo 5 .. GPS 10");
    EXPECT_EQ(click(M::Number), "GPS 5 .. GPS 100");
}

TEST_F(SkyViewTest, AnUnchangedListChangesAndPaintsNothingAChangedOneKeepsSortSelectionScrollAndRing)
{
    struct PaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* e) override { return paints += e->type() == QEvent::Paint, false; }
    } counter;
    view.Img_Sky->installEventFilter(&counter);
    std::vector<SkySatellite> sky;
    for (int number = 1; number <= 40; ++number)
        sky.push_back({G::GPS, number, number * 2, number * 9, 10 + number % 30, number % 3 == 0});
    view.ShowSatellites(sky);
    QTRY_VERIFY(counter.paints > 0);
    table->sortByColumn(SkyTableModel::Signal, Qt::DescendingOrder);
    table->selectRow(4);
    const Names selected = Order(table, true), order = Order(table);
    ASSERT_EQ(selected.size(), 1U);
    ASSERT_EQ(view.Img_Sky->Highlighted().size(), 1U) << "a selected row is ringed on the plot";
    table->verticalScrollBar()->setValue(3);
    QCoreApplication::processEvents();

    counter.paints = 0;
    QSignalSpy changed(table->model(), &QAbstractItemModel::dataChanged);
    QSignalSpy relaid(table->model(), &QAbstractItemModel::layoutChanged);
    QSignalSpy inserted(table->model(), &QAbstractItemModel::rowsInserted);
    view.ShowSatellites(sky);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(changed.count() + relaid.count() + inserted.count() + counter.paints, 0);
    EXPECT_EQ(Order(table), order);

    // One second later: signals change, one satellite sets, another rises.
    for (SkySatellite& satellite : sky)
        satellite.signal = 10 + (satellite.number * 7) % 40;
    sky.erase(sky.begin() + 1);
    sky.push_back({G::Galileo, 3, 30, 30, 55, false});
    view.ShowSatellites(sky);
    QTRY_VERIFY(counter.paints > 0);
    EXPECT_EQ(table->horizontalHeader()->sortIndicatorSection(), SkyTableModel::Signal);
    EXPECT_EQ(table->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
    EXPECT_EQ(Order(table).front(), "Galileo 3");
    EXPECT_EQ(Order(table, true), selected);
    EXPECT_EQ(table->verticalScrollBar()->value(), 3);

    // When the selected satellite leaves the sky its ring goes with it.
    std::erase_if(sky, [&](auto& gps) { return selected[0] == "GPS " + std::to_string(gps.number); });
    view.ShowSatellites(sky);
    EXPECT_TRUE(view.Img_Sky->Highlighted().empty());
}

// Every step is checked against the list given and by Qt's model tester, which fails on any
// inconsistent insert, remove or change signal.
TEST(SkyTableModel, MergesEachNewListIntoTheRows)
{
    const auto& s = kSmallSky;
    std::vector<SkySatellite> changedValues = s;
    changedValues[2].elevation = 3;
    changedValues[5].used = false;
    const std::vector<SkySatellite> steps[] = {
        s,                  // from empty
        {s[1], s[3]},       // runs removed at the start, middle and end
        s,                  // runs inserted before, between and after
        changedValues,      // values changed in place
        {s[0], s[2], s[4]}, // every other row removed
        {s[1], s[3], s[5]}, // everything replaced
        {},
    };
    SkyTableModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    for (const auto& step : steps) {
        model.SetSatellites(step);
        EXPECT_EQ(model.Satellites(), step);
    }
}

} // namespace
} // namespace fixwatch
