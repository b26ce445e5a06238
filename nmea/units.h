#pragma once

namespace fixwatch {

// NMEA sends speeds in knots: one nautical mile, 1852 metres, per hour.
inline constexpr double kMetresPerNauticalMile = 1852.0;
inline constexpr double kKilometresPerNauticalMile = kMetresPerNauticalMile / 1000.0;
inline constexpr double kMetresPerSecondPerKnot = kMetresPerNauticalMile / 3600.0;

} // namespace fixwatch
