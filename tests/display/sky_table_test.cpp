// The Sky tab's table: what each row shows, sorting by every column, and updates that keep
// the user's sort, selection and scroll.
#include "sky_samples.h"
#include "sky_satellites.h"
#include "sky_table_model.h"
#include "sky_view.h"
#include "sky_plot.h"

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

QString Cell(const QTableView* table, int row, int column)
{
    return table->model()->index(row, column).data().toString();
}

QStringList Row(const QTableView* table, int row)
{
    QStringList cells;
    for (int column = 0; column < table->model()->columnCount(); ++column)
        cells << Cell(table, row, column);
    return cells;
}

// The rows as "system number", top to bottom.
std::vector<std::string> Order(const QTableView* table)
{
    std::vector<std::string> order;
    for (int row = 0; row < table->model()->rowCount(); ++row)
        order.push_back((Cell(table, row, SkyTableModel::System) + ' ' +
                         Cell(table, row, SkyTableModel::Number))
                            .toStdString());
    return order;
}

std::vector<std::string> SelectedSatellites(const QTableView* table)
{
    std::vector<std::string> selected;
    for (const QModelIndex& index : table->selectionModel()->selectedRows())
        selected.push_back((Cell(table, index.row(), SkyTableModel::System) + ' ' +
                            Cell(table, index.row(), SkyTableModel::Number))
                               .toStdString());
    return selected;
}

void ClickHeader(QTableView* table, int column)
{
    QHeaderView* header = table->horizontalHeader();
    const QPoint middle(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, middle);
}

