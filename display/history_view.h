#pragma once

#include "chart_legend.h"
#include "epochs.h"
#include "signal_history.h"

#include <QWidget>

#include <QColor>

#include <functional>
#include <memory>
#include <vector>

class QChart;
class QComboBox;
class QTimer;

namespace fixwatch {

class ChartLine;

// The History tab: what the receiver said over the last 1, 10 or 60 minutes, on five charts
// that share one UTC time axis (satellites, C/N0, DOPs, fix band, altitude). Epochs are read
// from the history at redraw time, so telling the view of a new epoch costs a flag; the
// charts are rebuilt at most four times a second and only while the tab is shown.
class HistoryView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kSatellitesChart = 0;
    static constexpr int kSignalChart = 1;
    static constexpr int kDopChart = 2;
    static constexpr int kFixChart = 3;
    static constexpr int kAltitudeChart = 4;
    static constexpr int kRedrawMs = 250;
    // Epochs further apart than this (seconds) are drawn with a gap between them.
    static constexpr double kGapSeconds = 3.0;

    // `history` gives the epochs to draw (the model may be replaced on a reset).
    explicit HistoryView(std::function<const EpochHistory&()> history, QWidget* parent = nullptr);
    ~HistoryView() override;

    // A new epoch is in the history (or it was emptied): redraw at the next tick if shown.
    void EpochsChanged() { dirty_ = true; }
    // With All GNSS the satellite chart has a line per system, without it the totals.
    void SetAllSystems(bool allSystems);
    // The satellites' signals, for the C/N0 of single satellites on the C/N0 chart.
    void SetSignals(std::function<const SignalHistory&()> signalHistory) { signals_ = std::move(signalHistory); }
    // Adds this satellite's C/N0 to the C/N0 chart as a line named `name`, or takes it away
    // when it is there already. With All GNSS the satellite has a line per band it tracks,
    // named `name` and the band ("G27 L5").
    void ToggleSatellite(GnssSystem system, int number, const QString& name);
    // The satellites on the C/N0 chart, by their names.
    QStringList FollowedSatellites() const;
    // Rebuilds the charts now, as the timer would; for tests and screenshots.
    void Redraw();

    QComboBox* Cmb_HistoryWindow = nullptr;
    QChart* Chart(int index) const { return charts_[static_cast<std::size_t>(index)]; }
    // The legend beside a chart: an entry for every kind of line drawn on it.
    const ChartLegend* Legend(int index) const { return legends_[static_cast<std::size_t>(index)]; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Cmb_HistoryWindow_Click();
    void BuildSatelliteLines();
    void FollowPalette();
    // Lines up the five plots' left and right edges.
    void LineUpPlots();
    std::vector<ChartLegend::Entry> LegendEntries(int chart) const;

    std::function<const EpochHistory&()> history_;
    std::function<const SignalHistory&()> signals_;
    struct Followed {
        std::uint16_t key;
        QString name;
        QColor colour;
        // One line per band seen (SignalHistory::Sample::band), made when its first sample is.
        std::vector<std::pair<std::uint8_t, std::unique_ptr<ChartLine>>> lines;
        ChartLine& Line(HistoryView& view, std::uint8_t band);
    };
    // The mean C/N0 of the used satellites per band, drawn with All GNSS when the receiver
    // sends more than one band; in SignalBand order.
    std::vector<std::unique_ptr<ChartLine>> bandLines_;
    void DrawBandMeans(std::optional<double> newest, double span);
    std::vector<Followed> followed_;
    std::vector<QChart*> charts_;
    std::vector<ChartLegend*> legends_;
    std::vector<std::unique_ptr<ChartLine>> satelliteLines_;
    std::vector<std::unique_ptr<ChartLine>> lines_; // the other charts' lines
    QTimer* redraw_ = nullptr;
    bool dirty_ = true;
    bool allSystems_ = false;
    std::vector<double> labelWidths_; // of each chart's widest value label
};

// A value axis's range and tick interval.
struct ValueTicks {
    double low, high, interval;
};
// Ticks for values within [low, high] that no label repeats: the interval is 1, 2 or 5 times
// a power of ten and at least `resolution` (what the labels show: 1 for counts), and the
// range is widened to whole intervals; two to four ticks, as the charts are low.
ValueTicks ReadableTicks(double low, double high, double resolution);

// The absolute UTC time of an epoch in seconds (days since 1970 when a date is known, the
// time of day alone otherwise); nothing without a time.
std::optional<double> EpochSeconds(const Epoch& epoch);

// The band an epoch's fix falls in: 0 no fix, 1 2D, 2 3D, 3 DGPS, 4 RTK float, 5 RTK fixed;
// nothing when the epoch said neither a quality nor a mode.
std::optional<int> FixBand(const Epoch& epoch);

} // namespace fixwatch
