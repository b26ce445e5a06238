#pragma once

#include "nmea_events.h"

#include <string>
#include <string_view>

namespace fixwatch {

// A receiver that writes every event as one line: the event name, then each parameter,
// separated by TAB. Texts go out as UTF-8, Integers in decimal, Doubles in their shortest
// round-trip form. Output accumulates in `out` so the caller decides when to write it.
class EventPrinter : public NmeaEvents {
public:
    explicit EventPrinter(std::string& out) : out_(out) {}

    void PositionReceived(std::string latitude, std::string longitude) override;
    void TimeChanged(std::string sTime) override;
    void TimeChangedExtendex(std::string sTime) override;
    void DateChanged(std::string satDate) override;
    void BearingReceived(double bearing) override;
    void SpeedReceived(double speed) override;
    void FixObtained() override;
    void FixLost() override;
    void SatelliteReceived(std::int16_t satelliteNumber, std::int16_t pseudoRandomCode, std::int16_t azimuth,
                           std::int16_t elevation, std::int16_t signalToNoiseRatio) override;
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
    void Ch01SatReceived(std::int16_t v) override { Channel("Ch01SatReceived", v); }
    void Ch02SatReceived(std::int16_t v) override { Channel("Ch02SatReceived", v); }
    void Ch03SatReceived(std::int16_t v) override { Channel("Ch03SatReceived", v); }
    void Ch04SatReceived(std::int16_t v) override { Channel("Ch04SatReceived", v); }
    void Ch05SatReceived(std::int16_t v) override { Channel("Ch05SatReceived", v); }
    void Ch06SatReceived(std::int16_t v) override { Channel("Ch06SatReceived", v); }
    void Ch07SatReceived(std::int16_t v) override { Channel("Ch07SatReceived", v); }
    void Ch08SatReceived(std::int16_t v) override { Channel("Ch08SatReceived", v); }
    void Ch09SatReceived(std::int16_t v) override { Channel("Ch09SatReceived", v); }
    void Ch10SatReceived(std::int16_t v) override { Channel("Ch10SatReceived", v); }
    void Ch11SatReceived(std::int16_t v) override { Channel("Ch11SatReceived", v); }
    void Ch12SatReceived(std::int16_t v) override { Channel("Ch12SatReceived", v); }
    void SatellitesInViewReceived(std::int16_t satellitesInView) override;
    void TrueTrack(std::string Ttrack) override;
    void MagneticTrack(std::string Mtrack) override;
    void SpeedReceivedKnots(double speed_knots) override;
    void SpeedReceivedKmh(double speed_kmh) override;
    void SpeedReceivedKnotsFull(std::string speed_knotsFull) override;
    void SpeedReceivedKmhFull(std::string speed_kmhFull) override;

private:
    void Channel(std::string_view name, std::int16_t satellite);
    void Name(std::string_view name) { out_.append(name); }
    void Text(const std::string& latin1);
    // TAB, the value and the line's end.
    void IntegerLine(std::int16_t value);
    void NumberLine(double value);
    void End() { out_ += '\n'; }
    // What was composed in [begin, end); by length, which costs less than by iterators.
    void Append(const char* begin, const char* end) { out_.append(begin, static_cast<std::size_t>(end - begin)); }

    std::string& out_;
};

// ISO-8859-1 bytes to UTF-8.
std::string Latin1ToUtf8(const std::string& latin1);

} // namespace fixwatch
