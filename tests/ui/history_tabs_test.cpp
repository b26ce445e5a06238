// The History tab on the window, fed a real multi-system capture through a pseudo-terminal.
#include "capture_receiver.h"
#include "history_feed.h"
#include "history_view.h"
#include "sky_plot.h"
#include "sky_view.h"

#include <QChart>
#include <QLineSeries>

#include <gtest/gtest.h>

namespace fixwatch {
namespace {

using namespace test;

constexpr const char* kCapture = "ublox-zed-f9p-nmea.nmea";

int PointsNamed(QChart* chart, const QString& name)
{
    int points = 0;
    for (QAbstractSeries* s : chart->series())
        if (auto* line = qobject_cast<QLineSeries*>(s); line && line->name() == name)
            points += line->count();
    return points;
}

TEST(HistoryTab, DrawsEveryEpochOnlyWhenShownAndFollowsTheSatellitesClickedOnTheSkyTab)
{
    FIXWATCH_NEED_CAPTURES(kCapture);
    PtyWindow w("/G+");
    MainForm& form = w.form;
    form.resize(900, 700);
    form.show();
    ASSERT_EQ(Tabs(form).tabText(MainForm::kHistoryTab) + "|" + Tabs(form).tabText(MainForm::kSkyTab), "History|Sky");
    ShowTab(form, MainForm::kSkyTab);
    w.Receive(RealCapture(kCapture, 400));
    QApplication::processEvents();

    const EpochHistory& history = Control<HistoryFeed>(form, "HistoryFeed")->History();
    ASSERT_GT(history.Size(), 5u);
    HistoryView& view = *Control<HistoryView>(form, "Frm_History");
    QChart* altitude = view.Chart(HistoryView::kAltitudeChart);
    QChart* satellites = view.Chart(HistoryView::kSatellitesChart);
    QChart* signal = view.Chart(HistoryView::kSignalChart);
    EXPECT_EQ(PointsNamed(altitude, "Altitude"), 0) << "hidden, the charts were never filled";

    // A row of the table.
    QTableView* table = Control<SkyView>(form, "Frm_Sky")->Grd_Sky;
    ASSERT_GT(table->model()->rowCount(), 0);
    const QRect row = table->visualRect(table->model()->index(0, 0));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, row.center());
    ASSERT_EQ(view.FollowedSatellites().size(), 1);
    const QString name = view.FollowedSatellites().front();
    ShowTab(form, MainForm::kHistoryTab);
    int withAltitude = 0;
    for (std::size_t i = 0; i < history.Size(); ++i)
        withAltitude += history[i].altitude.has_value();
    EXPECT_EQ(PointsNamed(altitude, "Altitude"), withAltitude);
    // All GNSS reaches the charts: a line per system (which lines, and a line per band, are
    // pinned by display.HistoryViewTest and display.HistoryBands).
    EXPECT_GT(PointsNamed(satellites, "GPS in view"), 0);
    EXPECT_EQ(PointsNamed(satellites, "In view"), 0);
    EXPECT_GT(PointsNamed(signal, name + " L1"), 5) << name.toStdString() << ": one point an epoch while it was in view";

    // A circle on the plot: a second satellite, then the first again takes it away.
    ShowTab(form, MainForm::kSkyTab);
    const auto& marks = Control<SkyView>(form, "Frm_Sky")->Img_Sky->Marks();
    const auto other = std::find_if(marks.begin(), marks.end(),
                                    [&](const SkyPlot::Mark& m) { return m.label != name; });
    ASSERT_NE(other, marks.end());
    const QString otherName = other->label;
    QTest::mouseClick(Control<SkyView>(form, "Frm_Sky")->Img_Sky, Qt::LeftButton, {}, other->centre.toPoint());
    EXPECT_EQ(view.FollowedSatellites(), QStringList({name, otherName}));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_EQ(view.FollowedSatellites(), QStringList({otherName}));
    ShowTab(form, MainForm::kHistoryTab);
    EXPECT_EQ(PointsNamed(signal, name + " L1"), 0);
    EXPECT_GT(PointsNamed(signal, otherName + " L1"), 0);

    // Clear forgets the epochs; the next redraw shows nothing.
    Trigger(form, "MenuVuotaCampi");
    EXPECT_EQ(Control<HistoryFeed>(form, "HistoryFeed")->History().Size(), 0u);
    view.Redraw();
    EXPECT_EQ(PointsNamed(altitude, "Altitude"), 0);
}

TEST(HistoryTab, WithoutAllGnssOnlyGpsTalkersMakeEpochsAndTotalsAreDrawn)
{
    FIXWATCH_NEED_CAPTURES(kCapture);
    PtyWindow w;
    MainForm& form = w.form;
    form.show();
    Tabs(form).setCurrentIndex(MainForm::kHistoryTab);
    w.Receive(RealCapture(kCapture, 400));
    const HistoryFeed& feed = *Control<HistoryFeed>(form, "HistoryFeed");
    HistoryView& view = *Control<HistoryView>(form, "Frm_History");
    view.Redraw();
    EXPECT_EQ(PointsNamed(view.Chart(HistoryView::kSatellitesChart), "GPS in view"), 0);
    // This receiver sends its fix as GN: GP alone closes no epoch with a position.
    for (std::size_t i = 0; i < feed.History().Size(); ++i)
        EXPECT_FALSE(feed.History()[i].latitude) << i;
}

} // namespace
} // namespace fixwatch
