// The History tab's charts read back from their series: what an epoch puts on each chart,
// gaps left open, the time window and the fix band; with every system read, the C/N0 chart's
// line per band and a followed satellite's line per band.
#include "history_view.h"

#include "chart_legend.h"
#include "sealed.h"
#include "sky.h"

#include <QApplication>
#include <QChart>
#include <QComboBox>
#include <QCategoryAxis>
#include <QLineSeries>
#include <QValueAxis>

#include <gtest/gtest.h>

#include <algorithm>

namespace fixwatch {
namespace {

Epoch At(int seconds, std::optional<double> altitude = 100.0)
{
    Epoch e;
    e.timeMs = seconds * 1000;
    e.date = UtcDate{2026, 12, 7};
    e.altitude = altitude;
    e.fixQuality = 1;
    e.gsaMode = 3;
    e.hdop = 0.9;
    e.satellitesUsed = 8;
    e.inViewBySystem[0] = 11;
    e.cn0Mean = 40.5;
    e.cn0Max = 47;
    return e;
}

// The points of every stretch of the line named `name`, non-empty stretches only.
std::vector<QList<QPointF>> Stretches(QChart* chart, const QString& name)
{
    std::vector<QList<QPointF>> out;
    for (QAbstractSeries* s : chart->series())
        if (auto* line = qobject_cast<QLineSeries*>(s); line && line->name() == name && line->count() > 0)
            out.push_back(line->points());
    return out;
}

struct HistoryViewTest : ::testing::Test {
    EpochHistory history{100};
    HistoryView view{[this]() -> const EpochHistory& { return history; }};
};

TEST_F(HistoryViewTest, EachEpochPutsItsValuesOnTheChartsAndALostReceiverOrAMissingValueLeavesAGap)
{
    for (int t = 0; t < 3; ++t)
        history.Push(At(43200 + t));
    for (int t = 20; t < 23; ++t) // receiver silent for 18 s
        history.Push(At(43200 + t));
    history.Push(At(43223, std::nullopt)); // an epoch without altitude
    history.Push(At(43224));
    view.Redraw();
    const auto altitude = Stretches(view.Chart(HistoryView::kAltitudeChart), QStringLiteral("Altitude"));
    ASSERT_EQ(altitude.size(), 3u);
    EXPECT_EQ(altitude[0].size(), 3);
    EXPECT_EQ(altitude[1].size(), 3);
    EXPECT_EQ(altitude[2].size(), 1);
    EXPECT_DOUBLE_EQ(altitude[0][0].y(), 100.0);
    EXPECT_DOUBLE_EQ(altitude[0][2].x() - altitude[0][0].x(), 2.0);
    // The satellites had values throughout: the silence alone cuts them.
    const auto used = Stretches(view.Chart(HistoryView::kSatellitesChart), QStringLiteral("Used"));
    const auto inView = Stretches(view.Chart(HistoryView::kSatellitesChart), QStringLiteral("In view"));
    ASSERT_EQ(used.size(), 2u);
    ASSERT_EQ(inView.size(), 2u);
    EXPECT_DOUBLE_EQ(used[0][0].y(), 8);
    EXPECT_DOUBLE_EQ(inView[0][0].y(), 11);
    EXPECT_DOUBLE_EQ(Stretches(view.Chart(HistoryView::kSignalChart), QStringLiteral("Max"))[0][0].y(), 47);
    EXPECT_DOUBLE_EQ(Stretches(view.Chart(HistoryView::kDopChart), QStringLiteral("HDOP"))[0][0].y(), 0.9);
    EXPECT_TRUE(Stretches(view.Chart(HistoryView::kDopChart), QStringLiteral("VDOP")).empty());
}

TEST_F(HistoryViewTest, OnlyTheChosenWindowIsDrawnAndItEndsAtTheNewestEpoch)
{
    for (int t = 0; t < 100; ++t)
        history.Push(At(43200 + t * 2));        // 200 s of epochs every 2 s
    view.Cmb_HistoryWindow->setCurrentIndex(0); // 1 minute
    view.Redraw();
    auto altitude = Stretches(view.Chart(HistoryView::kAltitudeChart), QStringLiteral("Altitude"));
    ASSERT_EQ(altitude.size(), 1u);
    EXPECT_EQ(altitude[0].size(), 31);
    EXPECT_DOUBLE_EQ(altitude[0].back().x() - altitude[0].front().x(), 60.0);
    view.Cmb_HistoryWindow->setCurrentIndex(1);
    view.Redraw();
    altitude = Stretches(view.Chart(HistoryView::kAltitudeChart), QStringLiteral("Altitude"));
    EXPECT_EQ(altitude[0].size(), 100);
}

// Every line drawn on a chart can be read from its legend: its colour and its stroke (solid,
// dashed, dotted) are among the legend's entries, and the legend shows all its entries.
void ExpectEveryLineInTheLegend(const HistoryView& view)
{
    for (int c = 0; c < 5; ++c) {
        SCOPED_TRACE(c);
        const ChartLegend* legend = view.Legend(c);
        QStringList labels;
        for (const ChartLegend::Entry& entry : legend->Entries())
            labels << entry.label;
        for (QAbstractSeries* s : view.Chart(c)->series()) {
            auto* line = qobject_cast<QLineSeries*>(s);
            if (!line || line->count() == 0)
                continue;
            const auto& entries = legend->Entries();
            EXPECT_TRUE(std::any_of(entries.begin(), entries.end(),
                                    [&](const auto& e) { return e.pen.color() == line->pen().color(); }))
                << qPrintable(line->name() + " not in " + labels.join(", "));
            EXPECT_TRUE(std::any_of(entries.begin(), entries.end(),
                                    [&](const auto& e) { return e.pen.style() == line->pen().style(); }))
                << qPrintable(line->name() + " stroke not in " + labels.join(", "));
        }
        // The legend asks for as many columns as its height needs, and gets the width.
        EXPECT_GE(legend->width(), legend->sizeHint().width()) << "a column of the legend is cut off";
    }
}

// The plots begin and end at the same x, within the pixel and a half that whole-pixel margins
// and the Fix chart's named levels leave.
void ExpectPlotsLineUp(const HistoryView& view)
{
    const QRectF first = view.Chart(0)->plotArea();
    for (int c = 1; c < 5; ++c) {
        EXPECT_NEAR(view.Chart(c)->plotArea().left(), first.left(), 1.5) << c;
        EXPECT_NEAR(view.Chart(c)->plotArea().right(), first.right(), 1.5) << c;
        EXPECT_GT(view.Chart(c)->plotArea().height(), 10.0) << c;
    }
}

TEST_F(HistoryViewTest, EveryLineFindsRoomInTheLegendAndThePlotsLineUpAtAnySize)
{
    for (const bool allSystems : {false, true}) {
        view.SetAllSystems(allSystems);
        for (int t = 0; t < 5; ++t) {
            Epoch e = At(43200 + t, 12345.6); // a wide altitude label
            for (std::size_t s = 0; s < std::size(kAllGnssSystems); ++s) {
                e.usedBySystem[s] = static_cast<std::uint8_t>(3 + s);
                e.inViewBySystem[s] = static_cast<std::uint8_t>(9 + s);
            }
            e.vdop = 1.5;
            e.pdop = 1.8;
            history.Push(e);
        }
        for (const QSize size : {QSize(840, 620), QSize(640, 480)}) {
            SCOPED_TRACE(qPrintable(QStringLiteral("%1x%2, all systems %3").arg(size.width()).arg(size.height()).arg(allSystems)));
            view.resize(size);
            view.show();
            view.Redraw();
            for (int i = 0; i < 5; ++i)
                QApplication::processEvents();
            ExpectEveryLineInTheLegend(view);
            ExpectPlotsLineUp(view);
        }
        QStringList satellites;
        for (const ChartLegend::Entry& entry : view.Legend(HistoryView::kSatellitesChart)->Entries())
            satellites << entry.label;
        if (allSystems) {
            EXPECT_EQ(satellites.size(), static_cast<int>(std::size(kAllGnssSystems)) + 2) << qPrintable(satellites.join(", "));
            EXPECT_EQ(satellites.mid(satellites.size() - 2), QStringList({"used", "in view"}));
        } else {
            EXPECT_EQ(satellites, QStringList({"Used", "In view"}));
        }
        QStringList dops;
        for (const ChartLegend::Entry& entry : view.Legend(HistoryView::kDopChart)->Entries())
            dops << entry.label;
        EXPECT_EQ(dops, QStringList({"HDOP", "VDOP", "PDOP"}));
    }
}

TEST_F(HistoryViewTest, DopsSentOnceASecondAmongTenHertzFixesAreDrawnAsLines)
{
    for (int tenths = 0; tenths < 50; ++tenths) {
        Epoch e = At(43200);
        e.timeMs = 43200 * 1000 + tenths * 100;
        if (tenths % 10 == 0) { // the GSA's epoch
            e.pdop = 1.5 + tenths / 100.0;
            e.vdop = 1.2;
        }
        history.Push(e);
    }
    view.Redraw();
    for (const char* dop : {"PDOP", "VDOP"}) {
        const auto stretches = Stretches(view.Chart(HistoryView::kDopChart), QString::fromLatin1(dop));
        ASSERT_EQ(stretches.size(), 1u) << dop;
        EXPECT_EQ(stretches[0].size(), 5) << dop;
    }
}

TEST_F(HistoryViewTest, AFreshSessionFillsTheAxisAndTheFixChartNamesItsBands)
{
    for (int t = 0; t < 30; ++t)
        history.Push(At(43200 + t));
    view.Redraw();
    for (int c = 0; c < 5; ++c) {
        auto* time = static_cast<QCategoryAxis*>(view.Chart(c)->axes(Qt::Horizontal).front());
        EXPECT_DOUBLE_EQ(time->min(), 43200 + 20794 * 86400.0) << "chart " << c << " starts at the first epoch";
        EXPECT_GE(time->categoriesLabels().size(), 3) << "chart " << c << " labels its 30 s";
    }
    EXPECT_FALSE(EpochSeconds(Epoch{})) << "an epoch without a time has no place on the axis";
    auto* bands = static_cast<QCategoryAxis*>(view.Chart(HistoryView::kFixChart)->axes(Qt::Vertical).front());
    EXPECT_EQ(bands->categoriesLabels().join(", "), "3D") << "the bands shown, each named";
    auto* satellites = static_cast<QValueAxis*>(view.Chart(HistoryView::kSatellitesChart)->axes(Qt::Vertical).front());
    EXPECT_EQ(satellites->tickType(), QValueAxis::TicksDynamic);
    EXPECT_EQ(std::fmod(satellites->tickInterval(), 1.0), 0.0) << "whole satellites";
}

TEST(ReadableTicksTest, NoTwoLabelsReadTheSame)
{
    struct Row {
        double low, high, resolution;
        const char* format;
    };
    const Row rows[] = {
        {7.5, 9.5, 1, "%.0f"},
        {0, 1.4, 1, "%.0f"},
        {0.85, 1.05, 0.1, "%.1f"},
        {30, 48, 1, "%.0f"},
        {0, 63, 1, "%.0f"},
        {12340.2, 12351.7, 1, "%.0f"},
        {0.5, 12.5, 0.1, "%.1f"},
        {3, 3, 1, "%.0f"},
    };
    for (const Row& row : rows) {
        const ValueTicks ticks = ReadableTicks(row.low, row.high, row.resolution);
        const QString legend = QString("[%1, %2]").arg(row.low).arg(row.high);
        EXPECT_LE(ticks.low, row.low) << qPrintable(legend);
        EXPECT_GE(ticks.high, row.high) << qPrintable(legend);
        QStringList labels;
        for (double v = ticks.low; v <= ticks.high + ticks.interval / 2; v += ticks.interval)
            labels << QString::asprintf(row.format, v);
        EXPECT_EQ(labels.removeDuplicates(), 0) << qPrintable(legend + labels.join(' '));
        EXPECT_LE(labels.size(), 6) << qPrintable(legend + labels.join(' '));
    }
}

TEST(FixBandTest, QualityAndModeMapToOneBand)
{
    const std::optional<int> none;
    const struct {
        std::optional<int> quality, mode, band;
    } rows[] = {{none, none, none}, {0, none, 0}, {1, 2, 1}, {1, 3, 2}, {2, 3, 3}, {5, 3, 4}, {4, 3, 5}, {none, 1, 0}};
    for (const auto& row : rows) {
        Epoch e;
        e.fixQuality = row.quality;
        e.gsaMode = row.mode;
        EXPECT_EQ(FixBand(e), row.band) << row.quality.value_or(-1) << " " << row.mode.value_or(-1);
    }
}

// The C/N0 chart fed with the satellites' signals, as the window feeds it.
struct HistoryBands : HistoryViewTest {
    SignalHistory signalHistory;

