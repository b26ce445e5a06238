// The C/N0 chart per band with every system read: the used satellites' mean of each band the
// receiver sends, and a followed satellite's line per band.
#include "history_view.h"
#include "sealed.h"
#include "sky.h"

#include <QChart>
#include <QLineSeries>

#include <map>

#include <gtest/gtest.h>

namespace fixwatch {
namespace {

using test::Sealed;

// The names of the C/N0 chart's lines that have points, and how many points each has.
std::map<QString, int> DrawnLines(QChart* chart)
{
    std::map<QString, int> drawn;
    for (QAbstractSeries* s : chart->series())
        if (auto* line = qobject_cast<QLineSeries*>(s); line && line->count() > 0)
            drawn[line->name()] += static_cast<int>(line->count());
    return drawn;
}

struct HistoryBands : ::testing::Test {
    EpochHistory history{100};
    SignalHistory signalHistory;
    HistoryView view{[this]() -> const EpochHistory& { return history; }};

    HistoryBands()
    {
        view.SetSignals([this]() -> const SignalHistory& { return signalHistory; });
    }

    // Ten epochs a second apart with the sky these sentences make; `perBand` as All GNSS keeps.
    void Epochs(std::initializer_list<const char*> lines, bool perBand)
    {
        Sky sky;
        for (const char* line : lines)
            sky.Feed(Sealed(line));
        for (int t = 0; t < 10; ++t) {
            Epoch e;
            e.timeMs = (43200 + t) * 1000;
            e.date = UtcDate{2026, 12, 9};
            e.cn0Mean = 40;
            history.Push(e);
            signalHistory.AddEpoch(*EpochSeconds(e), sky.Satellites(), perBand);
        }
    }
    QChart* Signal() const { return view.Chart(HistoryView::kSignalChart); }
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
    const auto drawn = DrawnLines(Signal());
    EXPECT_EQ(drawn.count("L1"), 1u);
    EXPECT_EQ(drawn.count("L5"), 1u);
    EXPECT_EQ(drawn.count("L2"), 0u) << "a band the receiver does not send has no line";
    EXPECT_EQ(drawn.count("G27 L1") + drawn.count("G27 L5"), 2u);
    EXPECT_EQ(drawn.count("G27"), 0u);
    EXPECT_EQ(view.FollowedSatellites(), QStringList({"G27"}));
    // The means: L1 (41 + 37) / 2, L5 G27's alone.
    for (QAbstractSeries* s : Signal()->series())
        if (auto* line = qobject_cast<QLineSeries*>(s); line && line->count() > 0) {
            if (line->name() == "L1") {
                EXPECT_DOUBLE_EQ(line->at(0).y(), 39);
            }
            if (line->name() == "L5" || line->name() == "G27 L5") {
                EXPECT_DOUBLE_EQ(line->at(0).y(), 35) << line->name().toStdString();
            }
        }
    // Every line drawn has its entry in the legend.
    QStringList legend;
    for (const auto& entry : view.Legend(HistoryView::kSignalChart)->Entries())
        legend << entry.label;
    for (const char* name : {"Mean", "L1", "L5", "G27 L1", "G27 L5"})
        EXPECT_TRUE(legend.contains(name)) << name << " in " << legend.join(",").toStdString();

    view.ToggleSatellite(GnssSystem::GPS, 27, QStringLiteral("G27"));
    view.Redraw();
    EXPECT_EQ(DrawnLines(Signal()).count("G27 L5"), 0u) << "a second click takes every band away";
}

TEST_F(HistoryBands, OneBandOrTheDefaultReadingAddsNoBandLines)
{
    // L1 alone: the band's mean is the Mean line already.
    view.SetAllSystems(true);
    Epochs({"$GPGSV,1,1,02,27,45,120,41,08,30,200,37,1", "$GPGSA,A,3,27,08,,,,,,,,,,,1.5,0.9,1.2,1"}, true);
    view.ToggleSatellite(GnssSystem::GPS, 27, QStringLiteral("G27"));
    view.Redraw();
    auto drawn = DrawnLines(Signal());
    EXPECT_EQ(drawn.count("L1"), 0u);
    EXPECT_EQ(drawn.count("G27 L1"), 1u);

    // Without All GNSS: no band lines, and the satellite's strongest signal under its name.
    history.Clear();
    signalHistory.Clear();
    view.SetAllSystems(false);
    Epochs(kDualBand, false);
    view.Redraw();
    drawn = DrawnLines(Signal());
    EXPECT_EQ(drawn.count("L1") + drawn.count("L5") + drawn.count("G27 L1") + drawn.count("G27 L5"), 0u);
    EXPECT_EQ(drawn["G27"], 10) << "one point an epoch, its strongest signal";
}

} // namespace
} // namespace fixwatch
