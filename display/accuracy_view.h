#pragma once

#include "accuracy_report.h"
#include "accuracy_samples.h"

#include <QElapsedTimer>
#include <QWidget>

#include <functional>
#include <optional>

class QChart;
class QComboBox;
class QLabel;
class QLineEdit;
class QLineSeries;
class QPushButton;
class QScatterSeries;
class QTimer;
class QValueAxis;

namespace fixwatch {

// The Accuracy tab: how well a receiver that stands still holds its position. A scatter of
// the fixes in metres east and north of a reference (their running mean, or a point typed in
// decimal degrees), on equal scales, with the CEP50 and CEP95 circles, and beside it the
// figures over the fixes of the chosen window. Telling the view of a new fix costs a flag;
// the chart and the figures are rebuilt at most four times a second, only while shown, and
// no more often than keeps them to a twentieth of the time when a day of fixes is kept.
class AccuracyView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kRedrawMs = 250;
    static constexpr int kMaxScatterPoints = 4000; // drawn per redraw; the figures use every fix

    // `samples` gives the fixes to draw (the store may be replaced on a reset).
    explicit AccuracyView(std::function<const AccuracySamples&()> samples, QWidget* parent = nullptr);

    // A new fix or epoch is in the samples (or they were emptied): redraw at the next tick.
    void SamplesChanged() { dirty_ = true; }
    // Rebuilds the chart and the figures now, as the timer would; for tests and screenshots.
    void Redraw();

    // The report of the last redraw; nothing before the first fix.
    const std::optional<AccuracyReport>& Report() const { return report_; }
    QChart* Chart() const { return chart_; }

    QComboBox* Cmb_AccuracyWindow = nullptr;
    QLineEdit* Txt_ReferenceLatitude = nullptr;
    QLineEdit* Txt_ReferenceLongitude = nullptr;
    QPushButton* Cmd_UseMean = nullptr;
    QLabel* Lbl_ReferenceError = nullptr;    // why a typed reference is not used
    QLabel* Lbl_AccuracyReference = nullptr; // what the offsets are measured from
    QLabel* Lbl_AccuracyFixes = nullptr;
    QLabel* Lbl_AccuracyMeanLatitude = nullptr;
    QLabel* Lbl_AccuracyMeanLongitude = nullptr;
    QLabel* Lbl_AccuracyMeanAltitude = nullptr;
    QLabel* Lbl_AccuracyCep50 = nullptr;
    QLabel* Lbl_AccuracyCep95 = nullptr;
    QLabel* Lbl_Accuracy2Drms = nullptr;
    QLabel* Lbl_AccuracyR95Altitude = nullptr;
    QLabel* Lbl_AccuracySdEast = nullptr;
    QLabel* Lbl_AccuracySdNorth = nullptr;
    QLabel* Lbl_AccuracySdUp = nullptr;
    QLabel* Lbl_AccuracyGstLatitude = nullptr;
    QLabel* Lbl_AccuracyGstLongitude = nullptr;
    QLabel* Lbl_AccuracyGstAltitude = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Cmb_AccuracyWindow_Click();
    void Txt_Reference_Change();
    void Cmd_UseMean_Click();
    // The typed reference; nothing (and the reason in place) when it is empty or unreadable.
    std::optional<ReferencePoint> TypedReference();
    void ShowFigures(const GstSigmaMeans& sigmas);
    void ApplyEqualScales();
    void FollowPalette();
    void Changed();

    std::function<const AccuracySamples&()> samples_;
    std::optional<AccuracyReport> report_;
    QChart* chart_ = nullptr;
    QValueAxis* east_ = nullptr;
    QValueAxis* north_ = nullptr;
    QScatterSeries* fixes_ = nullptr;
    QScatterSeries* reference_ = nullptr;
    QScatterSeries* mean_ = nullptr;
    QLineSeries* cep50_ = nullptr;
    QLineSeries* cep95_ = nullptr;
    QTimer* redraw_ = nullptr;
    double extent_ = 0.1; // metres from the reference that the chart must show
    bool dirty_ = true;
    QElapsedTimer sinceRedraw_;
    qint64 holdMs_ = 0; // the timer's wait after a redraw that took long
};

// A latitude or longitude typed in decimal degrees ("45.0625", "-7.5"), within ±`limit`;
// nothing for anything else.
std::optional<double> ReadDecimalDegrees(const QString& text, double limit);

} // namespace fixwatch