    HistoryBands()
    {
        view.SetSignals([this]() -> const SignalHistory& { return signalHistory; });
    }

    // Ten epochs a second apart with the sky these sentences make; `perBand` as All GNSS keeps.
    void Epochs(std::initializer_list<const char*> lines, bool perBand)
    {
        Sky sky;
        for (const char* line : lines)
            sky.Feed(test::Sealed(line));
        for (int t = 0; t < 10; ++t) {
            Epoch e = At(43200 + t);
            history.Push(e);
            signalHistory.AddEpoch(*EpochSeconds(e), sky.Satellites(), perBand);
        }
    }
    // The points drawn on the C/N0 chart's lines named `name`.
    qsizetype Drawn(const QString& name) const
    {
        qsizetype points = 0;
        for (const auto& stretch : Stretches(view.Chart(HistoryView::kSignalChart), name))
            points += stretch.size();
        return points;
    }
};

// GPS 27 on L1 and L5 and GPS 8 on L1, both used.
const std::initializer_list<const char*> kDualBand = {"$GPGSV,1,1,02,27,45,120,41,08,30,200,37,1",
                                                      "$GPGSV,1,1,01,27,45,120,35,8",
                                                      "$GPGSA,A,3,27,08,,,,,,,,,,,1.5,0.9,1.2,1"};

TEST_F(HistoryBands, AMultiBandReceiverGetsAMeanLinePerBandAndAFollowedSatelliteALinePerBand)
{
    view.SetAllSystems(true);
    Epochs(kDualBand, true);
    view.ToggleSatellite(GnssSystem::GPS, 27, QStringLiteral("G27"));
    view.Redraw();
    EXPECT_EQ(Drawn("L1"), 10);
    EXPECT_EQ(Drawn("L2"), 0) << "a band the receiver does not send has no line";
    EXPECT_EQ(Drawn("G27 L1") + Drawn("G27 L5"), 20);
    EXPECT_EQ(Drawn("G27"), 0);
    EXPECT_EQ(view.FollowedSatellites(), QStringList({"G27"}));
    // Each band's mean on its own line: L1 (41 + 37) / 2, L5 G27's alone.
    const auto l5 = Stretches(view.Chart(HistoryView::kSignalChart), QStringLiteral("L5"));
    ASSERT_EQ(l5.size(), 1u);
    EXPECT_DOUBLE_EQ(l5[0][0].y(), 35);
    EXPECT_DOUBLE_EQ(Stretches(view.Chart(HistoryView::kSignalChart), QStringLiteral("L1"))[0][0].y(), 39);
    // Every line drawn has its entry in the legend.
    QStringList legend;
    for (const auto& entry : view.Legend(HistoryView::kSignalChart)->Entries())
        legend << entry.label;
    for (const char* name : {"Mean", "L1", "L5", "G27 L1", "G27 L5"})
        EXPECT_TRUE(legend.contains(name)) << name << " in " << legend.join(",").toStdString();

    view.ToggleSatellite(GnssSystem::GPS, 27, QStringLiteral("G27"));
    view.Redraw();
    EXPECT_EQ(Drawn("G27 L5"), 0) << "a second click takes every band away";
}

TEST_F(HistoryBands, OneBandOrTheDefaultReadingAddsNoBandLines)
{
    // L1 alone: the band's mean is the Mean line already.
    view.SetAllSystems(true);
    Epochs({"$GPGSV,1,1,02,27,45,120,41,08,30,200,37,1", "$GPGSA,A,3,27,08,,,,,,,,,,,1.5,0.9,1.2,1"}, true);
    view.ToggleSatellite(GnssSystem::GPS, 27, QStringLiteral("G27"));
    view.Redraw();
    EXPECT_EQ(Drawn("L1"), 0);
    EXPECT_EQ(Drawn("G27 L1"), 10);

    // Without All GNSS: no band lines, and the satellite's strongest signal under its name.
    history.Clear();
    signalHistory.Clear();
    view.SetAllSystems(false);
    Epochs(kDualBand, false);
    view.Redraw();
    EXPECT_EQ(Drawn("L1") + Drawn("L5") + Drawn("G27 L1") + Drawn("G27 L5"), 0);
    EXPECT_EQ(Drawn("G27"), 10) << "one point an epoch, its strongest signal";
}

} // namespace
} // namespace fixwatch
