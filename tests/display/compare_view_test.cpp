// The Compare tab's figures read back after a redraw: the signal table and per-band summary,
// the satellites only one receiver tracks, B's offsets and their mean, each receiver's
// availability; "No epoch in common yet" until the receivers share one; redrawn only while
// shown, in the window's palette.
#include "compare_view.h"

#include "live_comparison.h"

#include <GeographicLib/Geodesic.hpp>
#include <gtest/gtest.h>

#include <QApplication>
#include <QBrush>
#include <QChart>
#include <QLabel>
#include <QScatterSeries>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTimer>

namespace fixwatch {
namespace {

constexpr std::int64_t kNoon = 1'796'040'000'000; // 2026-11-30 12:00 UTC, ms

ReceiverEpoch At(double northMetres, std::vector<BandCn0> tracked, int used = 12)
{
    ReceiverEpoch epoch;
    epoch.fix = true;
    GeographicLib::Geodesic::WGS84().Direct(48.1173, 11.5167, 0, northMetres, epoch.latitude, epoch.longitude);
    epoch.height = 545.4;
    epoch.quality = 1;
    epoch.satellitesUsed = used;
    epoch.satellitesInView = used + 6;
    epoch.tracked = std::move(tracked);
    return epoch;
}

// A minute and a half at 1 Hz of B standing 2 m north of A and hearing GPS 5 3 dB louder on
// L1 and 1 dB weaker on L2; B tracks GLONASS 3 that A does not, A Galileo 7's E5a.
void Feed(LiveComparison& comparison)
{
    using enum GnssSystem;
    comparison.FirstFix(EpochPairing::A, 12.0);
    comparison.FirstFix(EpochPairing::B, 31.5);
    for (std::int64_t second = 0; second < 90; ++second) {
        ReceiverEpoch a = At(0, {{GPS, 5, SignalBand::L1, 40}, {GPS, 5, SignalBand::L2, 30}, {Galileo, 7, SignalBand::L5, 33}});
        ReceiverEpoch b = At(2, {{GPS, 5, SignalBand::L1, 43}, {GPS, 5, SignalBand::L2, 29}, {GLONASS, 3, SignalBand::L1, 41}},
                             9);
        comparison.Add(&a, &b, kNoon + second * 1000);
    }
}

// The table's rows, each as its cells' texts joined by "|".
QStringList Rows(const QStandardItemModel* model)
{
    QStringList rows;
    for (int row = 0; row < model->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < model->columnCount(); ++column)
            cells << (model->item(row, column) ? model->item(row, column)->text() : QString());
        rows << cells.join('|');
    }
    return rows;
}

TEST(CompareView, SaysNoEpochInCommonUntilTheReceiversShareOne)
{
    LiveComparison comparison;
    ReceiverEpoch a = At(0, {{GnssSystem::GPS, 5, SignalBand::L1, 40}});
    comparison.Add(&a, nullptr, kNoon);
    comparison.Add(nullptr, &a, kNoon + 86'400'000); // B a day later: nothing in common

    CompareView view;
    EXPECT_FALSE(view.Lab_CompareEmpty->isHidden()) << "before any redraw";
    EXPECT_EQ(view.Lab_CompareEmpty->text(), "No epoch in common yet");
    view.SetComparison(&comparison);
    view.Redraw();
    EXPECT_FALSE(view.Lab_CompareEmpty->isHidden());
    EXPECT_EQ(view.SignalsModel()->rowCount(), 0);
    EXPECT_EQ(view.BandsModel()->rowCount(), 0);
    EXPECT_EQ(view.Lab_ComparePosition->text(), "No epoch with a fix in both yet");
    EXPECT_EQ(view.Lab_CompareAvailability[CompareView::kFixOnly][0]->text(), "1");
    EXPECT_EQ(view.Lab_CompareAvailability[CompareView::kFixOnly][1]->text(), "1");

    comparison.Add(&a, &a, kNoon + 86'401'000);
    view.MarkChanged();
    view.Redraw();
    EXPECT_TRUE(view.Lab_CompareEmpty->isHidden());

    view.SetComparison(nullptr);
    view.Redraw();
    EXPECT_FALSE(view.Lab_CompareEmpty->isHidden()) << "no comparison, nothing in common";
    EXPECT_EQ(view.Lab_CompareAvailability[CompareView::kTimeToFirstFix][0]->text(), "\u2014");
}

TEST(CompareView, TablesAndTextsShowTheComparison)
{
    LiveComparison comparison;
    Feed(comparison);
    CompareView view;
    view.SetComparison(&comparison);
    view.Redraw();

    EXPECT_EQ(view.Lab_CompareSignalsTime->text(), "Signals both track, at the latest epoch in common (12:01:29 UTC)");
    EXPECT_EQ(Rows(view.SignalsModel()), QStringList({"G5|L1|40|43|+3", "G5|L2|30|29|-1"}));
    EXPECT_EQ(Rows(view.BandsModel()), QStringList({"L1|+3.00|+3.00|90", "L2|-1.00|-1.00|90"}));
    EXPECT_EQ(view.Lab_CompareOnlyA->text(), "only A: E7 L5");
    EXPECT_EQ(view.Lab_CompareOnlyB->text(), "only B: R3 L1");

    EXPECT_EQ(view.Lab_ComparePosition->text(), "Mean offset of B from A: east 0.000 m, north +2.000 m, up 0.000 m\n"
                                                "Horizontal RMS: 2.000 m over 90 epochs with a fix in both");
    EXPECT_EQ(view.OffsetPoints(1), 90) << "north, one unbroken line";
    EXPECT_EQ(view.ScatterSeries()->count(), 90);

    const auto& figures = view.Lab_CompareAvailability;
    EXPECT_EQ(figures[CompareView::kTimeToFirstFix][0]->text(), "12.0 s");
    EXPECT_EQ(figures[CompareView::kTimeToFirstFix][1]->text(), "31.5 s");
    EXPECT_EQ(figures[CompareView::kSatellites][0]->text(), "12 / 18");
    EXPECT_EQ(figures[CompareView::kSatellites][1]->text(), "9 / 15");
    EXPECT_EQ(figures[CompareView::kFixOnly][0]->text(), "0");
    EXPECT_EQ(view.QualityPoints(0), 2) << "one span of a fix, from the first epoch to the last";

    // A receiver's text never reaches a label as rich text.
    for (const QLabel* label : view.findChildren<QLabel*>())
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->objectName().toStdString();
}

TEST(CompareView, LongSeriesAreThinnedAndGapsStayGaps)
{
    LiveComparison comparison;
    ReceiverEpoch a = At(0, {});
    ReceiverEpoch b = At(1, {});
    for (std::int64_t i = 0; i < 20'000; ++i)
        comparison.Add(&a, &b, kNoon + i * 100);
    // Silent for a minute, then back.
    for (std::int64_t i = 0; i < 10; ++i)
        comparison.Add(&a, &b, kNoon + 2'060'000 + i * 100);
    CompareView view;
    view.SetComparison(&comparison);
    view.Redraw();
    EXPECT_LE(view.OffsetPoints(0), static_cast<qsizetype>(CompareView::kMaxPoints));
    EXPECT_LE(view.ScatterSeries()->count(), static_cast<qsizetype>(CompareView::kMaxPoints));
    EXPECT_EQ(view.QualityPoints(0), 4) << "two stretches of a fix with the silence between";
}

TEST(CompareView, RedrawsOnlyWhileShown)
{
    LiveComparison comparison;
    CompareView view;
    view.resize(900, 650);
    view.SetComparison(&comparison);
    const auto* timer = view.findChild<QTimer*>("Timer_CompareRedraw");
    ASSERT_NE(timer, nullptr);
    EXPECT_FALSE(timer->isActive());

    Feed(comparison);
    view.MarkChanged();
    QApplication::processEvents();
    EXPECT_EQ(view.SignalsModel()->rowCount(), 0) << "hidden: not redrawn";

    view.show();
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(view.SignalsModel()->rowCount(), 2) << "shown: what changed while hidden, at once";
    EXPECT_EQ(view.OffsetPoints(1), 0) << "the Position page is out of sight: not drawn";
    view.Tab_Compare->setCurrentIndex(1);
    EXPECT_GT(view.OffsetPoints(1), 0) << "drawn as it comes into sight";
    view.Tab_Compare->setCurrentIndex(0);

    view.hide();
    EXPECT_FALSE(timer->isActive());
    comparison.Clear();
    view.MarkChanged();
    QApplication::processEvents();
    EXPECT_EQ(view.SignalsModel()->rowCount(), 2);
}

TEST(CompareView, ChartsFollowTheWindowsPalette)
{
    CompareView view;
    QPalette dark = view.palette();
    dark.setColor(QPalette::Base, QColor(0x20, 0x20, 0x20));
    dark.setColor(QPalette::Text, QColor(0xee, 0xee, 0xee));
    view.setPalette(dark);
    for (const QChart* chart : {view.OffsetChart(), view.ScatterChart(), view.QualityChart()}) {
        EXPECT_EQ(chart->backgroundBrush().color(), QColor(0x20, 0x20, 0x20));
        EXPECT_EQ(chart->titleBrush().color(), QColor(0xee, 0xee, 0xee));
    }
}

} // namespace
} // namespace fixwatch
