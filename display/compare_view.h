#pragma once

#include "chart_legend.h"

#include <QWidget>

#include <array>
#include <memory>
#include <vector>

class QCategoryAxis;
class QChart;
class QLabel;
class QScatterSeries;
class QStandardItemModel;
class QTabWidget;
class QTableView;
class QTimer;
class QValueAxis;

namespace fixwatch {

class LiveComparison;
class SegmentedLine;

// The figures of the Compare tab: receiver B against receiver A per signal, B's offset from
// A, and each receiver's availability. Redrawn at most twice a second and only while shown.
class CompareView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kRedrawMs = 500;
    static constexpr int kSignalsPage = 0;
    static constexpr int kPositionPage = 1;
    static constexpr int kAvailabilityPage = 2;
    // Per line and redraw; more is finer than pixels.
    static constexpr std::size_t kMaxPoints = 1500;
    // Epochs further apart than this are drawn with a gap between them.
    static constexpr double kGapSeconds = 3.0;

    // Columns of the signal table and of the per-band summary.
    enum SignalColumn { kSatellite,
                        kBand,
                        kCn0A,
                        kCn0B,
                        kDifference };
    enum BandColumn { kBandName,
                      kLastMinute,
                      kSinceStart,
                      kCompared };
    // Rows of the availability figures.
    enum AvailabilityRow { kTimeToFirstFix,
                           kSatellites,
                           kFixOnly };

    explicit CompareView(QWidget* parent = nullptr);
    ~CompareView() override;

    // The comparison to show; it must outlive the view, or be replaced first (nullptr: none).
    void SetComparison(const LiveComparison* comparison);
    // The comparison changed: shown at the next redraw.
    void MarkChanged();
    // Redraws now, as the timer would; for tests and screenshots.
    void Redraw();

    // What the view shows since the last redraw.
    const QStandardItemModel* SignalsModel() const { return signals_; }
    const QStandardItemModel* BandsModel() const { return bands_; }
    QChart* OffsetChart() const { return offsetChart_; }
    QChart* ScatterChart() const { return scatterChart_; }
    QChart* QualityChart() const { return qualityChart_; }
    const QScatterSeries* ScatterSeries() const { return scatter_; }
    // Points drawn on the time charts: east, north and up; then A's and B's fix quality.
    qsizetype OffsetPoints(int component) const;
    qsizetype QualityPoints(int receiver) const;

    QTabWidget* Tab_Compare = nullptr;
    QLabel* Lab_CompareEmpty = nullptr;
    QLabel* Lab_CompareSignalsTime = nullptr;
    QTableView* Tbl_CompareSignals = nullptr;
    QTableView* Tbl_CompareBands = nullptr;
    QLabel* Lab_CompareOnlyA = nullptr;
    QLabel* Lab_CompareOnlyB = nullptr;
    QLabel* Lab_ComparePosition = nullptr;
    // Per availability row, A's and B's figures.
    std::array<std::array<QLabel*, 2>, 3> Lab_CompareAvailability{};

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QWidget* BuildSignalsPage();
    QWidget* BuildPositionPage();
    QWidget* BuildAvailabilityPage();
    // Only the page in sight is redrawn at the timer's ticks; the others when shown.
    static constexpr int kPages = 3; // Signals, Position, Availability
    void RedrawShownPage();
    void RedrawPage(int page);
    void RedrawSignals();
    void RedrawPosition();
    void RedrawAvailability();
    void FollowPalette();

    const LiveComparison* comparison_ = nullptr;
    QStandardItemModel* signals_ = nullptr;
    QStandardItemModel* bands_ = nullptr;
    QChart* offsetChart_ = nullptr;
    QCategoryAxis* offsetTime_ = nullptr;
    QValueAxis* offsetMetres_ = nullptr;
    std::vector<std::unique_ptr<SegmentedLine>> offsetLines_; // east, north, up
    QChart* scatterChart_ = nullptr;
    QValueAxis* scatterEast_ = nullptr;
    QValueAxis* scatterNorth_ = nullptr;
    QScatterSeries* scatter_ = nullptr;
    QScatterSeries* scatterMean_ = nullptr;
    QChart* qualityChart_ = nullptr;
    QCategoryAxis* qualityTime_ = nullptr;
    std::vector<std::unique_ptr<SegmentedLine>> qualityLines_; // A, B
    std::vector<ChartLegend*> legends_;
    QTimer* redraw_ = nullptr;
    std::array<bool, kPages> dirty_{true, true, true};
};

} // namespace fixwatch