TEST(SkyTable, ShowsEverySatelliteWithEmptyValuesEmpty)
{
    SkyView view;
    view.ShowSatellites(SmallSky());
    const QTableView* table = view.Grd_Sky;
    const QAbstractItemModel* model = table->model();

    QStringList titles;
    for (int column = 0; column < model->columnCount(); ++column)
        titles << model->headerData(column, Qt::Horizontal).toString();
    EXPECT_EQ(titles, QStringList({"System", "No.", "Elev.", "Azim.", "Signal", "Used"}));
    EXPECT_TRUE(model->headerData(SkyTableModel::Signal, Qt::Horizontal, Qt::ToolTipRole)
                    .toString()
                    .contains("dB-Hz"));

    ASSERT_EQ(model->rowCount(), 6);
    EXPECT_EQ(Row(table, 0), QStringList({"GPS", "5", "45", "100", "40", "Yes"}));
    EXPECT_EQ(Row(table, 1), QStringList({"GPS", "10", "9", "20", "", "No"}));
    EXPECT_EQ(Row(table, 2), QStringList({"GPS", "100", "", "", "12", "No"}));
    EXPECT_EQ(Row(table, 3), QStringList({"GLONASS", "65", "80", "300", "31", "Yes"}));
    EXPECT_EQ(Row(table, 4), QStringList({"Galileo", "5", "20", "200", "8", "No"}));
    EXPECT_EQ(Row(table, 5), QStringList({"BeiDou", "21", "60", "", "45", "Yes"}));

    for (int column = 0; column < model->columnCount(); ++column)
        EXPECT_FALSE(model->index(0, column).flags() & Qt::ItemIsEditable) << column;
    EXPECT_EQ(table->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(view.objectName(), "SkyView");
    EXPECT_EQ(table->objectName(), "Grd_Sky");
}

TEST(SkyTable, SortsEveryColumnByValueWithEmptyValuesLast)
{
    const struct {
        const char* legend;
        int column;
        Qt::SortOrder order;
        std::vector<std::string> expected;
    } rows[] = {
        {"system in display order, then number", SkyTableModel::System, Qt::AscendingOrder,
         {"GPS 5", "GPS 10", "GPS 100", "GLONASS 65", "Galileo 5", "BeiDou 21"}},
        {"system descending, numbers still ascending within", SkyTableModel::System,
         Qt::DescendingOrder,
         {"BeiDou 21", "Galileo 5", "GLONASS 65", "GPS 5", "GPS 10", "GPS 100"}},
        {"number as a number; equal numbers by system", SkyTableModel::Number,
         Qt::AscendingOrder,
         {"GPS 5", "Galileo 5", "GPS 10", "BeiDou 21", "GLONASS 65", "GPS 100"}},
        {"number descending", SkyTableModel::Number, Qt::DescendingOrder,
         {"GPS 100", "GLONASS 65", "BeiDou 21", "GPS 10", "GPS 5", "Galileo 5"}},
        {"elevation ascending, empty last", SkyTableModel::Elevation, Qt::AscendingOrder,
         {"GPS 10", "Galileo 5", "GPS 5", "BeiDou 21", "GLONASS 65", "GPS 100"}},
        {"elevation descending, empty still last", SkyTableModel::Elevation,
         Qt::DescendingOrder,
         {"GLONASS 65", "BeiDou 21", "GPS 5", "Galileo 5", "GPS 10", "GPS 100"}},
        {"azimuth ascending, 20 before 100 before 200", SkyTableModel::Azimuth,
         Qt::AscendingOrder,
         {"GPS 10", "GPS 5", "Galileo 5", "GLONASS 65", "GPS 100", "BeiDou 21"}},
        {"azimuth descending, empties last by system and number", SkyTableModel::Azimuth,
         Qt::DescendingOrder,
         {"GLONASS 65", "Galileo 5", "GPS 5", "GPS 10", "GPS 100", "BeiDou 21"}},
        {"signal ascending, 8 before 12 before 31", SkyTableModel::Signal, Qt::AscendingOrder,
         {"Galileo 5", "GPS 100", "GLONASS 65", "GPS 5", "BeiDou 21", "GPS 10"}},
        {"signal descending, strongest first", SkyTableModel::Signal, Qt::DescendingOrder,
         {"BeiDou 21", "GPS 5", "GLONASS 65", "GPS 100", "Galileo 5", "GPS 10"}},
        {"used descending, used first", SkyTableModel::Used, Qt::DescendingOrder,
         {"GPS 5", "GLONASS 65", "BeiDou 21", "GPS 10", "GPS 100", "Galileo 5"}},
    };
    SkyView view;
    view.ShowSatellites(SmallSky());
    for (const auto& row : rows) {
        view.Grd_Sky->sortByColumn(row.column, row.order);
        EXPECT_EQ(Order(view.Grd_Sky), row.expected) << row.legend;
    }
}

TEST(SkyTable, HeaderClickSortsMeasuresStrongestFirstThenFlips)
{
    SkyView view;
    view.resize(900, 400);
    view.show();
    view.ShowSatellites(SmallSky());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));

    ClickHeader(view.Grd_Sky, SkyTableModel::Signal);
    EXPECT_EQ(Order(view.Grd_Sky).front(), "BeiDou 21");
    EXPECT_EQ(Order(view.Grd_Sky).back(), "GPS 10"); // no signal
    ClickHeader(view.Grd_Sky, SkyTableModel::Signal);
    EXPECT_EQ(Order(view.Grd_Sky).front(), "Galileo 5");
    EXPECT_EQ(Order(view.Grd_Sky).back(), "GPS 10");

    ClickHeader(view.Grd_Sky, SkyTableModel::Number);
    EXPECT_EQ(Order(view.Grd_Sky).front(), "GPS 5");
    EXPECT_EQ(Order(view.Grd_Sky).back(), "GPS 100");
}

