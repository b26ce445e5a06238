// The History tab on the window, fed a real multi-system capture through a pseudo-terminal as
// a receiver would send it: one epoch per UTC time, lines per system with All GNSS, nothing
// drawn while the tab is hidden, and Clear forgetting the epochs.
#include "captures.h"
#include "capture_receiver.h"
#include "window_test_support.h"
#include "history_feed.h"
#include "history_view.h"

#include <QChart>
#include <QLineSeries>
#include <QTabWidget>

#include <gtest/gtest.h>

namespace fixwatch {
namespace {

using test::Receive;
using test::RealCapture;
using test::PortVariable;

constexpr const char* kCapture = "ublox-zed-f9p-nmea.nmea";

int PointsNamed(QChart* chart, const QString& name)
{
    int points = 0;
    for (QAbstractSeries* s : chart->series())
        if (auto* line = qobject_cast<QLineSeries*>(s); line && line->name() == name)
            points += line->count();
    return points;
}

TEST(HistoryTab, ComesAfterSkyAndDrawsEveryEpochOnlyWhenShown)
{
    FIXWATCH_NEED_CAPTURES(kCapture);
    const std::string text = RealCapture(kCapture, 400);
    PseudoTerminal receiver;
    PortVariable port(1, receiver.Device());
    MainForm form("/G+");
    form.show();
    ASSERT_EQ(form.SSTab->tabText(MainForm::kHistoryTab), QStringLiteral("History"));
    ASSERT_EQ(form.SSTab->tabText(MainForm::kSkyTab), QStringLiteral("Sky"));
    Receive(form, receiver, text);

    const EpochHistory& history = form.History().History();
    ASSERT_GT(history.Size(), 5u);
    // Hidden, the charts were never filled.
    QChart* altitude = form.Frm_History->Chart(HistoryView::kAltitudeChart);
    EXPECT_EQ(PointsNamed(altitude, QStringLiteral("Altitude")), 0);

    form.SSTab->setCurrentIndex(MainForm::kHistoryTab);
    QApplication::processEvents();
    int withAltitude = 0;
    for (std::size_t i = 0; i < history.Size(); ++i)
        withAltitude += history[i].altitude.has_value();
    EXPECT_EQ(PointsNamed(altitude, QStringLiteral("Altitude")), withAltitude);
    // All GNSS: one line per system, GPS and at least one other with satellites in view.
    QChart* satellites = form.Frm_History->Chart(HistoryView::kSatellitesChart);
    EXPECT_GT(PointsNamed(satellites, QStringLiteral("GPS in view")), 0);
    EXPECT_GT(PointsNamed(satellites, QStringLiteral("GLONASS in view")) +
                  PointsNamed(satellites, QStringLiteral("Galileo in view")) +
                  PointsNamed(satellites, QStringLiteral("BeiDou in view")), 0);
    EXPECT_EQ(PointsNamed(satellites, QStringLiteral("In view")), 0);

    // Clear forgets the epochs; the next redraw shows nothing.
    form.MenuVuotaCampi_Click();
    EXPECT_EQ(form.History().History().Size(), 0u);
    form.Frm_History->Redraw();
    EXPECT_EQ(PointsNamed(altitude, QStringLiteral("Altitude")), 0);
    form.Cmd_StartStop_Click(1);
}

TEST(HistoryTab, WithoutAllGnssOnlyGpsTalkersMakeEpochsAndTotalsAreDrawn)
{
    FIXWATCH_NEED_CAPTURES(kCapture);
    const std::string text = RealCapture(kCapture, 400);
    PseudoTerminal receiver;
    PortVariable port(1, receiver.Device());
    MainForm form;
    form.show();
    form.SSTab->setCurrentIndex(MainForm::kHistoryTab);
    Receive(form, receiver, text);
    EXPECT_EQ(form.History().ReadTalkers(), Talkers::GpsOnly);
    form.Frm_History->Redraw();
    QChart* satellites = form.Frm_History->Chart(HistoryView::kSatellitesChart);
    EXPECT_EQ(PointsNamed(satellites, QStringLiteral("GPS in view")), 0);
    // This receiver sends its fix as GN: GP alone closes no epoch with a position.
    for (std::size_t i = 0; i < form.History().History().Size(); ++i)
        EXPECT_FALSE(form.History().History()[i].latitude) << i;
    form.Cmd_StartStop_Click(1);
}

} // namespace
} // namespace fixwatch
