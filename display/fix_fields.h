#pragma once

#include <cstddef>

namespace fixwatch {

// What each element of the fix's label arrays shows. The values are the elements' indexes,
// which are part of their names ("Lab_Posizione(3)") and never change; code and tests say
// which element they mean by these names, never by the number.

// Lab_Posizione: the current fix texts (and FixTexts' indexes).
enum FixField : std::size_t {
    kTime = 0,
    kLatitude = 1,
    kLongitude = 2,
    kAltitude = 3,
    kSpeedKmh = 4,
    kSpeedKnots = 5,
    kBearing = 6,
    kDate = 7,
    kGeoidSeparation = 8,
    kFixFieldCount = 9,
};

// Lab_PosizioneUM: the unit captions beside the fix texts.
enum FixUnitField : std::size_t {
    kAltitudeUnit = 0,
    kKnotsUnit = 1,
    kKmhUnit = 2,
    kGeoidSeparationUnit = 3,
    kFixUnitFieldCount = 4,
};

// Lab_PosizioneInfo: the quality of the fix, and the two tracks.
enum FixInfoField : std::size_t {
    kSatellitesInView = 0,
    kSatellitesUsed = 1,
    kPdop = 2,
    kHdop = 3,
    kVdop = 4,
    kFixStatus = 5,
    kAutoManMode = 6,
    kMode3D = 7,
    kPositionFix = 8,
    kDgpsAge = 9,
    kDgpsStation = 10,
    kTrueTrack = 11,
    kMagneticTrack = 12,
    kFixInfoFieldCount = 13,
};

} // namespace fixwatch