TEST(SkyTable, UnchangedListChangesNothingAndChangedListKeepsSortSelectionAndScroll)
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
    const std::vector<std::string> selected = SelectedSatellites(table);
    ASSERT_EQ(selected.size(), 1U);
    table->verticalScrollBar()->setValue(3);
    const std::vector<std::string> order = Order(table);

    QSignalSpy changed(table->model(), &QAbstractItemModel::dataChanged);
    QSignalSpy relaid(table->model(), &QAbstractItemModel::layoutChanged);
    QSignalSpy inserted(table->model(), &QAbstractItemModel::rowsInserted);
    view.ShowSatellites(sky);
    EXPECT_EQ(changed.count() + relaid.count() + inserted.count(), 0);
    EXPECT_EQ(Order(table), order);
    EXPECT_EQ(SelectedSatellites(table), selected);

    // One second later: signals change, one satellite sets, another rises.
    std::vector<SkySatellite> later = sky;
    for (SkySatellite& satellite : later)
        satellite.signal = 10 + (satellite.number * 7) % 40;
    later.erase(later.begin() + 1);
    later.push_back(Sat(G::Galileo, 3, 30, 30, 55, false));
    view.ShowSatellites(later);

    EXPECT_EQ(table->horizontalHeader()->sortIndicatorSection(), SkyTableModel::Signal);
    EXPECT_EQ(table->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
    EXPECT_EQ(Order(table).front(), "Galileo 3");
    EXPECT_EQ(SelectedSatellites(table), selected);
    EXPECT_EQ(table->verticalScrollBar()->value(), 3);
    EXPECT_EQ(table->model()->rowCount(), 40);
}

TEST(SkyTable, SelectedRowsAreRingedOnThePlot)
{
    SkyView view;
    view.ShowSatellites(SmallSky());
    view.Grd_Sky->sortByColumn(SkyTableModel::Number, Qt::DescendingOrder);
    view.Grd_Sky->selectRow(1); // GLONASS 65
    ASSERT_EQ(view.Img_Sky->Highlighted().size(), 1U);
    EXPECT_EQ(view.Img_Sky->Highlighted()[0], (SatelliteKey{G::GLONASS, 65}));

    // When the satellite leaves the sky its ring goes with it.
    std::vector<SkySatellite> without = SmallSky();
    without.erase(without.begin() + 3);
    view.ShowSatellites(without);
    EXPECT_TRUE(view.Img_Sky->Highlighted().empty());
}

// Every step is checked against the list given and by Qt's model tester, which fails on
// any inconsistent insert, remove or change signal.
TEST(SkyTableModel, MergesEachNewListIntoTheRows)
{
    const std::vector<SkySatellite> sky = SmallSky();
    const auto pick = [&](std::initializer_list<std::size_t> which) {
        std::vector<SkySatellite> picked;
        for (std::size_t i : which)
            picked.push_back(sky[i]);
        return picked;
    };
    std::vector<SkySatellite> changedValues = sky;
    changedValues[2].elevation = 3;
    changedValues[5].used = false;

    const struct {
        const char* legend;
        std::vector<SkySatellite> list;
    } steps[] = {
        {"from empty", sky},
        {"runs removed at the start, middle and end", pick({1, 3})},
        {"runs inserted before, between and after", sky},
        {"values changed in place", changedValues},
        {"every other row removed", pick({0, 2, 4})},
        {"everything replaced", pick({1, 3, 5})},
        {"to empty", {}},
    };
    SkyTableModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    for (const auto& step : steps) {
        model.SetSatellites(step.list);
        EXPECT_EQ(model.Satellites(), step.list) << step.legend;
        EXPECT_EQ(model.rowCount(), static_cast<int>(step.list.size())) << step.legend;
    }
}

TEST(SkyOrder, SortsAndDropsDuplicatesOfAListOutOfOrder)
{
    const std::vector<SkySatellite> ordered = SmallSky();
    EXPECT_EQ(InSkyOrder(ordered), ordered);

    std::vector<SkySatellite> shuffled = {ordered[5], ordered[0], ordered[3], ordered[0],
                                          ordered[4], ordered[2], ordered[1]};
    shuffled[3].signal = 1; // a second GPS 5: the first one given is kept
    EXPECT_EQ(InSkyOrder(shuffled), ordered);

    EXPECT_EQ(SystemsIn(ordered),
              (std::vector<GnssSystem>{G::GPS, G::GLONASS, G::Galileo, G::BeiDou}));
}

TEST(SkyView, ShowsAnOutOfOrderListSortedAndOnce)
{
    SkyView view;
    const std::vector<SkySatellite> sky = SmallSky();
    view.ShowSatellites({sky[4], sky[0], sky[0], sky[3]});
    EXPECT_EQ(Order(view.Grd_Sky),
              (std::vector<std::string>{"GPS 5", "GLONASS 65", "Galileo 5"}));
}

} // namespace
} // namespace fixwatch
