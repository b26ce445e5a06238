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

// Lab_Posizione1: the captions of the current fix texts.
enum FixCaption : std::size_t {
    kTimeCaption = 0,
    kLatitudeCaption = 1,
    kLongitudeCaption = 2,
    kAltitudeCaption = 3,
    kSpeedCaption = 4,
    kDirectionCaption = 5,
    kDateCaption = 6,
    kFixCaptionCount = 7,
};

// Lab_PosizioneInfo1: the captions of the Position tab's satellite and precision values, and
// of the geoid separation, which is a Lab_Posizione value.
enum FixInfoCaption : std::size_t {
    kInViewCaption = 0,
    kInUseCaption = 1,
    kPdopCaption = 2,
    kHdopCaption = 3,
    kVdopCaption = 4,
    kGeoidSeparationCaption = 5,
    kStatusCaption = 6,
    kFixInfoCaptionCount = 7,
};

// Lab_PosizioneInfo2: the captions of the General Info tab's values.
enum GeneralInfoCaption : std::size_t {
    kPositionFixCaption = 0,
    kModeCaption = 1,
    kQualityCaption = 2,
    kDgpsAgeCaption = 3,
    kDgpsStationCaption = 4,
    kTrueTrackCaption = 5,
    kMagneticTrackCaption = 6,
    kGeneralInfoCaptionCount = 7,
};

// Lin_Pos: the etched rules between the groups of fix texts, each a grey line and its white
// highlight below it.
enum FixRule : std::size_t {
    kDateRule = 0,
    kDateRuleHighlight = 1,
    kAltitudeRule = 2,
    kAltitudeRuleHighlight = 3,
    kDirectionRuleHighlight = 4,
    kDirectionRule = 5,
    kFixRuleCount = 6,
};

// Lab_Sat1 and LabSat1: the row captions of the Satellites tab, shared out between the two
// arrays (Lab_Sat1 has no element 1).
enum SatelliteRowCaption : std::size_t {
    kChannelRowCaption = 0,   // Lab_Sat1
    kElevationRowCaption = 2, // Lab_Sat1
};
enum SatelliteIdRowCaption : std::size_t {
    kSatelliteIdRowCaption = 0, // LabSat1
    kAzimuthRowCaption = 1,     // LabSat1
};

// Lab_PosizioneInfo3 and Lab_PosizioneInfo3b (a channel's caption and status), and the
// Satellites tab's columns, one element per receiver channel in channel order.
inline constexpr std::size_t kChannelCount = 12;

} // namespace fixwatch
