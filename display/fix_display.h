#pragma once

#include "coordinate_text.h"
#include "display_widgets.h"
#include "fix_texts.h"
#include "gnss_system.h"
#include "nmea_events.h"

#include <QLocale>
#include <QString>

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

class QProgressBar;
class QWidget;

namespace fixwatch {

// Writes the interpreter's events into the window's labels and bars, one handler per
// event (gps_ + the event's name), and clears them. Each handler sets its label and
// repaints it at once, so a value is visible before the window's event loop runs again;
// the date alone waits for the next ordinary paint. A label that already shows the text is
// left alone. Texts from the interpreter are ISO-8859-1 bytes and are shown as such, as
// plain text (the window makes every value label a plain-text one). The displayed texts
// are the current fix: nothing of it is stored anywhere else.
class FixDisplay : public NmeaEvents {
public:
    // Numbers are written with the decimal separator of `locale`, no grouping.
    explicit FixDisplay(const DisplayWidgets& widgets, const QLocale& locale = QLocale::system());

    void gps_TimeChanged(const std::string& sTime);
    void gps_DateChanged(const std::string& satDate);
    void gps_PositionReceived(const std::string& latitude, const std::string& longitude);
    void gps_AltitudeReceived(double altitude);
    void gps_AltitudeUnitsReceived(const std::string& altitudeUnits);
    void gps_SpeedReceivedKmh(double Velocita);
    void gps_SpeedReceivedKnots(double Velocita);
    void gps_BearingReceived(double bearing);
    void gps_GeoidSeparationReceived(double geoidSeparation);
    void gps_GeoidSeparationUnitsReceived(const std::string& geoidSeparationUnits);
    void gps_TrueTrack(const std::string& Ttrack);
    void gps_MagneticTrack(const std::string& Mtrack);

    void gps_SatellitesInViewReceived(std::int16_t satellitesInView);
    void gps_SatellitesUsedReceived(std::int16_t satellitesUsed);
    void gps_PDOPReceived(double value);
    void gps_HDOPReceived(double value);
    void gps_VDOPReceived(double value);
    void gps_FixLost();
    void gps_FixObtained();
    void gps_AutoManModeReceived(const std::string& autoManMode);
    void gps_Mode3DReceived(const std::string& mode3D);
    void gps_PositionFixReceived(const std::string& positionFix);
    void gps_DGPSageReceived(std::int16_t dGPSage);
    void gps_DGPSstationIDReceived(const std::string& dGPSstationID);

    void gps_SatelliteReceived(std::int16_t satelliteNumber, std::int16_t pseudoRandomCode,
                               std::int16_t azimuth, std::int16_t elevation,
                               std::int16_t signalToNoiseRatio);
    void gps_Ch01SatReceived(std::int16_t ch01Sat) { ChannelReceived(0, ch01Sat); }
    void gps_Ch02SatReceived(std::int16_t ch02Sat) { ChannelReceived(1, ch02Sat); }
    void gps_Ch03SatReceived(std::int16_t ch03Sat) { ChannelReceived(2, ch03Sat); }
    void gps_Ch04SatReceived(std::int16_t ch04Sat) { ChannelReceived(3, ch04Sat); }
    void gps_Ch05SatReceived(std::int16_t ch05Sat) { ChannelReceived(4, ch05Sat); }
    void gps_Ch06SatReceived(std::int16_t ch06Sat) { ChannelReceived(5, ch06Sat); }
    void gps_Ch07SatReceived(std::int16_t ch07Sat) { ChannelReceived(6, ch07Sat); }
    void gps_Ch08SatReceived(std::int16_t ch08Sat) { ChannelReceived(7, ch08Sat); }
    void gps_Ch09SatReceived(std::int16_t ch09Sat) { ChannelReceived(8, ch09Sat); }
    void gps_Ch10SatReceived(std::int16_t ch10Sat) { ChannelReceived(9, ch10Sat); }
    void gps_Ch11SatReceived(std::int16_t ch11Sat) { ChannelReceived(10, ch11Sat); }
    void gps_Ch12SatReceived(std::int16_t ch12Sat) { ChannelReceived(11, ch12Sat); }

    // Blanks channel column slot + 1: number, azimuth, elevation, bar at 0, tooltip "0".
    void ClearSatelliteSlot(std::int16_t slot);
    // Empties every value label and returns the channel columns to "01" ... "12" with
    // empty values and bars; the unit labels keep their texts.
    void ClearDisplay();

    // With every satellite system read, the twelve channel columns, "In view" and the channel
    // status come from the sky (ShowSky) instead of the GSV and GSA events, and a receiver
    // that sends RMC but no VTG shows RMC's speed. Off by default.
    void SetAllSystems(bool on) { allSystems_ = on; }
    bool AllSystems() const { return allSystems_; }
    // The columns show the twelve satellites with the strongest signal (ties by system, then
    // number), in system then number order, each number after its system's letter ("G5");
    // channel n says whether the satellite in column n is used, once `usedKnown` (a GSA
    // came), and is blank before; "In view" is the sky's total.
    void ShowSky(const std::vector<SkySatellite>& satellites, bool usedKnown = true);
    // With every system read, "In use" is the whole solution's count, which the window
    // works out from all the receiver says (a single system's GGA count is not shown).
    void ShowSatellitesUsed(int satellitesUsed);

    // While a batch is open (one poll's worth of sentences), the handlers set their texts
    // and every label or bar that changed is painted once when the batch closes, instead
    // of once per event; outside a batch each is painted at once. Batches nest.
    void BeginBatch();
    void EndBatch();

