#pragma once

#include "units.h"

#include <numbers>

namespace fixwatch::synthetic {

// How both synthetic receivers move and what they report beside the position, so that the
// GPS-only receiver and the four-system one drive the same course.
constexpr double kMetresPerDegreeLatitude = 111'320.0;
constexpr double kMagneticVariation = 2.5; // degrees east
constexpr double kTurnPerSecond = 0.2;     // degrees: one full circle in half an hour

constexpr double Radians(double degrees) { return degrees * std::numbers::pi / 180.0; }

} // namespace fixwatch::synthetic
