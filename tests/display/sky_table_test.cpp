// The Sky tab's table: what each row shows, sorting by every column, and updates that keep
// the user's sort, selection and scroll.
#include "sky_plot.h"
#include "sky_samples.h"
#include "sky_satellites.h"
#include "sky_table_model.h"
#include "sky_view.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

namespace fixwatch {
namespace {

using G = GnssSystem;
using Names = std::vector<std::string>;

QString Cell(const QTableView* table, int row, int column)
{
    return table->model()->index(row, column).data().toString();
}

// The rows, or only the selected ones, as "system number", top to bottom.
Names Order(const QTableView* table, bool selectedOnly = false)
{
    Names order;
    for (int row = 0; row < table->model()->rowCount(); ++row)
        if (!selectedOnly || table->selectionModel()->isRowSelected(row, {}))
            order.push_back((Cell(table, row, SkyTableModel::System) + ' ' + Cell(table, row, SkyTableModel::Number))
                                .toStdString());
    return order;
}

TEST(SkyTable, ShowsEverySystemsSatellitesReadOnlyWithEmptyValuesEmpty)
{
    SkyView view;
    view.ShowSatellites(SmallSky());
    const QAbstractItemModel* model = view.Grd_Sky->model();
    QStringList titles;
    for (int column = 0; column < model->columnCount(); ++column)
        titles << model->headerData(column, Qt::Horizontal).toString();
    EXPECT_EQ(titles, QStringList({"System", "No.", "Elev.", "Azim.", "Signal", "Used"}));
    EXPECT_TRUE(model->headerData(SkyTableModel::Signal, Qt::Horizontal, Qt::ToolTipRole).toString().contains("dB-Hz"));

    const QStringList rows[] = {{"GPS", "5", "45", "100", "40", "Yes"},    {"GPS", "10", "9", "20", "", "No"},
                                {"GPS", "100", "", "", "12", "No"},        {"GLONASS", "65", "80", "300", "31", "Yes"},
                                {"Galileo", "5", "20", "200", "8", "No"},  {"BeiDou", "21", "60", "", "45", "Yes"}};
    ASSERT_EQ(model->rowCount(), 6);
    for (int row = 0; row < 6; ++row)
        for (int column = 0; column < model->columnCount(); ++column) {
            EXPECT_EQ(Cell(view.Grd_Sky, row, column), rows[row][column]) << row << ", " << column;
            EXPECT_FALSE(model->index(row, column).flags() & Qt::ItemIsEditable);
        }
    EXPECT_EQ(view.Grd_Sky->editTriggers(), QAbstractItemView::NoEditTriggers);
}

TEST(SkyTable, SortsEveryColumnByValueWithEmptyValuesLast)
{
    const struct {
        int column;
        Qt::SortOrder order;
        Names expected;
    } rows[] = {
        {SkyTableModel::System, Qt::AscendingOrder, {"GPS 5", "GPS 10", "GPS 100", "GLONASS 65", "Galileo 5", "BeiDou 21"}},
        {SkyTableModel::System, Qt::DescendingOrder, {"BeiDou 21", "Galileo 5", "GLONASS 65", "GPS 5", "GPS 10", "GPS 100"}},
        {SkyTableModel::Number, Qt::AscendingOrder, {"GPS 5", "Galileo 5", "GPS 10", "BeiDou 21", "GLONASS 65", "GPS 100"}},
        {SkyTableModel::Number, Qt::DescendingOrder, {"GPS 100", "GLONASS 65", "BeiDou 21", "GPS 10", "GPS 5", "Galileo 5"}},
        {SkyTableModel::Elevation, Qt::AscendingOrder, {"GPS 10", "Galileo 5", "GPS 5", "BeiDou 21", "GLONASS 65", "GPS 100"}},
        {SkyTableModel::Elevation, Qt::DescendingOrder, {"GLONASS 65", "BeiDou 21", "GPS 5", "Galileo 5", "GPS 10", "GPS 100"}},
        {SkyTableModel::Azimuth, Qt::AscendingOrder, {"GPS 10", "GPS 5", "Galileo 5", "GLONASS 65", "GPS 100", "BeiDou 21"}},
        {SkyTableModel::Azimuth, Qt::DescendingOrder, {"GLONASS 65", "Galileo 5", "GPS 5", "GPS 10", "GPS 100", "BeiDou 21"}},
        {SkyTableModel::Signal, Qt::AscendingOrder, {"Galileo 5", "GPS 100", "GLONASS 65", "GPS 5", "BeiDou 21", "GPS 10"}},
        {SkyTableModel::Signal, Qt::DescendingOrder, {"BeiDou 21", "GPS 5", "GLONASS 65", "GPS 100", "Galileo 5", "GPS 10"}},
        {SkyTableModel::Used, Qt::DescendingOrder, {"GPS 5", "GLONASS 65", "BeiDou 21", "GPS 10", "GPS 100", "Galileo 5"}},
    };
    // Out of order and GPS 5 twice: shown sorted and once, the first one given kept.
    const std::vector<SkySatellite> sky = SmallSky();
    SkySatellite weakGps5 = sky[0];
    weakGps5.signal = 1;
    SkyView view;
    view.ShowSatellites({sky[4], sky[0], weakGps5, sky[5], sky[1], sky[3], sky[2]});
    for (const auto& row : rows) {
        view.Grd_Sky->sortByColumn(row.column, row.order);
        EXPECT_EQ(Order(view.Grd_Sky), row.expected) << row.column << " " << row.order;
    }
}

TEST(SkyTable, HeaderClickSortsMeasuresStrongestFirstThenFlips)
{
    SkyView view;
    view.resize(900, 400);
    view.show();
    view.ShowSatellites(SmallSky());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    const auto click = [&](int column) {
        QHeaderView* header = view.Grd_Sky->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          {header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2});
        return Order(view.Grd_Sky).front() + " .. " + Order(view.Grd_Sky).back();
    };
    EXPECT_EQ(click(SkyTableModel::Signal), "BeiDou 21 .. GPS 10");
    EXPECT_EQ(click(SkyTableModel::Signal), "Galileo 5 .. GPS 10");
    EXPECT_EQ(click(SkyTableModel::Number), "GPS 5 .. GPS 100");
}

TEST(SkyTable, UnchangedListChangesNothingAndChangedListKeepsSortSelectionScrollAndRing)
{
    SkyView view;
    view.resize(700, 300);
    view.show();
    std::vector<SkySatellite> sky;
    for (int number = 1; number <= 40; ++number)
        sky.push_back(Sat(G::GPS, number, number * 2, number * 9, 10 + number % 30, number % 3 == 0));
    view.ShowSatellites(sky);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    QTableView* table = view.Grd_Sky;
    table->sortByColumn(SkyTableModel::Signal, Qt::DescendingOrder);
    table->selectRow(4);
    const Names selected = Order(table, true);
    ASSERT_EQ(selected.size(), 1U);
    ASSERT_EQ(view.Img_Sky->Highlighted().size(), 1U) << "a selected row is ringed on the plot";
    table->verticalScrollBar()->setValue(3);
    const Names order = Order(table);

    QSignalSpy changed(table->model(), &QAbstractItemModel::dataChanged);
    QSignalSpy relaid(table->model(), &QAbstractItemModel::layoutChanged);
    QSignalSpy inserted(table->model(), &QAbstractItemModel::rowsInserted);
    view.ShowSatellites(sky);
    EXPECT_EQ(changed.count() + relaid.count() + inserted.count(), 0);
    EXPECT_EQ(Order(table), order);

    // One second later: signals change, one satellite sets, another rises.
    for (SkySatellite& satellite : sky)
        satellite.signal = 10 + (satellite.number * 7) % 40;
    sky.erase(sky.begin() + 1);
    sky.push_back(Sat(G::Galileo, 3, 30, 30, 55, false));
    view.ShowSatellites(sky);
    EXPECT_EQ(table->horizontalHeader()->sortIndicatorSection(), SkyTableModel::Signal);
    EXPECT_EQ(table->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
    EXPECT_EQ(Order(table).front(), "Galileo 3");
    EXPECT_EQ(Order(table, true), selected);
    EXPECT_EQ(table->verticalScrollBar()->value(), 3);

    // When the selected satellite leaves the sky its ring goes with it.
    std::erase_if(sky, [&](const SkySatellite& s) { return "GPS " + std::to_string(s.number) == selected[0]; });
    view.ShowSatellites(sky);
    EXPECT_TRUE(view.Img_Sky->Highlighted().empty());
}

// Every step is checked against the list given and by Qt's model tester, which fails on any
// inconsistent insert, remove or change signal.
TEST(SkyTableModel, MergesEachNewListIntoTheRows)
{
    const std::vector<SkySatellite> sky = SmallSky();
    std::vector<SkySatellite> changedValues = sky;
    changedValues[2].elevation = 3;
    changedValues[5].used = false;
    const std::vector<SkySatellite> steps[] = {
        sky,                                     // from empty
        {sky[1], sky[3]},                        // runs removed at the start, middle and end
        sky,                                     // runs inserted before, between and after
        changedValues,                           // values changed in place
        {sky[0], sky[2], sky[4]},                // every other row removed
        {sky[1], sky[3], sky[5]},                // everything replaced
        {},
    };
    SkyTableModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    for (const auto& step : steps) {
        model.SetSatellites(step);
        EXPECT_EQ(model.Satellites(), step);
    }
    EXPECT_EQ(SystemsIn(sky), (std::vector<GnssSystem>{G::GPS, G::GLONASS, G::Galileo, G::BeiDou}));
}

} // namespace
} // namespace fixwatch