    // How the Position tab shows the position, the speeds, the altitude and the geoid
    // separation, and their unit captions; Sent and Metric (the defaults) show the texts as
    // specified. What CurrentFixText returns never depends on them.
    void SetCoordinateFormat(CoordinateFormat format);
    void SetUnits(UnitSystem units);
    CoordinateFormat Coordinates() const { return texts_.Coordinates(); }
    UnitSystem Units() const { return texts_.Units(); }
    // The current fix text of Lab_Posizione(index) as the default display shows it: what the
    // data logger and "Save current position" record.
    QString CurrentFixText(std::size_t index) const { return texts_.Recorded(index); }

private:
    // The interpreter's events, handed to the handlers above.
    void PositionReceived(std::string latitude, std::string longitude) override;
    void TimeChanged(std::string sTime) override;
    void DateChanged(std::string satDate) override;
    void BearingReceived(double bearing) override;
    void FixObtained() override;
    void FixLost() override;
    void SatelliteReceived(std::int16_t satelliteNumber, std::int16_t pseudoRandomCode,
                           std::int16_t azimuth, std::int16_t elevation,
                           std::int16_t signalToNoiseRatio) override;
    void HDOPReceived(double value) override;
    void VDOPReceived(double value) override;
    void PDOPReceived(double value) override;
    void PositionFixReceived(std::string positionFix) override;
    void SatellitesUsedReceived(std::int16_t satellitesUsed) override;
    void AltitudeReceived(double altitude) override;
    void AltitudeUnitsReceived(std::string altitudeUnits) override;
    void GeoidSeparationReceived(double geoidSeparation) override;
    void GeoidSeparationUnitsReceived(std::string geoidSeparationUnits) override;
    void DGPSageReceived(std::int16_t dGPSage) override;
    void DGPSstationIDReceived(std::string dGPSstationID) override;
    void AutoManModeReceived(std::string autoManMode) override;
    void Mode3DReceived(std::string mode3D) override;
    // The channel events reach the handlers unless the sky draws the columns.
    // clang-format off
    void Ch01SatReceived(std::int16_t ch01Sat) override { if (!allSystems_) gps_Ch01SatReceived(ch01Sat); }
    void Ch02SatReceived(std::int16_t ch02Sat) override { if (!allSystems_) gps_Ch02SatReceived(ch02Sat); }
    void Ch03SatReceived(std::int16_t ch03Sat) override { if (!allSystems_) gps_Ch03SatReceived(ch03Sat); }
    void Ch04SatReceived(std::int16_t ch04Sat) override { if (!allSystems_) gps_Ch04SatReceived(ch04Sat); }
    void Ch05SatReceived(std::int16_t ch05Sat) override { if (!allSystems_) gps_Ch05SatReceived(ch05Sat); }
    void Ch06SatReceived(std::int16_t ch06Sat) override { if (!allSystems_) gps_Ch06SatReceived(ch06Sat); }
    void Ch07SatReceived(std::int16_t ch07Sat) override { if (!allSystems_) gps_Ch07SatReceived(ch07Sat); }
    void Ch08SatReceived(std::int16_t ch08Sat) override { if (!allSystems_) gps_Ch08SatReceived(ch08Sat); }
    void Ch09SatReceived(std::int16_t ch09Sat) override { if (!allSystems_) gps_Ch09SatReceived(ch09Sat); }
    void Ch10SatReceived(std::int16_t ch10Sat) override { if (!allSystems_) gps_Ch10SatReceived(ch10Sat); }
    void Ch11SatReceived(std::int16_t ch11Sat) override { if (!allSystems_) gps_Ch11SatReceived(ch11Sat); }
    void Ch12SatReceived(std::int16_t ch12Sat) override { if (!allSystems_) gps_Ch12SatReceived(ch12Sat); }
    // clang-format on
    void SatellitesInViewReceived(std::int16_t satellitesInView) override;
    void SpeedReceived(double speed) override;
    void TrueTrack(std::string Ttrack) override;
    void MagneticTrack(std::string Mtrack) override;
    void SpeedReceivedKnots(double speed_knots) override;
    void SpeedReceivedKmh(double speed_kmh) override;

    void ChannelReceived(std::size_t channel, std::int16_t satellite);
    // Lab_Posizione(index) and Lab_PosizioneUM(index) as the chosen format and units show them.
    void ShowFixText(std::size_t index, bool repaintNow = true);
    void ShowUnitCaption(std::size_t index);

    // Sets a label's text when it differs and paints it (now, or at the end of the batch).
    void Show(QLabel* label, const QString& text, bool repaintNow = true);
    void SetBar(QProgressBar* bar, int level, const QString& tooltip);
    void Paint(QWidget* widget);

    // A bar's level and the tooltip that says what was received.
    struct Bar {
        int level = 0;
        QString tooltip;
        bool operator==(const Bar&) const = default;
    };
    static void SetBarNow(QProgressBar* bar, const Bar& shown);
    static Bar Shown(QProgressBar* bar);
    // What a widget shows, or will show at the end of the open batch.
    QString Text(QLabel* label) const;
    Bar Level(QProgressBar* bar) const;
    void ApplyPending();

    DisplayWidgets w_;
    QString decimalPoint_;
    int batchDepth_ = 0;
    bool allSystems_ = false;
    bool vtgSpeedSeen_ = false;       // a VTG speed arrived since the last clearing
    std::vector<QWidget*> unpainted_; // changed during the open batch
    std::unordered_map<QLabel*, QString> pendingTexts_;
    std::unordered_map<QProgressBar*, Bar> pendingBars_;
    FixTexts texts_;
};

} // namespace fixwatch
