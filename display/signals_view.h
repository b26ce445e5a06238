#pragma once

#include "gnss_system.h"
#include "sky_satellites.h"
#include "sky_signals.h"

#include <QString>
#include <QWidget>

#include <optional>
#include <vector>

class QComboBox;
class QTimer;

namespace fixwatch {

class SignalBars;

// One satellite's group of bars on the Signals tab.
struct SignalGroup {
    SatelliteKey key;
    QString label; // "G27", as on the sky plot
    bool used = false;
    // Per band shown (SignalsView::Bands()), the strongest C/N0 of the satellite's signals in
    // that band; empty where the satellite has no tracked signal in it.
    std::vector<std::optional<int>> cn0;
    QString toolTip; // every signal listed, by name, with its value
};

// The Signals tab: for each satellite in view a group of bars, one per band the receiver
// sends (L1, L2, L5, ...), their height the C/N0 on a 0 to 60 dB-Hz scale and their colour
// the band's, so that a missing band shows as an empty slot at once. Satellites in system
// then number order, those used in the fix marked; a filter keeps one system. The bars are
// rebuilt at most twice a second and only while the tab is shown.
class SignalsView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kRedrawMs = 500;
    static constexpr int kScaleTop = 60; // dB-Hz

    explicit SignalsView(QWidget* parent = nullptr);

    // The satellites to show at the next redraw.
    void ShowSatellites(const std::vector<SkySatellite>& satellites);
    // Rebuilds the bars now, as the timer would; for tests and screenshots.
    void Redraw();

    // What the bars show since the last redraw.
    const std::vector<SignalBand>& Bands() const { return bands_; }
    const std::vector<SignalGroup>& Groups() const { return groups_; }

    QComboBox* Cmb_SignalsSystem = nullptr; // "All systems", then one system
    SignalBars* Img_Signals = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void Cmb_SignalsSystem_Click();

    std::vector<SkySatellite> satellites_;
    std::vector<SignalBand> bands_;
    std::vector<SignalGroup> groups_;
    QTimer* redraw_ = nullptr;
    bool dirty_ = true;
};

// The colour of a band's bars: mid luminance, readable on a light base and a dark one.
QColor BandColor(SignalBand band);

// The bars themselves, painted, with their scale, the satellites' names and the legend.
class SignalBars : public QWidget {
    Q_OBJECT
public:
    explicit SignalBars(QWidget* parent = nullptr);

    void SetBars(const std::vector<SignalBand>* bands, const std::vector<SignalGroup>* groups);
    // The group under a point of the widget, or -1.
    int GroupAt(QPoint point) const;

    QSize sizeHint() const override { return {640, 320}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    struct Layout;
    Layout Arrange() const;

    const std::vector<SignalBand>* bands_ = nullptr;
    const std::vector<SignalGroup>* groups_ = nullptr;
};

} // namespace fixwatch
