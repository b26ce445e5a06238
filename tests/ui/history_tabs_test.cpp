// The History and Signals tabs on the window, fed a real multi-system capture through a
// pseudo-terminal: each draws only while shown. Clear reaches the History tab's feed as it does
// the Accuracy tab's and the multi-band rows' (ui.AccuracyTab, ui.MultibandRows); the feed's
// talkers without All GNSS are pinned by ui.AllGnss; what the Signals tab's bars say by
// display.SignalsView.
#include "capture_receiver.h"
#include "history_view.h"
#include "signals_view.h"
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

TEST(HistoryTab, DrawsOnlyWhenShownAndFollowsTheSatellitesClickedOnTheSkyTab)
{
    FIXWATCH_NEED_CAPTURES(kCapture);
    PtyWindow w("/G+");
    MainForm& form = w.form;
    form.resize(900, 700);
    form.show();
    ShowTab(form, MainForm::kSkyTab);
    w.Receive(RealCapture(kCapture, 100000));
    QApplication::processEvents();

    const SignalsView& bars = *Control<SignalsView>(form, "Frm_Signals");
    EXPECT_TRUE(bars.Groups().empty()) << "hidden, the bars were never built";
    ShowTab(form, MainForm::kSignalsTab);
    EXPECT_EQ(bars.Groups().size(), 41u) << "one group per satellite in view, as the session's sky has them";
    ShowTab(form, MainForm::kSkyTab);

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
    EXPECT_GT(PointsNamed(altitude, "Altitude"), 5);
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
}

} // namespace
} // namespace fixwatch
