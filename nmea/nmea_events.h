#pragma once

#include <cstdint>
#include <string>

namespace fixwatch {

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-parameter"

// The interpreter's outgoing interface: one operation per event, declared in the order of
// the event list. Every event has an empty default body, so a receiver overrides only what
// it needs and any other event is simply dropped. Texts are ISO-8859-1 byte strings.
// The texts are taken by value so that an override can keep them; the default bodies ignore them.
// NOLINTBEGIN(performance-unnecessary-value-param)
class NmeaEvents {
public:
    virtual ~NmeaEvents() = default;

    virtual void PositionReceived(std::string latitude, std::string longitude) {}
    virtual void TimeChanged(std::string sTime) {}
    virtual void TimeChangedExtendex(std::string sTime) {}
    virtual void DateChanged(std::string satDate) {}
    virtual void BearingReceived(double bearing) {}
    virtual void SpeedReceived(double speed) {}
    virtual void FixObtained() {}
    virtual void FixLost() {}
    virtual void SatelliteReceived(std::int16_t satelliteNumber, std::int16_t pseudoRandomCode,
                                   std::int16_t azimuth, std::int16_t elevation,
                                   std::int16_t signalToNoiseRatio) {}
    virtual void HDOPReceived(double value) {}
    virtual void VDOPReceived(double value) {}
    virtual void PDOPReceived(double value) {}
    virtual void PositionFixReceived(std::string positionFix) {}
    virtual void SatellitesUsedReceived(std::int16_t satellitesUsed) {}
    virtual void AltitudeReceived(double altitude) {}
    virtual void AltitudeUnitsReceived(std::string altitudeUnits) {}
    virtual void GeoidSeparationReceived(double geoidSeparation) {}
    virtual void GeoidSeparationUnitsReceived(std::string geoidSeparationUnits) {}
    virtual void DGPSageReceived(std::int16_t dGPSage) {}
    virtual void DGPSstationIDReceived(std::string dGPSstationID) {}
    virtual void AutoManModeReceived(std::string autoManMode) {}
    virtual void Mode3DReceived(std::string mode3D) {}
    virtual void Ch01SatReceived(std::int16_t ch01Sat) {}
    virtual void Ch02SatReceived(std::int16_t ch02Sat) {}
    virtual void Ch03SatReceived(std::int16_t ch03Sat) {}
    virtual void Ch04SatReceived(std::int16_t ch04Sat) {}
    virtual void Ch05SatReceived(std::int16_t ch05Sat) {}
    virtual void Ch06SatReceived(std::int16_t ch06Sat) {}
    virtual void Ch07SatReceived(std::int16_t ch07Sat) {}
    virtual void Ch08SatReceived(std::int16_t ch08Sat) {}
    virtual void Ch09SatReceived(std::int16_t ch09Sat) {}
    virtual void Ch10SatReceived(std::int16_t ch10Sat) {}
    virtual void Ch11SatReceived(std::int16_t ch11Sat) {}
    virtual void Ch12SatReceived(std::int16_t ch12Sat) {}
    virtual void SatellitesInViewReceived(std::int16_t satellitesInView) {}
    virtual void TrueTrack(std::string Ttrack) {}
    virtual void MagneticTrack(std::string Mtrack) {}
    virtual void SpeedReceivedKnots(double speed_knots) {}
    virtual void SpeedReceivedKmh(double speed_kmh) {}
    virtual void SpeedReceivedKnotsFull(std::string speed_knotsFull) {}
    virtual void SpeedReceivedKmhFull(std::string speed_kmhFull) {}
};
// NOLINTEND(performance-unnecessary-value-param)

#pragma GCC diagnostic pop

} // namespace fixwatch
